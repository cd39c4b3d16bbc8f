#include "launcher/ConfText.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

using namespace pexor;

TEST(ConfKeyValue, ValueRunsToTheFirstLineBreakOfAnyKind) {
  EXPECT_EQ(conf::keyValue("a\r\ncycles=12000\r\nb", conf::CyclesKey), "12000");
  EXPECT_EQ(conf::keyValue("cycles=12000\nfullresolution=800x600\n", conf::CyclesKey), "12000");
  EXPECT_EQ(conf::keyValue("cycles=12000\rx", conf::CyclesKey), "12000");
  // No line break after it: the value runs to the end.
  EXPECT_EQ(conf::keyValue("x\r\nfullresolution=1280x960", conf::ResolutionKey), "1280x960");
}

TEST(ConfKeyValue, MissingKeyOrEmptyValueGivesEmpty) {
  EXPECT_EQ(conf::keyValue("", conf::CyclesKey), "");
  EXPECT_EQ(conf::keyValue("[cpu]\r\ncore=auto\r\n", conf::CyclesKey), "");
  EXPECT_EQ(conf::keyValue("cycles=\r\n", conf::CyclesKey), "");
  EXPECT_EQ(conf::keyValue("cycles=", conf::CyclesKey), "");
}

TEST(ConfKeyValue, TheLastLineSettingTheKeyCountsAsForTheEmulator) {
  // Two [cpu] sections, as a hand-edited file may have: the emulator runs at the last.
  const std::string twice = "[cpu]\r\ncycles=12000\r\n[cpu]\r\n  cycles=8000\r\n# cycles=1\r\n";
  EXPECT_EQ(conf::keyValue(twice, conf::CyclesKey), "8000");
  EXPECT_EQ(conf::setValue(twice, conf::CyclesKey, "3000"),
            "[cpu]\r\ncycles=12000\r\n[cpu]\r\n  cycles=3000\r\n# cycles=1\r\n");
  // A mention in a comment is not a setting.
  EXPECT_EQ(conf::keyValue("# cycles=auto is default\r\ncycles=9000\r\n", conf::CyclesKey), "9000");
  // With no line setting it, the first mention counts; case matters, nothing is trimmed.
  EXPECT_EQ(conf::keyValue("# cycles=auto\r\n# cycles=max\r\n", conf::CyclesKey), "auto");
  EXPECT_EQ(conf::keyValue("Cycles=1\r\ncycles=10000 \r\n", conf::CyclesKey), "10000 ");
}

TEST(ConfSetValue, ReplacesTheOneValueFoundAndKeepsAllOtherBytes) {
  const std::string text = "# cycles=12000 here\r\n\xE0\xFF\x80\r\ncycles=12000\r\nend";
  EXPECT_EQ(conf::setValue(text, conf::CyclesKey, "3000"),
            "# cycles=12000 here\r\n\xE0\xFF\x80\r\ncycles=3000\r\nend");
  EXPECT_EQ(conf::setValue("# cycles=12000 here\r\n", conf::CyclesKey, "3000"),
            "# cycles=3000\r\n");
  // An empty value, a value at the very end, a missing key.
  EXPECT_EQ(conf::setValue("cycles=\r\ncycleup=5\r\n", conf::CyclesKey, "3000"),
            "cycles=3000\r\ncycleup=5\r\n");
  EXPECT_EQ(conf::setValue("x\nfullresolution=640x480", conf::ResolutionKey, "800x600"),
            "x\nfullresolution=800x600");
  EXPECT_EQ(conf::setValue("[cpu]\r\n", conf::CyclesKey, "3000"), "[cpu]\r\n");
}

TEST(ConfParseResolution, NumbersAroundTheFirstLowerCaseX) {
  const conf::Size s = conf::parseResolution("1024x768");
  EXPECT_EQ(s.width, 1024);
  EXPECT_EQ(s.height, 768);
  EXPECT_THROW(conf::parseResolution("1024X768"), Error);
  EXPECT_THROW(conf::parseResolution("axb"), Error);
  EXPECT_THROW(conf::parseResolution(""), Error);
}
