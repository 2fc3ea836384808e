// End-to-end tests of Veskot.exe: each test lays out a machine through
// Win32 (registry keys, device instances with their driver keys, INF files
// in the INF store, the product's folders, a running handset tool), runs
// the real uninstaller under the debugger and checks the whole debugger
// output, the exit code and what is left on the machine.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_trace.h"
#include "tests/e2e/uninstall_machine.h"
#include "tests/wine/known_wine_gap.h"

namespace e2e {

using namespace wine;
namespace {

const char kProductKey[] = "SOFTWARE\\Orvane_M4730_Driver";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane_M4730_Driver";

// The uninstaller on a machine where the kit was installed and the
// handset has been plugged in.
class InstalledMachine : public UninstallerTest {
 protected:
  void SetUp() override {
    UninstallerTest::SetUp();
    if (!HasFatalFailure()) {
      LayOutInstalledMachine();
    }
  }
};

// Four distinct INF files go with the handset's instances (the bootloader
// shares the ADB interface's): the search runs too.
const int kInstalledMachineDeletedInfs = 4;

// How many programs besides the handset tool run while the product
// folder is deleted.
const size_t kOtherPrograms = 40;

TEST_F(InstalledMachine, EverythingOfTheKitIsRemoved) {
  RunExpectation expectation;
  expectation.scanResults = {kNullText};
  expectation.deletedInfFiles = kInstalledMachineDeletedInfs;
  const std::vector<std::string> expected = ExpectedRun(expectation);

  const CaptureResult result = RunVeskot(veskotPath_, {});

  EXPECT_TRUE(SameDebugStrings(expected, result.strings));
  ExpectKeysGone();
  ExpectInfStoreCleaned(true);
  ExpectFoldersGone();
  ExpectHandsetToolEnded();
  ExpectRunAsAdmin(veskotPath_);
  // Another vendor's device keeps its driver key and its INF file.
  EXPECT_TRUE(FileExists(StorePath(ForeignDevice().infPath)));
}

TEST_F(InstalledMachine, PromptWithoutADisplayFailsAtOnceAndTheRunGoesOn) {
  RunExpectation expectation;
  expectation.scanResults = {kNullText, "showmessage"};
  expectation.deletedInfFiles = kInstalledMachineDeletedInfs;
  const std::vector<std::string> expected = ExpectedRun(expectation);

  const CaptureResult result = RunVeskot(veskotPath_, {"showmessage"});

  EXPECT_TRUE(SameDebugStrings(expected, result.strings));
  ExpectKeysGone();
  ExpectInfStoreCleaned(true);
  ExpectFoldersGone();
  ExpectHandsetToolEnded();
}

TEST_F(InstalledMachine, SecondRunFindsNothingLeftToDo) {
  RunExpectation first;
  first.scanResults = {kNullText};
  first.deletedInfFiles = kInstalledMachineDeletedInfs;
  const std::vector<std::string> firstExpected = ExpectedRun(first);
  EXPECT_TRUE(SameDebugStrings(firstExpected, RunVeskot(veskotPath_, {}).strings));
  ExpectHandsetToolEnded();

  // Whatever instances stay name INF files that are gone: none is deleted
  // this time.
  RunExpectation second;
  second.scanResults = {kNullText, "showmessage"};
  second.deletedInfFiles = 0;
  const std::vector<std::string> expected = ExpectedRun(second);
  const CaptureResult result = RunVeskot(veskotPath_, {"showmessage"});

  EXPECT_TRUE(SameDebugStrings(expected, result.strings));
  const std::string prompt = "=============Start present a prompt: 1440\n=====";
  EXPECT_NE(std::find(result.strings.begin(), result.strings.end(), prompt), result.strings.end());
  ExpectKeysGone();
  ExpectInfStoreCleaned(true);
  ExpectFoldersGone();
}

TEST_F(InstalledMachine, HandsetInstancesAreRemoved) {
  RunVeskot(veskotPath_, {});

  std::vector<DeviceRecord> records;
  ASSERT_TRUE(ListDeviceInstances(&records));
  KnownWineGap(kNoClassInstallParams, [&] {
    for (const DeviceRecord& record : records) {
      for (const std::string& id : record.hardwareIds) {
        EXPECT_FALSE(NamesHandset(id)) << record.instanceId << " is still there";
      }
    }
  });
  bool foreignDeviceStays = false;
  for (const DeviceRecord& record : records) {
    foreignDeviceStays =
        foreignDeviceStays || lstrcmpiA(record.instanceId.c_str(), ForeignDevice().instanceId.c_str()) == 0;
  }
  EXPECT_TRUE(foreignDeviceStays) << ForeignDevice().instanceId << " was removed";
}

// How many INF files the device step deletes decides whether the INF store
// is searched as well: not when it is exactly two.
class DeletedInfCount : public UninstallerTest {
 protected:
  void LayOut(const std::vector<DeviceInstance>& instances) {
    ASSERT_NO_FATAL_FAILURE(AddDeviceInf("oem11.inf", "android_usb.inf"));
    ASSERT_NO_FATAL_FAILURE(AddDeviceInf("oem12.inf", "qcmdm.inf"));
    ASSERT_NO_FATAL_FAILURE(AddDeviceInf("oem13.inf", "qcser.inf"));
    for (const DeviceInstance& instance : instances) {
      ASSERT_NO_FATAL_FAILURE(AddInstance(instance));
    }
    for (const StoreFile& file : SearchFiles()) {
      ASSERT_NO_FATAL_FAILURE(AddStoreFile(file));
    }
  }

  void CheckRun(int deletedInfFiles) {
    RunExpectation expectation;
    expectation.scanResults = {kNullText};
    expectation.deletedInfFiles = deletedInfFiles;
    const std::vector<std::string> expected = ExpectedRun(expectation);
    const CaptureResult result = RunVeskot(veskotPath_, {});
    EXPECT_TRUE(SameDebugStrings(expected, result.strings));
    const bool searched =
        std::find(result.strings.begin(), result.strings.end(), "Need search..\n") != result.strings.end();
    EXPECT_EQ(searched, deletedInfFiles != 2);
    // The files laid out for the instances that delete them are gone either way.
    for (const DeviceInstance& instance : instances_) {
      EXPECT_FALSE(FileExists(StorePath(instance.infPath))) << instance.infPath;
    }
    ExpectInfStoreCleaned(searched);
  }
};

TEST_F(DeletedInfCount, TwoFilesLeaveTheSearchOut) {
  ASSERT_NO_FATAL_FAILURE(LayOut({ModemInterface(), AdbInterface()}));
  CheckRun(2);
  // What only the search would have found stays.
  EXPECT_TRUE(FileExists(StorePath("nordal_adb_legacy.inf")));
  EXPECT_TRUE(FileExists(StorePath("nordal_modem_legacy.inf")));
  EXPECT_TRUE(FileExists(StorePath("oem13.inf")));
}

TEST_F(DeletedInfCount, FileSharedByTwoInstancesCountsOnce) {
  ASSERT_NO_FATAL_FAILURE(LayOut({AdbInterface(), Bootloader(), ModemInterface()}));
  CheckRun(2);
  EXPECT_TRUE(FileExists(StorePath("nordal_adb_legacy.inf")));
}

TEST_F(DeletedInfCount, OneFileRunsTheSearch) {
  ASSERT_NO_FATAL_FAILURE(LayOut({DiagnosticsPort()}));
  CheckRun(1);
}

TEST_F(DeletedInfCount, ThreeFilesRunTheSearch) {
  ASSERT_NO_FATAL_FAILURE(LayOut({ModemInterface(), AdbInterface(), DiagnosticsPort()}));
  CheckRun(3);
}

TEST_F(DeletedInfCount, NoHandsetRunsTheSearch) {
  ASSERT_NO_FATAL_FAILURE(LayOut({}));
  CheckRun(0);
}

// Driver keys the device step cannot take a file name from: the instance
// is still dealt with, nothing is deleted.
class DriverKey : public UninstallerTest {
 protected:
  void CheckRun(const std::vector<DeviceInstance>& instances) {
    for (const DeviceInstance& instance : instances) {
      ASSERT_NO_FATAL_FAILURE(AddInstance(instance));
    }
    RunExpectation expectation;
    expectation.scanResults = {kNullText};
    const std::vector<std::string> expected = ExpectedRun(expectation);
    EXPECT_TRUE(SameDebugStrings(expected, RunVeskot(veskotPath_, {}).strings));
  }
};

TEST_F(DriverKey, InstanceNeverInstalledHasNone) {
  CheckRun({{"ROOT\\NORDAL_E2E_NEVER_INSTALLED\\0000",
             {"USB\\VID_3A8D&PID_6C32&REV_0100", "USB\\VID_3A8D&PID_6C32"},
             1,
             "{9B4E2A17-6C3D-4F58-A1E0-3D7C5B82F461}",
             "",
             DriverInf::kNoDriverKey}});
}

TEST_F(DriverKey, KeyWithoutInfPath) {
  DeviceInstance instance = NetworkInterface();
  instance.fate = DriverInf::kNoInfPath;
  CheckRun({instance});
}

TEST_F(DriverKey, InfPathOutsideTheInfStoreDeletesNothing) {
  const std::string windowsFolder = WindowsFolder();
  ASSERT_TRUE(WriteWholeFile(JoinPath(windowsFolder, "decoy.inf"), "[Version]\r\n"));
  ASSERT_TRUE(WriteWholeFile(JoinPath(kitFolder_, "decoy.inf"), "[Version]\r\n"));
  DeviceInstance upward = ModemInterface();
  upward.infPath = "..\\decoy.inf";
  upward.fate = DriverInf::kNotBareName;
  DeviceInstance absolute = AdbInterface();
  absolute.infPath = JoinPath(kitFolder_, "decoy.inf");
  absolute.fate = DriverInf::kNotBareName;
  CheckRun({upward, absolute});
  EXPECT_TRUE(FileExists(JoinPath(windowsFolder, "decoy.inf")));
  EXPECT_TRUE(FileExists(JoinPath(kitFolder_, "decoy.inf")));
  EXPECT_TRUE(DeleteOneFile(JoinPath(windowsFolder, "decoy.inf")));
}

TEST_F(DriverKey, InfPathIntoSystem32OrWithoutTerminatorDeletesNothingOutsideTheStore) {
  const std::string decoy = JoinPath(systemDirectory_, "x.inf");
  ASSERT_TRUE(WriteWholeFile(decoy, "[Version]\r\nSignature=\"$Windows NT$\"\r\n"));
  DeviceInstance upward = ModemInterface();
  upward.infPath = "..\\system32\\x.inf";
  upward.fate = DriverInf::kNotBareName;
  // Windows' own usb.inf, padded with blanks to the buffer's end: the file
  // functions would trim the blanks if the name were ever used.
  DeviceInstance unterminated = AdbInterface();
  unterminated.infPath = "usb.inf" + std::string(MAX_PATH - 7, ' ');
  unterminated.fate = DriverInf::kInfPathUnterminated;
  CheckRun({upward, unterminated});
  EXPECT_TRUE(FileExists(decoy));
  EXPECT_TRUE(FileExists(StorePath("usb.inf")));
  EXPECT_TRUE(DeleteOneFile(decoy));
}

// The two keys go first, then the prompt, then the folders; a key that
// opens but cannot be deleted ends the run there.
class ProductKeys : public UninstallerTest {
 protected:
  std::vector<std::string> Run(const RunExpectation& expectation) {
    const std::vector<std::string> expected = ExpectedRun(expectation);
    const CaptureResult result = RunVeskot(veskotPath_, {"showmessage"});
    EXPECT_TRUE(SameDebugStrings(expected, result.strings));
    return result.strings;
  }

  static bool HasPrompt(const std::vector<std::string>& strings) {
    for (const std::string& text : strings) {
      if (text.find("Start present a prompt") != std::string::npos) {
        return true;
      }
    }
    return false;
  }
};

TEST_F(ProductKeys, UninstallKeyWithASubkeyEndsTheRun) {
  ASSERT_NO_FATAL_FAILURE(LayOutInstalledMachine());
  ASSERT_NO_FATAL_FAILURE(AddSubkey(kUninstallKey));
  RunExpectation expectation;
  expectation.scanResults = {kNullText, "showmessage"};
  expectation.deletedInfFiles = kInstalledMachineDeletedInfs;
  expectation.uninstallKeyFailure = kKeyWithSubkeysError;

  const std::vector<std::string> strings = Run(expectation);

  ASSERT_FALSE(strings.empty());
  EXPECT_EQ(strings.back(), "Dlete key fail!errorvalue is :5");
  EXPECT_FALSE(HasPrompt(strings));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kProductKey));
  EXPECT_TRUE(FolderExists(productFolder_));
  EXPECT_TRUE(FolderExists(tempFolder_));
  DWORD exitCode = 0;
  EXPECT_FALSE(handsetTool_.WaitForEnd(0, &exitCode)) << "the handset tool ended with " << exitCode;
}

TEST_F(ProductKeys, ProductKeyWithASubkeyEndsTheRunBeforeThePrompt) {
  ASSERT_NO_FATAL_FAILURE(LayOutInstalledMachine());
  ASSERT_NO_FATAL_FAILURE(AddSubkey(kProductKey));
  RunExpectation expectation;
  expectation.scanResults = {kNullText, "showmessage"};
  expectation.deletedInfFiles = kInstalledMachineDeletedInfs;
  expectation.productKeyFailure = kKeyWithSubkeysError;

  const std::vector<std::string> strings = Run(expectation);

  ASSERT_FALSE(strings.empty());
  EXPECT_EQ(strings.back(), "Dlete key fail!errorvalue is :5");
  EXPECT_FALSE(HasPrompt(strings)) << "success was announced before the product key was deleted";
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kProductKey));
  EXPECT_TRUE(FolderExists(productFolder_));
  EXPECT_TRUE(FolderExists(tempFolder_));
}

TEST_F(ProductKeys, WithoutAnUninstallKeyThePromptHasItsSecondLine) {
  ASSERT_NO_FATAL_FAILURE(AddProductKey());
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  RunExpectation expectation;
  expectation.scanResults = {kNullText, "showmessage"};

  const std::vector<std::string> strings = Run(expectation);

  EXPECT_NE(std::find(strings.begin(), strings.end(), "=============Start present a prompt: 1440\n====="),
            strings.end());
  ExpectKeysGone();
  ExpectFoldersGone();
}

// The product folder and the temporary folder go with everything in them.
class FolderDeletion : public UninstallerTest {
 protected:
  void CheckRun(const std::string& uninstallerPath) {
    RunExpectation expectation;
    expectation.scanResults = {kNullText};
    expectation.uninstallerPath = uninstallerPath;
    const std::vector<std::string> expected = ExpectedRun(expectation);
    EXPECT_TRUE(SameDebugStrings(expected, RunVeskot(uninstallerPath, {}).strings));
  }
};

TEST_F(FolderDeletion, FileHeldByARunningProgramOfAnotherNameStaysAndTheProgramRuns) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const std::string guide = productFolder_ + "\\docs\\guide.txt";
  // A document viewer holds the file open: the handle it inherited is the
  // only one left.
  const std::string viewerPath = JoinPath(kitFolder_, "DocViewer.exe");
  ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "e2e_sleeper.exe"), viewerPath));
  HeldOpenFile held;
  ASSERT_TRUE(held.Open(guide, true));
  BackgroundProgram viewer;
  ASSERT_TRUE(viewer.Start(viewerPath, true));
  held.Close();
  heldFiles_[guide] = {"guide.txt", true};

  CheckRun(veskotPath_);

  EXPECT_TRUE(viewer.Running()) << viewerPath << " was ended";
  EXPECT_TRUE(FileExists(guide));
  EXPECT_FALSE(FolderExists(productFolder_ + "\\docs\\empty"));
  EXPECT_FALSE(FolderExists(productFolder_ + "\\INF"));
  EXPECT_FALSE(FileExists(productFolder_ + "\\readme.txt"));
  EXPECT_FALSE(FolderExists(tempFolder_));
  viewer.Stop();
}

TEST_F(FolderDeletion, AmongManyRunningProgramsOnlyTheHolderIsEnded) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  ASSERT_NO_FATAL_FAILURE(StartHandsetTool());
  // Names that come close to the handset tool's without containing it,
  // then plain ones.
  std::vector<std::string> names = {"HandsetToo.exe", "andsetTool.exe", "HandsetTool.ex.exe",
                                    "Handset Tool.exe", "HandsetTool_old.exe"};
  while (names.size() < kOtherPrograms) {
    names.push_back("Sleeper" + std::to_string(names.size()) + ".exe");
  }
  std::vector<std::unique_ptr<BackgroundProgram>> others;
  for (const std::string& name : names) {
    const std::string path = JoinPath(kitFolder_, name);
    ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "e2e_sleeper.exe"), path));
    others.emplace_back(new BackgroundProgram);
    ASSERT_TRUE(others.back()->Start(path));
  }
  const std::map<DWORD, std::string> before = RunningProcesses();
  ASSERT_GT(before.size(), kOtherPrograms);

  CheckRun(veskotPath_);

  ExpectHandsetToolEnded();
  for (size_t i = 0; i < others.size(); ++i) {
    EXPECT_TRUE(others[i]->Running()) << names[i] << " was ended";
  }
  const std::map<DWORD, std::string> after = RunningProcesses();
  for (const auto& process : before) {
    if (lstrcmpiA(process.second.c_str(), "HandsetTool.exe") != 0) {
      EXPECT_EQ(after.count(process.first), 1u) << process.second << " (" << process.first << ") ended";
    }
  }
  ExpectFoldersGone();
}

TEST_F(FolderDeletion, EntryPathOf259CharactersGoesAndOf260IsPassedOverAndTraced) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const std::string outer = productFolder_ + "\\long\\";
  const std::string deep = outer + std::string(240 - outer.size(), 'd');
  const std::string file259 = JoinPath(deep, std::string(18, 'a'));
  const std::string file260 = JoinPath(deep, std::string(19, 'b'));
  // A folder whose own path fits but whose search pattern would not, and
  // one whose pattern just fits.
  const std::string folder259 = JoinPath(deep, std::string(18, 'f'));
  const std::string folder255 = JoinPath(deep, std::string(14, 'g'));
  ASSERT_EQ(file259.size(), 259u);
  ASSERT_EQ(file260.size(), 260u);
  ASSERT_EQ(folder255.size(), 255u);
  ASSERT_TRUE(MakeFolders(deep));
  ASSERT_TRUE(WriteLongFile(file259, "259\r\n"));
  ASSERT_TRUE(WriteLongFile(file260, "260\r\n"));
  ASSERT_TRUE(MakeLongFolder(folder259));
  ASSERT_TRUE(MakeLongFolder(folder255));
  ASSERT_TRUE(WriteLongFile(JoinPath(folder255, "z"), "257\r\n"));

  CheckRun(veskotPath_);

  EXPECT_FALSE(LongPathExists(file259));
  EXPECT_TRUE(LongPathExists(file260));
  EXPECT_TRUE(LongPathExists(folder259));
  EXPECT_FALSE(LongPathExists(folder255));
  EXPECT_TRUE(FolderExists(deep));
  EXPECT_FALSE(FileExists(productFolder_ + "\\readme.txt"));
  EXPECT_FALSE(FolderExists(productFolder_ + "\\INF"));
  EXPECT_FALSE(FolderExists(tempFolder_));
}

TEST_F(FolderDeletion, UninstallerInsideTheProductFolderDoesNotEndItself) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const std::string inside = JoinPath(productFolder_, "Veskot.exe");
  ASSERT_TRUE(CopyOneFile(veskotPath_, inside));
  heldFiles_[inside] = {"Veskot.exe", true};

  CheckRun(inside);

  // It went on to the temporary folder and ended as always.
  EXPECT_TRUE(FileExists(inside));
  EXPECT_EQ(ListFolder(productFolder_).size(), 1u);
  EXPECT_FALSE(FolderExists(tempFolder_));
}

TEST_F(FolderDeletion, PathsPastMaxPathArePassedOver) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  // A folder of 240 characters, which the ANSI functions still reach.
  const std::string outer = tempFolder_ + "\\long\\";
  const std::string deep = outer + std::string(240 - outer.size(), 'a');
  ASSERT_TRUE(MakeFolders(deep));
  // A file whose full path has more than MAX_PATH - 1 characters, and a
  // folder whose path fits but whose search pattern would not.
  const std::string file = JoinPath(deep, std::string(26, 'c') + ".txt");
  const std::string folder = JoinPath(deep, std::string(MAX_PATH - 3 - deep.size() - 1, 'b'));
  ASSERT_GE(file.size(), static_cast<size_t>(MAX_PATH));
  ASSERT_LT(folder.size(), static_cast<size_t>(MAX_PATH));
  ASSERT_GE(folder.size() + 4, static_cast<size_t>(MAX_PATH));
  ASSERT_TRUE(WriteLongFile(file, "far down\r\n"));
  ASSERT_TRUE(MakeLongFolder(folder));
  ASSERT_TRUE(WriteLongFile(JoinPath(folder, "inner.txt"), "further down\r\n"));

  CheckRun(veskotPath_);

  EXPECT_TRUE(LongPathExists(file));
  EXPECT_TRUE(LongPathExists(JoinPath(folder, "inner.txt")));
  EXPECT_TRUE(FolderExists(deep));
  EXPECT_FALSE(FileExists(tempFolder_ + "\\setup.log"));
  EXPECT_FALSE(FolderExists(tempFolder_ + "\\cache"));
  EXPECT_FALSE(FolderExists(productFolder_));
}

TEST_F(FolderDeletion, JunctionGoesAndWhatItPointsToStays) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const std::string target = JoinPath(kitFolder_, "shared_drivers");
  ASSERT_TRUE(MakeFolders(target));
  ASSERT_TRUE(WriteWholeFile(JoinPath(target, "keep.sys"), "not the kit's\r\n"));
  const std::string link = productFolder_ + "\\docs\\drivers";
  KnownWineGap(kNoJunctions, [&] {
    DWORD error = ERROR_SUCCESS;
    ASSERT_TRUE(MakeJunction(link, target, &error));

    CheckRun(veskotPath_);

    EXPECT_TRUE(FileExists(JoinPath(target, "keep.sys")));
    EXPECT_FALSE(FolderExists(productFolder_));
  });
}

TEST_F(FolderDeletion, FolderLinkIsNotFollowedAndWhatItPointsToStays) {
  if (!UnderWine()) {
    GTEST_SKIP() << "a Unix folder link, Wine's stand-in for a junction; the junction test and the host "
                    "tests cover Windows";
  }
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const std::string target = JoinPath(kitFolder_, "shared_drivers");
  ASSERT_TRUE(MakeFolders(target + "\\nested"));
  ASSERT_TRUE(WriteWholeFile(JoinPath(target, "keep.sys"), "not the kit's\r\n"));
  ASSERT_TRUE(WriteWholeFile(JoinPath(target, "nested\\keep.inf"), "not the kit's either\r\n"));
  const std::string link = productFolder_ + "\\docs\\drivers";
  UnixFolderLink made;
  ASSERT_TRUE(made.Make(link, target));
  ASSERT_EQ(AttributesOf(link) & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));

  CheckRun(veskotPath_);

  std::string content;
  EXPECT_TRUE(ReadWholeFile(JoinPath(target, "keep.sys"), &content));
  EXPECT_EQ(content, "not the kit's\r\n");
  EXPECT_TRUE(ReadWholeFile(JoinPath(target, "nested\\keep.inf"), &content));
  EXPECT_EQ(content, "not the kit's either\r\n");
  // Wine does not remove a link to a folder that is not empty
  // (ERROR_DIR_NOT_EMPTY), so the link and the folders above it stay;
  // Windows removes a junction (the host tests prove it).
  EXPECT_TRUE(FolderExists(link));
  EXPECT_FALSE(FileExists(productFolder_ + "\\docs\\guide.txt"));
  EXPECT_FALSE(FolderExists(productFolder_ + "\\docs\\empty"));
  EXPECT_FALSE(FolderExists(productFolder_ + "\\INF"));
  EXPECT_FALSE(FolderExists(tempFolder_));
}

TEST_F(FolderDeletion, ProductFolderThatIsALinkIsNotEnteredAndWhatItPointsToStays) {
  if (!UnderWine()) {
    GTEST_SKIP() << "a Unix folder link, Wine's stand-in for a junction; the junction test and the host "
                    "tests cover Windows";
  }
  const std::string target = JoinPath(kitFolder_, "elsewhere");
  ASSERT_TRUE(MakeFolders(target + "\\nested"));
  ASSERT_TRUE(WriteWholeFile(JoinPath(target, "keep.sys"), "not the kit's\r\n"));
  ASSERT_TRUE(WriteWholeFile(JoinPath(target, "nested\\keep.inf"), "not the kit's either\r\n"));
  ASSERT_FALSE(FolderExists(productFolder_));
  UnixFolderLink made;
  ASSERT_TRUE(made.Make(productFolder_, target));

  const CaptureResult result = RunVeskot(veskotPath_, {});

  EXPECT_EQ(result.exitCode, 0u);
  const std::vector<std::string>& strings = result.strings;
  EXPECT_NE(std::find(strings.begin(), strings.end(),
                      "Folder is a link, removed and not entered: [" + productFolder_ + "]\n"),
            strings.end());
  EXPECT_EQ(std::find(strings.begin(), strings.end(),
                      "Get file name 32 bit: [" + productFolder_ + "\\*.*], line: 1014"),
            strings.end());
  std::string content;
  EXPECT_TRUE(ReadWholeFile(JoinPath(target, "keep.sys"), &content));
  EXPECT_EQ(content, "not the kit's\r\n");
  EXPECT_TRUE(ReadWholeFile(JoinPath(target, "nested\\keep.inf"), &content));
  EXPECT_EQ(content, "not the kit's either\r\n");
}

// The search goes through whatever the INF store holds and deletes only
// the files that name the handset.
class InfStoreSearch : public UninstallerTest {};

TEST_F(InfStoreSearch, OddEntriesAreReadThroughAndOnlyHandsetInfsGo) {
  ASSERT_NO_FATAL_FAILURE(AddOddStoreEntries());
  for (const StoreFile& file : SearchFiles()) {
    ASSERT_NO_FATAL_FAILURE(AddStoreFile(file));
  }
  RunExpectation expectation;
  expectation.scanResults = {kNullText};
  const std::vector<std::string> expected = ExpectedRun(expectation);

  EXPECT_TRUE(SameDebugStrings(expected, RunVeskot(veskotPath_, {}).strings));

  ExpectInfStoreCleaned(true);
  EXPECT_TRUE(FolderExists(StorePath("x.inf")));
}

// Any argument that contains "showmessage", the program path included,
// asks for the prompt; the scan stops there.
class Arguments : public UninstallerTest {
 protected:
  void CheckScan(const std::string& path, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& scanResults) {
    ASSERT_NO_FATAL_FAILURE(AddProductKey());
    ASSERT_NO_FATAL_FAILURE(AddUninstallKey());
    RunExpectation expectation;
    expectation.scanResults = scanResults;
    expectation.uninstallerPath = path;
    const std::vector<std::string> expected = ExpectedRun(expectation);
    EXPECT_TRUE(SameDebugStrings(expected, RunVeskot(path, arguments).strings));
    ExpectKeysGone();
  }
};

TEST_F(Arguments, WordInsideAnArgumentAsksForThePrompt) {
  CheckScan(veskotPath_, {"a", "/xshowmessagex", "b"}, {kNullText, kNullText, "showmessagex"});
}

TEST_F(Arguments, WordInOtherLetterCaseIsNotRecognized) {
  CheckScan(veskotPath_, {"SHOWMESSAGE", "ShowMessage", "-Showmessage"},
            {kNullText, kNullText, kNullText, kNullText});
}

TEST_F(Arguments, ProgramPathWithTheWordAsksForThePrompt) {
  const std::string folder = JoinPath(kitFolder_, "showmessage");
  ASSERT_TRUE(MakeFolders(folder));
  const std::string path = JoinPath(folder, "Veskot.exe");
  ASSERT_TRUE(CopyOneFile(veskotPath_, path));
  CheckScan(path, {"b"}, {"showmessage\\Veskot.exe"});
}

// The Windows release and the kind of machine decide the classification
// line, the 64-bit branch and the folder names.
class Classification : public UninstallerTest {
 protected:
  void CheckRelease(const Release& release) {
    ASSERT_NO_FATAL_FAILURE(SelectWindows(release));
    if (IsSkipped()) {
      return;
    }
    ASSERT_NO_FATAL_FAILURE(AddProductFolders());
    RunExpectation expectation;
    expectation.scanResults = {kNullText};
    expectation.release = &release;
    const std::vector<std::string> expected = ExpectedRun(expectation);
    const std::vector<std::string> strings = RunVeskot(veskotPath_, {}).strings;
    EXPECT_TRUE(SameDebugStrings(expected, strings));
    ExpectFoldersGone();

    // Spelled out: the 64-bit branch names Veskot64.exe beside the running
    // uninstaller, and 64-bit Windows has the product in "Program Files (x86)".
    const bool branch = UnderWow64() && release.branch64;
    EXPECT_EQ(Contains(strings, "Start uninstall 64bit driver, line: 1322"), branch);
    EXPECT_EQ(Contains(strings, "Uninstall full name: [C:\\kit\\Veskot64.exe], line: 1338"), branch);
    const std::string programFiles = UnderWow64() ? "C:\\Program Files (x86)" : "C:\\Program Files";
    EXPECT_TRUE(Contains(
        strings, "Get file name 32 bit: [" + programFiles + "\\NORDAL_5120_USB_DRIVER\\*.*], line: 1014"));
    EXPECT_TRUE(Contains(strings,
                         "Get file name 32 bit: [" + programFiles + "\\Orvane_M4730_Temp\\*.*], line: 1014"));
  }

  static bool Contains(const std::vector<std::string>& strings, const std::string& text) {
    return std::find(strings.begin(), strings.end(), text) != strings.end();
  }
};

TEST_F(Classification, Windows2000HasNo64BitBranch) { CheckRelease(kWindows2000); }

TEST_F(Classification, WindowsXp) { CheckRelease(kWindowsXp); }

TEST_F(Classification, WindowsXp64) { CheckRelease(kWindowsXp64); }

TEST_F(Classification, WindowsVista) { CheckRelease(kWindowsVista); }

TEST_F(Classification, Windows7) { CheckRelease(kWindows7); }

TEST_F(Classification, Windows8IsOutsideTheTable) { CheckRelease(kWindows8); }

}  // namespace
}  // namespace e2e
