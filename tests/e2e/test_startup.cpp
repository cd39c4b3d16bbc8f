// What the launcher has done by the time its window shows: the installed
// copy, the lists on the configured values, and the compatibility value
// cleared; and the start shortcut, made in the moment after its first paint.
#include "tests/e2e/LauncherTest.h"

#include <cstdint>
#include <optional>

namespace e2e {
namespace {

using Startup = LauncherTest;

std::wstring unquoted(std::wstring path) {
  if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
    path = path.substr(1, path.size() - 2);
  return path;
}

// Every shipped file is installed with the same bytes; the shortcut is the
// only file the launcher adds.
void expectInstalledCopyOf(const std::wstring &shipped, const std::wstring &installed) {
  EXPECT_TRUE(waitUntil([&] { return fileExists(join(installed, L"StartPexor.lnk")); }));
  auto expected = listTree(shipped);
  expected.emplace_back(L"StartPexor.lnk");
  std::sort(expected.begin(), expected.end());
  const auto present = listTree(installed);
  ASSERT_EQ(present.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(equalNoCase(present[i], expected[i])) << narrow(present[i]);
  for (const auto &rel : listTree(shipped)) {
    const auto a = readBytes(join(shipped, rel));
    const auto b = readBytes(join(installed, rel));
    ASSERT_TRUE(a && b) << narrow(rel);
    EXPECT_TRUE(*a == *b) << narrow(rel) << " differs from the shipped file";
  }
}

std::optional<std::uint64_t> lastWriteOf(const std::wstring &path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
    return std::nullopt;
  return (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

void expectStartShortcut(const std::wstring &installed) {
  std::optional<ShortcutInfo> link;
  waitUntil([&] { return (link = readShortcut(join(installed, L"StartPexor.lnk"))).has_value(); });
  ASSERT_TRUE(link) << "no readable StartPexor.lnk";
  const std::wstring emulator = join(installed, L"DOSBox.exe");
  EXPECT_TRUE(equalNoCase(unquoted(link->target), emulator)) << narrow(link->target);
  EXPECT_EQ(narrow(link->arguments),
            narrow(L"\"" + join(installed, L"Pexor\\Pexor.exe") + L"\" -exit -fullscreen -conf \"" +
                   join(installed, L"dosbox-0.73.conf") + L"\" -noconsole"));
  EXPECT_EQ(narrow(link->workingDirectory), "");
  EXPECT_EQ(link->showCommand, SW_SHOWNORMAL);
  EXPECT_TRUE(equalNoCase(unquoted(link->iconPath), emulator)) << narrow(link->iconPath);
  EXPECT_EQ(link->iconIndex, 0);
}

// Asks the process to load a library, as a call inside it would; the low
// bits of the module's handle, 0 when it was not loaded.
DWORD loadLibraryIn(DWORD pid, const std::wstring &name) {
  const UniqueHandle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                             PROCESS_VM_OPERATION | PROCESS_VM_WRITE,
                                         FALSE, pid));
  const size_t bytes = (name.size() + 1) * sizeof(wchar_t);
  void *remote = process ? VirtualAllocEx(process.get(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE,
                                          PAGE_READWRITE)
                         : nullptr;
  if (remote == nullptr || !WriteProcessMemory(process.get(), remote, name.c_str(), bytes, nullptr))
    return 0;
  // The system's libraries lie at the same place in every process of a bitness.
  const auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
  const UniqueHandle thread(
      CreateRemoteThread(process.get(), nullptr, 0, loadLibrary, remote, 0, nullptr));
  DWORD module = 0;
  if (thread && WaitForSingleObject(thread.get(), WaitLimitMs) == WAIT_OBJECT_0)
    GetExitCodeThread(thread.get(), &module);
  VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
  return module;
}

void expectConfiguredSelection(HWND list1, HWND list2) {
  EXPECT_EQ(narrow(listSelectedText(list1)), "1024x768");
  EXPECT_EQ(listSelection(list1), 2);
  EXPECT_EQ(narrow(listSelectedText(list2)), "12000");
  EXPECT_EQ(listSelection(list2), 9);
}

TEST_F(Startup, InstalledCopyEqualsTheShippedFolder) {
  ASSERT_NO_FATAL_FAILURE(open());
  expectInstalledCopyOf(box->shipped(), box->installed());
}

TEST_F(Startup, ShortcutRunsTheEmulatorFullScreenOnTheGame) {
  ASSERT_NO_FATAL_FAILURE(open());
  expectStartShortcut(box->installed());
}

// A longer file of the same name is replaced whole, not written over in part.
TEST_F(Startup, ShortcutReplacesALongerFileOfTheSameName) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_TRUE(CreateDirectoryW(box->installed().c_str(), nullptr));
  ASSERT_TRUE(writeBytes(box->installedFile(L"StartPexor.lnk"), std::string(65536, 'x')));
  ASSERT_NO_FATAL_FAILURE(start());
  expectStartShortcut(box->installed());
  const auto bytes = readBytes(box->installedFile(L"StartPexor.lnk"));
  ASSERT_TRUE(bytes);
  EXPECT_LT(bytes->size(), 4096u);
  EXPECT_EQ(bytes->find("xxxx"), std::string::npos);
}

// A shortcut that cannot be written ends only its own step.
TEST_F(Startup, ShortcutThatCannotBeWrittenLeavesTheRestOfStartUp) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  const std::wstring blocker = box->installedFile(L"StartPexor.lnk");
  ASSERT_TRUE(CreateDirectoryW(box->installed().c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
  ASSERT_NO_FATAL_FAILURE(start());
  EXPECT_TRUE(folderExists(blocker));
  EXPECT_EQ(narrow(listSelectedText(list2)), "12000");
  EXPECT_TRUE(installedConf() == shippedConf());
  EXPECT_TRUE(launcher.running());
}

TEST_F(Startup, WindowShowsCentredOnTheScreen) {
  ASSERT_NO_FATAL_FAILURE(open());
  const RECT r = screenRect(launcher.window());
  const auto centred = [](long screen, long size) {
    const long twice = screen - size; // half of it, rounded half to even
    return twice / 2 + ((twice % 2 != 0 && (twice / 2) % 2 != 0) ? 1 : 0);
  };
  EXPECT_EQ(r.left, centred(GetSystemMetrics(SM_CXSCREEN), r.right - r.left));
  EXPECT_EQ(r.top, centred(GetSystemMetrics(SM_CYSCREEN), r.bottom - r.top));
}

TEST_F(Startup, ListsHoldTheChoicesWithTheConfiguredValuesSelected) {
  ASSERT_NO_FATAL_FAILURE(open());
  std::vector<std::string> resolutions;
  for (const auto &item : listItems(list1))
    resolutions.push_back(narrow(item));
  EXPECT_EQ(resolutions, (std::vector<std::string>{"640x480", "800x600", "1024x768", "1152x864",
                                                   "1280x960", "1600x1200"}));
  const auto speeds = listItems(list2);
  ASSERT_EQ(speeds.size(), 28u);
  for (size_t i = 0; i < speeds.size(); ++i)
    EXPECT_EQ(narrow(speeds[i]), std::to_string(3000 + 1000 * i));
  expectConfiguredSelection(list1, list2);

  EXPECT_TRUE(IsWindowEnabled(list1));
  HWND option1 = launcher.childWithText(L"32 битов Windows");
  HWND option2 = launcher.childWithText(L"64 битов Windows");
  ASSERT_NE(option1, nullptr);
  ASSERT_NE(option2, nullptr);
  EXPECT_TRUE(isChecked(option1));
  EXPECT_FALSE(isChecked(option2));
  // The speed walk of start-up ends on the configured value: same bytes.
  EXPECT_TRUE(installedConf() == shippedConf());
}

TEST_F(Startup, ClearsACompatibilityValueLeftByAnEarlierRun) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_TRUE(writeRegistryString(HKEY_CURRENT_USER, LayersKey,
                                  join(box->installed(), L"DOSBox.exe"), CompatibilityLayers));
  ASSERT_NO_FATAL_FAILURE(start());
  EXPECT_TRUE(waitUntil([&] { return !compatibilityValue(); }));
}

TEST_F(Startup, SecondStartPutsTheShippedFilesBack) {
  ASSERT_NO_FATAL_FAILURE(open());
  ASSERT_TRUE(launcher.pickListItem(list2, 0));
  ASSERT_TRUE(confBecomes(withValue(shippedConf(), "cycles=", "12000", "3000")));
  launcher.close();
  ASSERT_TRUE(launcher.waitForExit());
  ASSERT_TRUE(writeBytes(box->installedFile(L"Pexor\\Pexor.exe"), "changed by the user"));
  const std::wstring link = box->installedFile(L"StartPexor.lnk");
  const auto linkWritten = lastWriteOf(link);
  ASSERT_TRUE(linkWritten);

  Launcher again;
  ASSERT_TRUE(again.start(*box));
  ASSERT_TRUE(again.waitForWindow());
  expectInstalledCopyOf(box->shipped(), box->installed());
  expectStartShortcut(box->installed());
  // The link is read back in the moment after the window's first paint.
  EXPECT_FALSE(waitUntil([&] { return lastWriteOf(link) != linkWritten; }, 1000))
      << "the same link written again";
  ASSERT_NE(again.list2(), nullptr);
  EXPECT_EQ(narrow(listSelectedText(again.list2())), "12000");
}

// Libraries come from the system folder only: one planted beside the program
// (its folder is also the current one) is not loaded by its bare name,
// though it loads there by its full path.
TEST_F(Startup, ALibraryBesideTheProgramIsNotLoadedByItsName) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  const std::wstring planted = join(box->root(), L"pexor_planted.dll");
  ASSERT_TRUE(CopyFileW(join(exeFolder(), L"pexor_planted.dll").c_str(), planted.c_str(), FALSE));
  ASSERT_NO_FATAL_FAILURE(start());
  EXPECT_EQ(loadLibraryIn(launcher.pid(), L"pexor_planted.dll"), 0u);
  EXPECT_NE(loadLibraryIn(launcher.pid(), planted), 0u);
}

// A long install copy (a large shipped folder) shows the installation's
// progress while it runs, gone when Form1 shows; the next start, over an
// unchanged copy, shows none.
TEST_F(Startup, ALongInstallCopyShowsItsProgressAndTheNextStartNone) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  const std::wstring large = join(box->shipped(), L"DATA");
  struct RemoveAfter {
    const Sandbox &box;
    ~RemoveAfter() {
      removeTree(join(box.shipped(), L"DATA"));
      removeTree(box.installedFile(L"DATA"));
    }
  } removeAfter{*box};
  // 150 MB in 3,000 files: seconds of copying under Wine, even with every
  // byte in the page cache, as each file costs its own opening.
  const std::string bytes(50000, 'p');
  ASSERT_TRUE(CreateDirectoryW(large.c_str(), nullptr));
  for (int folder = 0; folder < 30; ++folder) {
    const std::wstring sub = join(large, L"D" + std::to_wstring(folder));
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    for (int file = 0; file < 100; ++file)
      ASSERT_TRUE(writeBytes(join(sub, L"F" + std::to_wstring(file) + L".DAT"), bytes));
  }
  const auto progressWindows = [&] {
    return topLevelWindows(launcher.pid(), L"PexorLauncherForm", ProgressCaption);
  };
  ASSERT_TRUE(launcher.start(*box));
  // A fast machine copies it all within the time that is not worth a window:
  // once the copy has begun, it is held for a moment, as on a slow disk.
  const std::wstring copying = box->installedFile(L"DATA");
  for (int i = 0; i < 2000 && !folderExists(copying) && !launcher.waitForWindow(0); ++i)
    pause(5);
  holdProcess(launcher.pid(), true);
  pause(700);
  holdProcess(launcher.pid(), false);
  HWND progress = nullptr;
  ASSERT_TRUE(waitUntil([&] {
    const auto found = progressWindows();
    progress = found.empty() ? nullptr : found.front();
    return progress != nullptr || launcher.waitForWindow(0);
  }));
  ASSERT_NE(progress, nullptr) << "Form1 showed without the progress";
  // Held while its picture is taken: the rest of the copy may take less.
  holdProcess(launcher.pid(), true);
  EXPECT_TRUE(topLevelWindows(launcher.pid(), {}, LauncherCaption).empty());
  keepPicture(progress, L"Form4");
  holdProcess(launcher.pid(), false);
  ASSERT_TRUE(launcher.waitForWindow());
  EXPECT_TRUE(progressWindows().empty());
  EXPECT_FALSE(IsWindow(progress));
  EXPECT_EQ(listTree(box->installedFile(L"DATA")).size(), 3000u);
  launcher.close();
  ASSERT_TRUE(launcher.waitForExit());

  Launcher again;
  ASSERT_TRUE(again.start(*box));
  bool seen = false;
  ASSERT_TRUE(waitUntil([&] {
    seen = seen || !topLevelWindows(again.pid(), L"PexorLauncherForm", ProgressCaption).empty();
    return again.waitForWindow(0);
  }));
  EXPECT_FALSE(seen);
}

// One launcher at a time: a second start installs nothing and ends, and the
// running one comes back from the taskbar to the front.
TEST_F(Startup, ASecondLauncherBringsTheRunningOneForwardAndEnds) {
  ASSERT_NO_FATAL_FAILURE(open());
  ShowWindow(launcher.window(), SW_MINIMIZE);
  ASSERT_TRUE(waitUntil([&] { return IsIconic(launcher.window()) != FALSE; }));
  ASSERT_TRUE(writeBytes(box->installedFile(L"Pexor\\Pexor.exe"), "changed by the user"));

  Launcher second;
  ASSERT_TRUE(second.start(*box));
  EXPECT_TRUE(second.waitForExit()) << "the second launcher stayed";
  EXPECT_TRUE(waitUntil([&] {
    return !IsIconic(launcher.window()) && GetForegroundWindow() == launcher.window();
  })) << "the running launcher did not come to the front";
  EXPECT_TRUE(launcher.running());
  EXPECT_EQ(readBytes(box->installedFile(L"Pexor\\Pexor.exe")), "changed by the user");
}

// The launcher speaks Unicode to the system, so a Cyrillic Documents folder
// works whatever the system's code page.
TEST_F(Startup, DocumentsFolderWithCyrillicNameAndBlanks) {
  ASSERT_NO_FATAL_FAILURE(open(L"Документи на Иван"));
  expectInstalledCopyOf(box->shipped(), box->installed());
  expectConfiguredSelection(list1, list2);

  ASSERT_TRUE(launcher.pickListItem(list2, 5));
  EXPECT_TRUE(confBecomes(withValue(shippedConf(), "cycles=", "12000", "8000")));

  launcher.clickOption2();
  EXPECT_TRUE(waitUntil([&] { return compatibilityValue() == CompatibilityLayers; }))
      << "no value named " << narrow(emulatorPath());
  launcher.clickOption1();
  EXPECT_TRUE(waitUntil([&] { return !compatibilityValue(); }));
  EXPECT_TRUE(launcher.running());
}

// Wine keeps a shortcut's target in the system's code page, so the shortcut
// into a Cyrillic folder is checked on a Bulgarian system, the users' own.
using BulgarianSystem = Startup;

TEST_F(BulgarianSystem, ShortcutIntoACyrillicDocumentsFolder) {
  ASSERT_EQ(GetACP(), 1251u) << "not a Bulgarian system: LC_ALL=bg_BG.UTF-8 and its locale";
  ASSERT_NO_FATAL_FAILURE(open(L"Документи на Иван"));
  expectInstalledCopyOf(box->shipped(), box->installed());
  expectStartShortcut(box->installed());
  expectConfiguredSelection(list1, list2);
}

// A configuration file that cannot be written is reported, naming the file,
// and kept as it was; the launcher goes on running.
TEST_F(Startup, ReadOnlyInstalledConfigurationIsReportedAndKept) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_TRUE(copyTree(box->shipped(), box->installed()));
  ASSERT_TRUE(setReadOnly(confPath(), true));

  ASSERT_TRUE(launcher.start(*box));
  // Start-up may report the file it cannot write; answer whatever it shows.
  ASSERT_TRUE(waitUntil([&] {
    dismissMessageBoxes(launcher.pid(), 500);
    return launcher.waitForWindow(200);
  }));
  list2 = launcher.list2();
  ASSERT_NE(list2, nullptr);
  ASSERT_TRUE(launcher.pickListItem(list2, 4));
  const auto report = waitForMessageBox(launcher.pid());
  ASSERT_TRUE(report) << "a failed write was not reported";
  EXPECT_NE(report->text.find(L"dosbox-0.73.conf"), std::wstring::npos)
      << "the report does not name the file: " << narrow(report->text);
  EXPECT_TRUE(pressOk(*report));
  EXPECT_EQ(dismissMessageBoxes(launcher.pid()), 0) << "more than one report for one pick";

  EXPECT_TRUE(launcher.running());
  EXPECT_TRUE(installedConf() == shippedConf()) << "the read-only file was changed";
  setReadOnly(confPath(), false);
}

// Documents on a small disk of its own, which the runner mounts when the
// case asks (PEXOR_SMALL_DISK): a file that does not fit leaves the installed
// one as it was, the user is told once which file and why, and the launcher
// goes on with what is installed.
using SmallDisk = Startup;

TEST_F(SmallDisk, FullDiskKeepsTheInstalledFilesAndIsToldOnce) {
  const std::wstring disk = L"C:\\small-disk";
  ASSERT_TRUE(folderExists(disk)) << "no small disk: the runner mounts one for PEXOR_SMALL_DISK";
  ASSERT_NO_FATAL_FAILURE(prepare(join(disk, L"Documents")));
  ASSERT_TRUE(copyTree(box->shipped(), box->installed()));
  const std::string earlier = withValue(shippedConf(), "cycles=", "12000", "5000");
  ASSERT_TRUE(writeBytes(confPath(), earlier)); // a newer time: it is copied again

  // The disk filled up (Wine reports the free space of C: as a whole).
  UniqueHandle filler(CreateFileW(join(disk, L"filler").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(filler.get(), INVALID_HANDLE_VALUE);
  const std::string chunk(4096, 'f');
  DWORD written = 0, total = 0;
  while (WriteFile(filler.get(), chunk.data(), 4096, &written, nullptr) && written == 4096 &&
         total < (64u << 20))
    total += written;
  ASSERT_LT(total, 64u << 20) << "the disk does not fill";
  filler.reset();

  ASSERT_TRUE(launcher.start(*box));
  const auto told = waitForMessageBox(launcher.pid());
  ASSERT_TRUE(told) << "the failed installation was not told";
  EXPECT_EQ(narrow(told->title), "Инсталацията не е завършена");
  EXPECT_NE(told->text.find(confPath()), std::wstring::npos) << narrow(told->text);
  EXPECT_NE(told->text.find(L"дискът е пълен"), std::wstring::npos) << narrow(told->text);
  EXPECT_TRUE(pressOk(*told));
  ASSERT_TRUE(launcher.waitForWindow());
  EXPECT_EQ(dismissMessageBoxes(launcher.pid(), 1000), 0) << "told more than once";
  EXPECT_TRUE(installedConf() == earlier) << "the installed configuration was cut";
  ASSERT_NE(launcher.list2(), nullptr);
  EXPECT_TRUE(waitUntil([&] { return narrow(listSelectedText(launcher.list2())) == "5000"; }));
  EXPECT_TRUE(launcher.running());
}

} // namespace
} // namespace e2e
