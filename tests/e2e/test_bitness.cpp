// The 32-bit and 64-bit choices: the emulator's compatibility value in the
// registry and the resolution fixed at 640x480.
#include "tests/e2e/LauncherTest.h"

namespace e2e {
namespace {

using Bitness = LauncherTest;

// The Layers key as the system's reg.exe exports it: a 64-bit program on
// 64-bit Windows, reached from a 32-bit driver through sysnative. Empty on
// 32-bit Windows, which has one view only.
std::optional<std::wstring> layersExportedBy64BitReg(const std::wstring &file) {
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  if (sizeof(void *) == 4 && !wow64)
    return std::wstring();
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring reg = join(windows, wow64 ? L"sysnative\\reg.exe" : L"system32\\reg.exe");
  const auto run = startProcess(
      reg, std::wstring(L"export \"HKCU\\") + LayersKey + L"\" \"" + file + L"\" /y", {});
  DWORD code = 1;
  if (!run || !waitForExit(*run) || !GetExitCodeProcess(run->handle.get(), &code) || code != 0)
    return std::nullopt;
  const auto bytes = readBytes(file);
  if (!bytes || bytes->size() < 2)
    return std::nullopt;
  // UTF-16LE after its byte-order mark.
  return std::wstring(reinterpret_cast<const wchar_t *>(bytes->data() + 2),
                      (bytes->size() - 2) / sizeof(wchar_t));
}

// A value line of a .reg file: both strings quoted, backslashes doubled.
std::wstring regFileLine(const std::wstring &name, const std::wstring &data) {
  std::wstring line = L"\"";
  for (const wchar_t c : name)
    line += c == L'\\' ? std::wstring(L"\\\\") : std::wstring(1, c);
  return line + L"\"=\"" + data + L"\"";
}

TEST_F(Bitness, SixtyFourBitSetsTheCompatibilityValueAndFixes640x480) {
  ASSERT_NO_FATAL_FAILURE(open());
  ASSERT_TRUE(launcher.pickListItem(list1, 4));
  ASSERT_TRUE(confBecomes(withValue(shippedConf(), "fullresolution=", "1024x768", "1280x960")));

  launcher.clickOption2();
  ASSERT_TRUE(waitUntil([&] { return compatibilityValue().has_value(); }))
      << "no value named " << narrow(emulatorPath());
  EXPECT_EQ(narrow(compatibilityValue().value_or(L"")), narrow(CompatibilityLayers));
  // Where the system's compatibility layer reads it, whatever the launcher's
  // own bitness.
  const auto exported = layersExportedBy64BitReg(join(box->root(), L"layers.reg"));
  ASSERT_TRUE(exported) << "reg.exe export failed";
  if (!exported->empty()) {
    EXPECT_NE(exported->find(regFileLine(emulatorPath(), CompatibilityLayers)), std::wstring::npos)
        << narrow(*exported);
  }
  EXPECT_EQ(narrow(listSelectedText(list1)), "640x480");
  EXPECT_FALSE(IsWindowEnabled(list1));
  EXPECT_TRUE(confBecomes(withValue(shippedConf(), "fullresolution=", "1024x768", "640x480")));
  EXPECT_TRUE(isChecked(launcher.childWithText(L"64 битов Windows")));
  EXPECT_FALSE(isChecked(launcher.childWithText(L"32 битов Windows")));

  // A disabled list takes no pick.
  launcher.pickListItem(list1, 2);
  pause(500);
  EXPECT_EQ(narrow(listSelectedText(list1)), "640x480");
}

TEST_F(Bitness, ThirtyTwoBitRemovesTheValueAndFreesTheList) {
  ASSERT_NO_FATAL_FAILURE(open());
  launcher.clickOption2();
  ASSERT_TRUE(waitUntil([&] { return compatibilityValue().has_value(); }));
  const std::string at640 = withValue(shippedConf(), "fullresolution=", "1024x768", "640x480");
  ASSERT_TRUE(confBecomes(at640));

  launcher.clickOption1();
  EXPECT_TRUE(waitUntil([&] { return !compatibilityValue(); }));
  EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(list1) != FALSE; }));
  EXPECT_EQ(narrow(listSelectedText(list1)), "640x480");
  EXPECT_TRUE(installedConf() == at640);

  ASSERT_TRUE(launcher.pickListItem(list1, 1));
  EXPECT_TRUE(confBecomes(withValue(shippedConf(), "fullresolution=", "1024x768", "800x600")));
}

} // namespace
} // namespace e2e
