#include "tests/e2e/LauncherTest.h"

namespace e2e {

std::string withValue(std::string bytes, const std::string &key, const std::string &oldValue,
                      const std::string &newValue) {
  const auto at = bytes.find(key + oldValue);
  if (at != std::string::npos)
    bytes.replace(at, key.size() + oldValue.size(), key + newValue);
  return bytes;
}

void LauncherTest::prepare(const std::wstring &documentsName) {
  box = std::make_unique<Sandbox>(documentsName);
  ASSERT_TRUE(box->ready()) << box->problem();
}

void LauncherTest::start() {
  ASSERT_TRUE(launcher.start(*box)) << "cannot start " << narrow(box->launcherExe()) << ".\n"
                                    << launcher.wineDidNotStart();
  ASSERT_TRUE(launcher.waitForWindow()) << "Form1 did not show.\n" << launcher.wineDidNotStart();
  list1 = launcher.list1();
  list2 = launcher.list2();
  ASSERT_NE(list1, nullptr) << "Form1 has no resolution list";
  ASSERT_NE(list2, nullptr) << "Form1 has no speed list";
  ASSERT_TRUE(waitUntil([&] { return listCount(list1) == 6 && listCount(list2) == 28; }));
}

void LauncherTest::open(const std::wstring &documentsName) {
  ASSERT_NO_FATAL_FAILURE(prepare(documentsName));
  ASSERT_NO_FATAL_FAILURE(start());
}

std::string LauncherTest::shippedConf() const {
  return readBytes(join(box->shipped(), L"dosbox-0.73.conf")).value_or("<missing>");
}

std::string LauncherTest::installedConf() const {
  return readBytes(confPath()).value_or("<missing>");
}

bool LauncherTest::confBecomes(const std::string &bytes, DWORD limitMs) const {
  return waitUntil([&] { return readBytes(confPath()) == bytes; }, limitMs);
}

std::optional<std::wstring> LauncherTest::compatibilityValue() const {
  return readRegistryString(HKEY_CURRENT_USER, LayersKey, emulatorPath());
}

void LauncherTest::activateLauncher() {
  // Right of the option buttons, below the speed list: nothing is there.
  click(launcher.clientPoint(4770, 1800));
}

void LauncherTest::keepPicture(HWND window, const std::wstring &name) const {
  const std::wstring folder = box->root() + L".pictures";
  CreateDirectoryW(folder.c_str(), nullptr);
  pause(300); // painted
  EXPECT_TRUE(savePicture(screenRect(window), join(folder, name + L".png")))
      << "no picture of " << narrow(name);
}

} // namespace e2e
