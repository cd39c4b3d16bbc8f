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

TEST(ConfKeyValue, FirstOccurrenceCountsEvenInsideAComment) {
  EXPECT_EQ(conf::keyValue("# cycles=auto is default\r\ncycles=9000\r\n", conf::CyclesKey),
            "auto is default");
  // Case matters and nothing is trimmed.
  EXPECT_EQ(conf::keyValue("Cycles=1\r\ncycles=10000 \r\n", conf::CyclesKey), "10000 ");
}

TEST(ConfSetValue, ReplacesTheOneValueFoundAndKeepsAllOtherBytes) {
  const std::string text = "# cycles=12000 here\r\n\xE0\xFF\x80\r\ncycles=12000\r\nend";
  EXPECT_EQ(conf::setValue(text, conf::CyclesKey, "3000"),
            "# cycles=3000\r\n\xE0\xFF\x80\r\ncycles=12000\r\nend");
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
