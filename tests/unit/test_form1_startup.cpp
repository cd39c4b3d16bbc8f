#include "tests/unit/LauncherFixture.h"

#include "launcher/ConfText.h"
#include "launcher/InstallCopy.h"
#include "system/InstalledCopy.h"

using namespace pexor;
using namespace pexor::test;

namespace {
const std::string LayersKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
}

TEST_F(LauncherTest, FirstStartInstallsWritesTheShortcutAndShowsTheConfiguredChoices) {
  ship();
  start();
  Form1 &f = form1();

  for (const char *file : {"DOSBox.exe", "dosbox-0.73.conf", "Pexor\\Pexor.exe"})
    EXPECT_EQ(desk.fileBytes(installed(file)), desk.fileBytes(shipped(file))) << file;

  const InstalledCopy copy(docs);
  EXPECT_EQ(copy.folder(), docs + "\\DoxPexor");
  EXPECT_EQ(copy.emulator(), docs + "\\DoxPexor\\DOSBox.exe");
  EXPECT_EQ(copy.game(), docs + "\\DoxPexor\\Pexor\\Pexor.exe");
  EXPECT_EQ(copy.conf(), docs + "\\DoxPexor\\dosbox-0.73.conf");
  EXPECT_EQ(copy.shortcut(), docs + "\\DoxPexor\\StartPexor.lnk");
  const System &sys = launcher->sys();
  EXPECT_EQ(sys.pathDocuments, docs);
  EXPECT_EQ(sys.pathInstall, docs + "\\DoxPexor\\");
  EXPECT_EQ(sys.pathEmulator, "\"" + copy.emulator() + "\"");
  EXPECT_EQ(sys.pathGame, "\"" + copy.game() + "\"");
  EXPECT_EQ(sys.pathConf, "\"" + copy.conf() + "\"");
  EXPECT_EQ(desk.fileBytes(copy.conf()), StandardConf);

  // The window is up before the shell is asked for anything.
  EXPECT_TRUE(desk.formInfo(f1())->visible);
  EXPECT_FALSE(desk.shortcut(installed("StartPexor.lnk")).has_value());
  afterFirstPaint();
  const auto lnk = desk.shortcut(installed("StartPexor.lnk"));
  ASSERT_TRUE(lnk.has_value());
  EXPECT_EQ(lnk->target, copy.emulator());
  EXPECT_EQ(lnk->arguments,
            sys.pathGame + " -exit -fullscreen -conf " + sys.pathConf + " -noconsole");
  EXPECT_EQ(lnk->workingDirectory, "");
  EXPECT_EQ(lnk->windowStyle, ShowCommand::ShowNormal);
  EXPECT_EQ(lnk->iconPath, copy.emulator());
  EXPECT_EQ(lnk->iconIndex, 0);

  EXPECT_EQ(shown("List1").items.size(), 6u);
  EXPECT_EQ(shown("List1").items.front(), "640x480");
  EXPECT_EQ(shown("List1").items.back(), "1600x1200");
  EXPECT_EQ(shown("List2").items.size(), 28u);
  EXPECT_EQ(shown("List2").items.front(), "3000");
  EXPECT_EQ(shown("List2").items.back(), "30000");
  EXPECT_EQ(shown("List1").listIndex, 4);
  EXPECT_EQ(gameSize(), std::make_pair(1280, 960));
  EXPECT_EQ(shown("List2").listIndex, 9);
  EXPECT_EQ(picked("List2"), "12000");
  EXPECT_EQ(shown("Text1").text, StandardConf);

  // The 32-bit choice is on and has removed any compatibility value.
  EXPECT_TRUE(shown("Option1").value);
  EXPECT_FALSE(shown("Option2").value);
  EXPECT_EQ(shown("Option1").text, "32 битов Windows");
  EXPECT_EQ(shown("Option2").text, "64 битов Windows");
  EXPECT_TRUE(shown("List1").enabled);
  ASSERT_FALSE(desk.regCalls().empty());
  EXPECT_EQ(desk.regCalls().front().op, sim::RegOp::DeleteValue);
  EXPECT_EQ(desk.regCalls().front().key, LayersKey);
  EXPECT_EQ(desk.regCalls().front().name, docs + "\\DoxPexor\\DOSBox.exe");

  EXPECT_TRUE(desk.formInfo(f1())->visible);
  EXPECT_EQ(caption(), "DOS програма чрез DosBox");
  EXPECT_TRUE(desk.messageBoxes().empty());

  // Of all timers only the key watch runs.
  EXPECT_EQ(desk.timerInterval(f1(), f.Timer1.id()), 50);
  EXPECT_FALSE(desk.timerRunning(f1(), f.Timer2.id()));
  EXPECT_FALSE(desk.timerRunning(f1(), f.Timer3.id()));
  EXPECT_FALSE(desk.timerRunning(f1(), f.Timer5.id()));
  // A pick larger than the desktop goes back to the configured size.
  desk.userSelect(f1(), "List1", 5);
  EXPECT_EQ(shown("List1").listIndex, 4);
}

TEST_F(LauncherTest, UnknownValuesFallBackToTheLastItems) {
  ship("fullresolution=1920x1080\r\ncycles=auto\r\n");
  start();
  EXPECT_EQ(shown("List1").listIndex, 5);
  EXPECT_EQ(gameSize(), std::make_pair(1600, 1200));
  EXPECT_EQ(shown("List2").listIndex, 27);
  // The walk wrote every value in turn; the last stays. The resolution is kept.
  EXPECT_EQ(installedConf(), "fullresolution=1920x1080\r\ncycles=30000\r\n");
}

TEST_F(LauncherTest, ValueFollowedByABlankMatchesNoItem) {
  ship("fullresolution=800x600\r\ncycles=10000 \r\n");
  start();
  EXPECT_EQ(shown("List1").listIndex, 1);
  EXPECT_EQ(shown("List2").listIndex, 27);
  // The blank belonged to the value and went with it.
  EXPECT_EQ(installedConf(), "fullresolution=800x600\r\ncycles=30000\r\n");
}

TEST_F(LauncherTest, LineEndsOtherThanCrLfAndAKeyAtTheVeryEndKeepTheirValues) {
  for (const std::string &conf : {std::string("fullresolution=640x480\ncycles=5000\nrest=1\n"),
                                  std::string("fullresolution=640x480\rcycles=5000"),
                                  std::string("cycles=5000\r\nfullresolution=640x480")}) {
    desk.removeFolder(docs + "\\DoxPexor");
    ship(conf);
    start();
    EXPECT_EQ(picked("List1"), "640x480") << conf;
    EXPECT_EQ(picked("List2"), "5000") << conf;
    EXPECT_EQ(installedConf(), conf);
    launcher.reset();
  }
}

TEST_F(LauncherTest, TheValuesShownAndEditedAreTheOnesTheEmulatorUses) {
  // A mention in a comment, and a key set twice (the emulator takes the last).
  const std::string conf = "# set cycles=max for speed\r\nfullresolution=800x600\r\n"
                           "cycles=7000\r\n\xFF\x80\r\nfullresolution=1280x960\r\ncycles=9000\r\n";
  ship(conf);
  start();
  EXPECT_EQ(picked("List1"), "1280x960");
  EXPECT_EQ(picked("List2"), "9000");
  EXPECT_EQ(installedConf(), conf);
  EXPECT_EQ(gameSize(), std::make_pair(1280, 960));
  desk.userSelect(f1(), "List2", 1); // 4000
  const std::string after = installedConf();
  EXPECT_EQ(after.substr(after.size() - 13), "cycles=4000\r\n");
  EXPECT_NE(after.find("cycles=7000\r\n"), std::string::npos);
}

TEST_F(LauncherTest, ConfigurationWithoutEitherKeyOrEmptyIsWrittenBackUnchanged) {
  for (const std::string &conf : {std::string(), std::string("[sdl]\r\nfullscreen=true\r\n")}) {
    desk.removeFolder(docs + "\\DoxPexor");
    ship(conf);
    start();
    EXPECT_EQ(shown("List1").listIndex, 5);
    EXPECT_EQ(shown("List2").listIndex, 27);
    EXPECT_EQ(installedConf(), conf);
    EXPECT_TRUE(desk.messageBoxes().empty());
    launcher.reset();
  }
}

TEST_F(LauncherTest, MissingConfigurationIsNeverCreatedFromThePlaceholder) {
  ship();
  desk.removeFile(shipped("dosbox-0.73.conf"));
  start();
  EXPECT_FALSE(desk.fileExists(installed("dosbox-0.73.conf")));
  EXPECT_EQ(shown("Text1").text, "Text1");
  EXPECT_EQ(shown("List1").listIndex, 5);
  EXPECT_EQ(shown("List2").listIndex, 27);
  EXPECT_TRUE(desk.messageBoxes().empty());

  // A pick later still refuses to write the placeholder, and says why.
  desk.userSelect(f1(), "List2", 0);
  EXPECT_FALSE(desk.fileExists(installed("dosbox-0.73.conf")));
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_NE(desk.messageBoxes()[0].text.find(installed("dosbox-0.73.conf")), std::string::npos);
  EXPECT_FALSE(desk.programEnded());
}

TEST_F(LauncherTest, MissingShippedFolderStillComputesPathsAndWritesTheShortcut) {
  desk.setSpecialFolder(SpecialFolder::Documents, docs);
  start();
  afterFirstPaint();
  EXPECT_TRUE(desk.folderExists(docs + "\\DoxPexor"));
  EXPECT_TRUE(desk.shortcut(installed("StartPexor.lnk")).has_value());
  EXPECT_EQ(launcher->sys().pathInstall, docs + "\\DoxPexor\\");
  EXPECT_EQ(shown("List2").listIndex, 27);
  EXPECT_FALSE(desk.programEnded());
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_NE(desk.messageBoxes()[0].text.find(std::string(ExeFolder) + "\\DoxPexor\n"),
            std::string::npos);
}

TEST_F(LauncherTest, SecondStartReplacesChangedFilesAndLeavesUnchangedOnes) {
  ship();
  start();
  desk.userSelect(f1(), "List2", 0);
  ASSERT_NE(installedConf(), StandardConf);
  launcher.reset();

  const int before = desk.copiesMade();
  start();
  afterFirstPaint();
  EXPECT_EQ(installedConf(), StandardConf);
  EXPECT_EQ(shown("List2").listIndex, 9);
  // Only the changed configuration was copied again.
  EXPECT_EQ(desk.copiesMade() - before, 1);
  EXPECT_TRUE(desk.shortcut(installed("StartPexor.lnk")).has_value());

  // That start found its values and wrote nothing: the next copies nothing.
  EXPECT_EQ(desk.fileLastWrite(installed("dosbox-0.73.conf")),
            desk.fileLastWrite(shipped("dosbox-0.73.conf")));
  launcher.reset();
  const int third = desk.copiesMade();
  start();
  EXPECT_EQ(desk.copiesMade(), third);
  EXPECT_EQ(installedConf(), StandardConf);
}

// Documents on a FAT drive, which keeps last-write times to 2 s: the copy's
// times come out rounded, and the next start still finds it unchanged; a
// file of another size, or with a time 2 s or more from the copy's, is
// copied again.
TEST_F(LauncherTest, OnAFatDriveASecondStartCopiesOnlyWhatChanged) {
  ship();
  desk.setVolume("E:", "FAT32");
  desk.setSpecialFolder(SpecialFolder::Documents, "E:\\Documents");
  const std::int64_t shippedAt = sim::FileTimeEpoch + 12345678; // 1.23 s in
  for (const char *file : {"DOSBox.exe", "dosbox-0.73.conf", "Pexor\\Pexor.exe"})
    desk.addFile(shipped(file), desk.fileBytes(shipped(file)), shippedAt);
  const std::string copy = "E:\\Documents\\DoxPexor\\";
  start();
  ASSERT_EQ(desk.copiesMade(), 3);
  EXPECT_EQ(desk.fileLastWrite(copy + "DOSBox.exe"), sim::FileTimeEpoch + 20000000);
  launcher.reset();
  start();
  EXPECT_EQ(desk.copiesMade(), 3) << "the unchanged copy was copied again";
  launcher.reset();

  desk.addFile(shipped("Pexor\\Pexor.exe"), "MZ game, patched", shippedAt);
  desk.addFile(shipped("DOSBox.exe"), "MZ emulator", shippedAt + 33000000); // 2.3 s past the copy
  start();
  EXPECT_EQ(desk.copiesMade(), 5);
  EXPECT_EQ(desk.fileBytes(copy + "Pexor\\Pexor.exe"), "MZ game, patched");
  EXPECT_EQ(desk.fileLastWrite(copy + "DOSBox.exe"), sim::FileTimeEpoch + 60000000);
}

// exFAT is taken as FAT; elsewhere a time kept exactly is compared exactly.
TEST(InstallCopy, TimesUnder2SecondsApartAreTheSameOnFatDrivesOnly) {
  for (const auto &[fileSystem, copies] : {std::pair("exFAT", 1), std::pair("NTFS", 2)}) {
    sim::SimDesktop desk;
    desk.setVolume("E:", fileSystem);
    desk.addFile("C:\\Ship\\a.dat", "aaaa", sim::FileTimeEpoch + 12345678);
    EXPECT_FALSE(copyFolderContents(desk, "C:\\Ship", "E:\\Copy"));
    desk.addFile("C:\\Ship\\a.dat", "aaaa", sim::FileTimeEpoch + 27345678); // 1.5 s later
    EXPECT_FALSE(copyFolderContents(desk, "C:\\Ship", "E:\\Copy"));
    EXPECT_EQ(desk.copiesMade(), copies) << fileSystem;
  }
}

// A shipped folder copied from a disc keeps its read-only flags; the
// installed copy is writable all the same, so the picks land in it, and the
// shipped files are left as they were.
TEST_F(LauncherTest, ReadOnlyShippedFilesInstallWritableAndThePicksLand) {
  ship();
  const char *files[] = {"DOSBox.exe", "dosbox-0.73.conf", "Pexor\\Pexor.exe"};
  for (const char *file : files)
    desk.setReadOnly(shipped(file));
  start();
  desk.userSelect(f1(), "List2", 0);
  desk.userSelect(f1(), "List1", 1);
  EXPECT_TRUE(desk.messageBoxes().empty());
  EXPECT_EQ(installedConf(), conf::setValue(conf::setValue(StandardConf, conf::CyclesKey, "3000"),
                                            conf::ResolutionKey, "800x600"));
  for (const char *file : files) {
    EXPECT_FALSE(desk.readOnly(installed(file))) << file;
    EXPECT_TRUE(desk.readOnly(shipped(file))) << file;
  }
  EXPECT_EQ(desk.fileBytes(shipped("dosbox-0.73.conf")), StandardConf);
}

TEST_F(LauncherTest, ReadOnlyInstalledConfigurationIsKeptAndToldOnce) {
  ship();
  desk.addFile(installed("dosbox-0.73.conf"), "fullresolution=800x600\r\ncycles=auto\r\n", 1);
  desk.setReadOnly(installed("dosbox-0.73.conf"));
  start();
  // The copy could not replace it; everything else was installed.
  EXPECT_EQ(desk.fileBytes(installed("DOSBox.exe")), "MZ emulator");
  EXPECT_EQ(installedConf(), "fullresolution=800x600\r\ncycles=auto\r\n");
  EXPECT_EQ(shown("List1").listIndex, 1);
  EXPECT_EQ(shown("List2").listIndex, 27);
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_NE(desk.messageBoxes()[0].text.find(installed("dosbox-0.73.conf")), std::string::npos);
  EXPECT_FALSE(desk.programEnded());
}

TEST_F(LauncherTest, CopyFailingPartWayKeepsWhatWasCopiedAndGoesOn) {
  ship();
  desk.failCopyAfter(1);
  start();
  afterFirstPaint();
  EXPECT_EQ(desk.copiesMade(), 1);
  EXPECT_TRUE(desk.shortcut(installed("StartPexor.lnk")).has_value());
  EXPECT_TRUE(desk.formInfo(f1())->visible);
}

// A full disk: the file that does not fit keeps its earlier installed copy,
// the user is told once which file and why, and the launcher goes on.
TEST_F(LauncherTest, FullDiskKeepsTheInstalledFilesAndIsToldOnce) {
  ship();
  const std::string earlier = "fullresolution=800x600\r\ncycles=5000\r\n";
  desk.addFile(installed("dosbox-0.73.conf"), earlier, 1);
  desk.addFile(installed("Pexor\\Pexor.exe"), "old game", 1);
  desk.failCopyAfter(0, err::DiskFull);
  start();
  EXPECT_FALSE(desk.fileExists(installed("DOSBox.exe")));
  EXPECT_EQ(installedConf(), earlier);
  EXPECT_EQ(desk.fileBytes(installed("Pexor\\Pexor.exe")), "old game");
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_EQ(desk.messageBoxes()[0].title, "Инсталацията не е завършена");
  EXPECT_NE(desk.messageBoxes()[0].text.find(installed("dosbox-0.73.conf") + "\n\nдискът е пълен."),
            std::string::npos);
  EXPECT_EQ(shown("List1").listIndex, 1);
  EXPECT_EQ(shown("List2").listIndex, 2);
  EXPECT_TRUE(desk.formInfo(f1())->visible);
}

TEST_F(LauncherTest, UnreachableDocumentsAreToldAtStartUpAndAtStart) {
  ship();
  desk.removeFolder(docs);
  start();
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_EQ(desk.messageBoxes()[0].text.rfind("Папката Документи не е достъпна:\n" + docs +
                                                  "\n\n"
                                                  "пътят не е намерен.",
                                              0),
            0u);
  desk.clickControl(f1(), "Label2");
  desk.clickControl(desk.form("Form2"), "Command1");
  desk.advance(500);
  ASSERT_EQ(desk.messageBoxes().size(), 2u);
  EXPECT_NE(desk.messageBoxes()[1].text.find(docs + "\\DoxPexor"), std::string::npos);
  EXPECT_EQ(desk.messageBoxes()[1].display, std::make_pair(1280, 1024));
  EXPECT_FALSE(desk.programEnded());
}

TEST_F(LauncherTest, DocumentsThatCannotBeResolvedInstallAtTheDriveRoot) {
  ship();
  desk.setSpecialFolder(SpecialFolder::Documents, "");
  start();
  const System &sys = launcher->sys();
  EXPECT_EQ(sys.pathDocuments, "");
  EXPECT_EQ(sys.pathInstall, "\\DoxPexor\\");
  EXPECT_EQ(desk.fileBytes("\\DoxPexor\\dosbox-0.73.conf"), StandardConf);
  EXPECT_EQ(shown("List2").listIndex, 9);
  EXPECT_TRUE(desk.messageBoxes().empty());
  desk.userSelect(f1(), "List2", 0);
  EXPECT_NE(desk.fileBytes("\\DoxPexor\\dosbox-0.73.conf").find("\ncycles=3000\r"),
            std::string::npos);
  launcher.reset();

  // A file where the folder would go: the place tried is named.
  desk.removeFolder("\\DoxPexor");
  desk.addFile("\\DoxPexor", "");
  start();
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_NE(desk.messageBoxes()[0].text.find(":\n\\DoxPexor\n"), std::string::npos);
}

TEST_F(LauncherTest, DocumentsReportedWithATrailingBackslashLoseIt) {
  ship();
  desk.setSpecialFolder(SpecialFolder::Documents, docs + "\\");
  start();
  EXPECT_EQ(launcher->sys().pathDocuments, docs);
  EXPECT_EQ(launcher->sys().pathInstall, docs + "\\DoxPexor\\");
}

TEST_F(LauncherTest, DesktopSizeComesFromTheScreenAtStartUp) {
  ship();
  desk.setScreen(1920, 1440);
  start();
  // Closing asks for that mode back.
  ASSERT_TRUE(desk.userClose(f1()));
  const DisplayMode back = desk.displayChanges().back().mode;
  EXPECT_EQ(std::make_pair(back.dmPelsWidth, back.dmPelsHeight), std::make_pair(1920u, 1440u));
}

TEST_F(LauncherTest, ConfiguredResolutionLargerThanTheDesktopIsTakenAsItIs) {
  ship("fullresolution=1600x1200\r\ncycles=3000\r\n");
  desk.setScreen(1024, 768);
  start();
  EXPECT_EQ(shown("List1").listIndex, 5);
  EXPECT_EQ(gameSize(), std::make_pair(1600, 1200));
  EXPECT_TRUE(desk.messageBoxes().empty());
}

// A long install copy shows where the game goes and how far the copy is,
// from half a second on, drawn while it runs and never taking the
// foreground; the window is gone before the launcher's shows.
TEST_F(LauncherTest, ALongInstallCopyShowsItsProgressWhileItRuns) {
  ship();
  for (int i = 0; i < 40; ++i)
    desk.addFile(shipped("Pexor\\DATA\\F" + std::to_string(i) + ".DAT"), std::string(100000, 'x'));
  desk.setCopyTime(50); // 43 files: over two seconds
  struct Look {
    std::int64_t at = 0;
    Hwnd window = 0;
    std::string folder, count;
    int refreshes = 0;
  };
  std::vector<Look> looks;
  desk.whileCopying([&] {
    Look look{desk.now(), desk.form("Form4"), {}, {}, 0};
    if (look.window != 0 && desk.formInfo(look.window)->visible) {
      look.folder = desk.control(look.window, "Label2").text;
      look.count = desk.control(look.window, "Label3").text;
      look.refreshes = desk.formInfo(look.window)->refreshes;
      EXPECT_NE(desk.foreground(), look.window);
    }
    looks.push_back(look);
  });
  start();

  ASSERT_EQ(looks.size(), 43u);
  for (const Look &look : looks)
    EXPECT_EQ(look.window != 0, look.at > 500) << look.at;
  const Look &first = looks[10];
  ASSERT_NE(first.window, 0u);
  EXPECT_EQ(first.folder, docs + "\\DoxPexor");
  EXPECT_EQ(first.count.rfind("Копирани: 10 от 43 файла (", 0), 0u) << first.count;
  EXPECT_NE(first.count.find(" от 3,8 МБ)"), std::string::npos) << first.count;
  EXPECT_EQ(looks.back().count.rfind("Копирани: 42 от 43 файла (", 0), 0u) << looks.back().count;
  EXPECT_GT(looks.back().refreshes, 10);
  EXPECT_EQ(desk.form("Form4"), 0u);
  EXPECT_TRUE(desk.formInfo(f1())->visible);
  EXPECT_EQ(desk.fileBytes(installed("Pexor\\DATA\\F39.DAT")).size(), 100000u);
}

// A copy all but done at half a second shows nothing: a window that comes
// and goes at once tells nothing.
TEST_F(LauncherTest, AnInstallCopyAllButDoneAtHalfASecondShowsNoProgress) {
  ship();
  for (int i = 0; i < 7; ++i)
    desk.addFile(shipped("F" + std::to_string(i) + ".DAT"), "data");
  desk.setCopyTime(60); // 10 files: 540 ms for nine
  int looks = 0;
  desk.whileCopying([&] {
    ++looks;
    EXPECT_EQ(desk.form("Form4"), 0u) << desk.now();
  });
  start();
  EXPECT_EQ(looks, 10);
  EXPECT_TRUE(desk.formInfo(f1())->visible);
}
