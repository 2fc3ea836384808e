// End-to-end tests of Quorlin.exe: each test lays out the machine through
// Win32, runs the real installer under the debugger and checks what it
// reported and what it left behind: the whole debugger output, the exit
// code, the compatibility record, the copies in the Windows INF store and
// the fate of a running "autorun" program.
//
// The same tests run in two Wine prefixes, named by KIT_E2E_PREFIX: "win32"
// (32-bit Windows, no WOW64) and "wow64" (64-bit Windows, where this
// 32-bit program and the installer run under WOW64).
#include <stdlib.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_trace.h"
#include "tests/wine/capture.h"
#include "tests/wine/files.h"
#include "tests/wine/long_paths_and_links.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"
#include "tests/wine/registry.h"

namespace e2e {

using namespace wine;
namespace {

const char kProductKey[] = "SOFTWARE\\Orvane_M4730_Driver";
const char kLayersKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
const char kAppDefaultsKey[] = "Software\\Wine\\AppDefaults\\Quorlin.exe";
const char kRunAsAdmin[] = "RUNASADMIN";

const char* const kInfFiles[] = {"android_usb.inf", "qcmdm.inf", "qcser.inf", "qcnet.inf"};

// Values Wine leaves in the thread's last error where the installer reports
// GetLastError() after a registry call that does not set it (RegOpenKeyExA
// and RegQueryValueExA return their status and leave the last error alone):
// the value is whatever an earlier call of the run put there.
//
// With no "autorun" running, the process walk ends when Process32Next
// reports ERROR_NO_MORE_FILES, and nothing after it changes the value.
const DWORD kLastErrorAfterFullProcessWalk = ERROR_NO_MORE_FILES;
// When "autorun" was found, the walk stopped before its end, and no call of
// the run has failed by then (observed: 0).
const DWORD kLastErrorAfterAutorunClosed = ERROR_SUCCESS;

// The error codes Wine's SetupCopyOEMInfA fails with when the INF file is
// missing from an existing folder, and when the folder itself is missing.
const DWORD kCopyErrorFileMissing = ERROR_FILE_NOT_FOUND;
const DWORD kCopyErrorFolderMissing = ERROR_PATH_NOT_FOUND;

// One edition of the driver package: where the installer looks for it on
// the system drive and where the test program keeps our sample INF files.
struct PackageSet {
  const char* name;
  const char* baseFolder;
  const char* infSubfolder;
  const char* sampleFolder;  // below the test program's e2e_package folder
};

const PackageSet k32BitPackage = {"32-bit", "\\Program Files\\NORDAL_5120_USB_DRIVER", "\\INF", ""};
const PackageSet k64BitPackage = {"64-bit", "\\Program Files (x86)\\NORDAL_5120_USB_DRIVER", "\\INF\\64_inf",
                                  "64_inf"};
const PackageSet* const kPackageSets[] = {&k32BitPackage, &k64BitPackage};

// A Windows release as Wine's per-program Version setting names it, with
// the version numbers Wine then reports.
struct Release {
  const char* wineVersion;
  DWORD major;
  DWORD minor;
};

const Release kWindows2000 = {"win2k", 5, 0};
const Release kWindowsXp = {"winxp", 5, 1};
const Release kWindowsXp64 = {"winxp64", 5, 2};
const Release kWindowsVista = {"vista", 6, 0};
const Release kWindows7 = {"win7", 6, 1};
const Release kWindows8 = {"win8", 6, 2};

// The installer's choice for one release on one kind of machine: the line
// it traces and the package it stages, or neither.
struct Row {
  const char* line;
  const PackageSet* package;
};

const Row kRow2K = {"Setup device for Windows 2K\n", &k32BitPackage};
const Row kRowXp32 = {"Setup device for Windows XP 32 Bit \n", &k32BitPackage};
const Row kRowXp64 = {"Setup device for Windows XP 64 Bit\n", &k64BitPackage};
const Row kRowVista32 = {"Setup device for Windows Vista32\n", &k32BitPackage};
const Row kRowVista64 = {"Setup device for Windows Vista64\n", &k64BitPackage};
const Row kRowWin7_32 = {"Setup device for Wind7 32BIT\n", &k32BitPackage};
const Row kRowWin7_64 = {"Setup device for Wind7 64BIT\n", &k64BitPackage};
const Row kRowNone = {NULL, NULL};

enum class Prefix { kWin32, kWow64 };

class QuorlinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* prefix = getenv("KIT_E2E_PREFIX");
    ASSERT_NE(prefix, nullptr) << "KIT_E2E_PREFIX names the Wine prefix kind: win32 or wow64";
    ASSERT_TRUE(std::string(prefix) == "win32" || std::string(prefix) == "wow64") << prefix;
    prefix_ = std::string(prefix) == "wow64" ? Prefix::kWow64 : Prefix::kWin32;
    BOOL underWow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &underWow64));
    ASSERT_EQ(prefix_ == Prefix::kWow64, underWow64 != FALSE)
        << "the prefix is not of the kind KIT_E2E_PREFIX names";

    systemDirectory_ = SystemDirectory();
    ASSERT_GT(systemDirectory_.size(), 3u);
    drive_ = systemDirectory_.substr(0, 2);
    dataFolder_ = JoinPath(ProgramFolder(), "e2e_package");
    kitFolder_ = drive_ + "\\kit";
    quorlinPath_ = JoinPath(kitFolder_, "Quorlin.exe");

    ASSERT_NO_FATAL_FAILURE(LoadSamples());
    ASSERT_NO_FATAL_FAILURE(RemoveStagedCopies());
    ASSERT_NO_FATAL_FAILURE(LayOutPackages());
    ASSERT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, kProductKey));
    ASSERT_TRUE(DeleteTree(kitFolder_));
    ASSERT_TRUE(MakeFolders(kitFolder_));
    ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "Quorlin.exe"), quorlinPath_));
    ASSERT_TRUE(DeleteValue(HKEY_CURRENT_USER, kLayersKey, quorlinPath_));
  }

  void TearDown() override { autorun_.Stop(); }

  // The row a release is expected to take on this machine.
  const Row& RowHere(const Row& win32Row, const Row& wow64Row) const {
    return prefix_ == Prefix::kWow64 ? wow64Row : win32Row;
  }

  const Row& Windows7RowHere() const { return RowHere(kRowWin7_32, kRowWin7_64); }

  std::string PackageFolder(const PackageSet& package) const {
    return drive_ + package.baseFolder + package.infSubfolder;
  }

  std::string SamplePath(const PackageSet& package, const std::string& file) const {
    const std::string folder =
        package.sampleFolder[0] == '\0' ? dataFolder_ : JoinPath(dataFolder_, package.sampleFolder);
    return JoinPath(folder, file);
  }

  void LoadSamples() {
    for (const PackageSet* package : kPackageSets) {
      for (const char* file : kInfFiles) {
        ASSERT_TRUE(ReadWholeFile(SamplePath(*package, file), &samples_[package][file]));
      }
    }
  }

  // Deletes from the INF store every copy of one of our samples, whatever
  // name Windows gave it, with its precompiled companion. Copies are known
  // by content only: Windows names them oemN.inf, while Wine keeps the
  // INF's own name when it is free and falls back to oemN.inf (from oem0)
  // when it is not, and writes a .pnf beside each.
  void RemoveStagedCopies() {
    const std::string store = InfStoreFolder();
    for (const std::string& name : ListFiles(store, "*.inf")) {
      std::string content;
      ASSERT_TRUE(ReadWholeFile(JoinPath(store, name), &content));
      if (SampleOf(content).empty()) {
        continue;
      }
      ASSERT_TRUE(DeleteOneFile(JoinPath(store, name)));
      const std::string pnf = JoinPath(store, name.substr(0, name.size() - 4) + ".pnf");
      if (FileExists(pnf)) {
        ASSERT_TRUE(DeleteOneFile(pnf));
      }
    }
  }

  // "edition/file" of the sample with exactly this content, or empty.
  std::string SampleOf(const std::string& content) const {
    for (const auto& package : samples_) {
      for (const auto& sample : package.second) {
        if (sample.second == content) {
          return std::string(package.first->name) + "/" + sample.first;
        }
      }
    }
    return std::string();
  }

  // Both editions in their folders on the system drive, nothing else there.
  void LayOutPackages() {
    for (const PackageSet* package : kPackageSets) {
      ASSERT_TRUE(DeleteTree(drive_ + package->baseFolder));
    }
    for (const PackageSet* package : kPackageSets) {
      ASSERT_TRUE(MakeFolders(PackageFolder(*package)));
      for (const char* file : kInfFiles) {
        ASSERT_TRUE(CopyOneFile(SamplePath(*package, file), JoinPath(PackageFolder(*package), file)));
      }
    }
  }

  void SelectWindows(const Release& release) {
    ASSERT_TRUE(WriteStringValue(HKEY_CURRENT_USER, kAppDefaultsKey, "Version", release.wineVersion));
  }

  // Runs the installer at `path` with `arguments` and checks its exit code.
  CaptureResult RunQuorlin(const std::string& path, const std::vector<std::string>& arguments) {
    return RunTraced(path, arguments, 1);
  }

  // The staging steps of one row, each file taken unless `failures` names
  // the error Windows refuses it with.
  void AddStaging(ExpectedTrace* trace, const Row& row, const std::map<std::string, DWORD>& failures = {}) {
    if (row.line == NULL) {
      return;
    }
    trace->Classified(row.line);
    for (const char* file : kInfFiles) {
      const auto failure = failures.find(file);
      trace->Staged(JoinPath(PackageFolder(*row.package), file),
                    failure == failures.end() ? 0 : failure->second);
    }
  }

  // The trace of a run without arguments, without "autorun" and without a
  // product key, on `release`, taking `row`.
  ExpectedTrace PlainRun(const Release& release, const Row& row) {
    ExpectedTrace trace;
    trace.Opening(1, release.major, release.minor)
        .AutorunNotFound()
        .ArgumentScan({kNullText})
        .ProductKeyAbsent(kLastErrorAfterFullProcessWalk)
        .SystemPath(systemDirectory_);
    AddStaging(&trace, row);
    return trace;
  }

  // The INF store holds exactly one copy of each of `files` of `package`,
  // and no copy of any other sample.
  void ExpectStagedCopies(const PackageSet* package, const std::vector<std::string>& files) {
    std::map<std::string, int> copies;
    const std::string store = InfStoreFolder();
    for (const std::string& name : ListFiles(store, "*.inf")) {
      std::string content;
      ASSERT_TRUE(ReadWholeFile(JoinPath(store, name), &content));
      const std::string sample = SampleOf(content);
      if (!sample.empty()) {
        ++copies[sample];
      }
    }
    std::map<std::string, int> expected;
    for (const std::string& file : files) {
      expected[std::string(package->name) + "/" + file] = 1;
    }
    EXPECT_EQ(copies, expected) << "copies of our samples in " << store;
  }

  void ExpectAllStaged(const Row& row) {
    if (row.package == NULL) {
      ExpectStagedCopies(NULL, {});
    } else {
      ExpectStagedCopies(row.package, {kInfFiles[0], kInfFiles[1], kInfFiles[2], kInfFiles[3]});
    }
  }

  // The compatibility record of the program file at `path`.
  void ExpectRunAsAdmin(const std::string& path) {
    const RegistryValue value = ReadValue(HKEY_CURRENT_USER, kLayersKey, path);
    ASSERT_TRUE(value.present) << "no value " << path << " under HKCU\\" << kLayersKey;
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.data, std::string(kRunAsAdmin, sizeof(kRunAsAdmin)));
  }

  // A plain run of the installer on `release`: the whole trace, the exit
  // code, the record and the staged copies.
  void CheckRelease(const Release& release, const Row& win32Row, const Row& wow64Row) {
    ASSERT_NO_FATAL_FAILURE(SelectWindows(release));
    const Row& row = RowHere(win32Row, wow64Row);
    const CaptureResult result = RunQuorlin(quorlinPath_, {});
    EXPECT_TRUE(SameDebugStrings(PlainRun(release, row).DebugStrings(), result.strings));
    ExpectRunAsAdmin(quorlinPath_);
    ExpectAllStaged(row);
  }

  Prefix prefix_ = Prefix::kWin32;
  std::string systemDirectory_;
  std::string drive_;
  std::string dataFolder_;
  std::string kitFolder_;
  std::string quorlinPath_;
  std::map<const PackageSet*, std::map<std::string, std::string>> samples_;
  BackgroundProgram autorun_;
};

// The Windows release decides the INF folder.
class Classification : public QuorlinTest {};

TEST_F(Classification, Windows2000TakesThe32BitFolderEvenUnderWow64) {
  CheckRelease(kWindows2000, kRow2K, kRow2K);
}

TEST_F(Classification, WindowsXp) { CheckRelease(kWindowsXp, kRowXp32, kRowXp64); }

TEST_F(Classification, WindowsXp64EditionWithoutWow64TakesTheXp32BitRow) {
  CheckRelease(kWindowsXp64, kRowXp32, kRowXp64);
}

TEST_F(Classification, WindowsVista) { CheckRelease(kWindowsVista, kRowVista32, kRowVista64); }

TEST_F(Classification, Windows7) { CheckRelease(kWindows7, kRowWin7_32, kRowWin7_64); }

TEST_F(Classification, Windows8IsOutsideTheTableAndStagesNothing) {
  CheckRelease(kWindows8, kRowNone, kRowNone);
}

// The handset's "autorun" program is ended before anything is staged.
class Autorun : public QuorlinTest {
 protected:
  void CheckAutorunClosed(const std::string& helperName) {
    ASSERT_NO_FATAL_FAILURE(SelectWindows(kWindows7));
    const std::string helper = JoinPath(kitFolder_, helperName);
    ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "e2e_sleeper.exe"), helper));
    ASSERT_TRUE(autorun_.Start(helper));

    const CaptureResult result = RunQuorlin(quorlinPath_, {});

    ExpectedTrace trace;
    trace.Opening(1, kWindows7.major, kWindows7.minor)
        .AutorunClosed()
        .ArgumentScan({kNullText})
        .ProductKeyAbsent(kLastErrorAfterAutorunClosed)
        .SystemPath(systemDirectory_);
    AddStaging(&trace, Windows7RowHere());
    EXPECT_TRUE(SameDebugStrings(trace.DebugStrings(), result.strings));
    DWORD exitCode = 0;
    ASSERT_TRUE(autorun_.WaitForEnd(10 * 1000, &exitCode)) << helper << " still runs";
    EXPECT_EQ(exitCode, 0u) << helper << " was not ended by the installer";
    ExpectAllStaged(Windows7RowHere());
  }
};

TEST_F(Autorun, RunningAutorunIsEndedWithExitCodeZero) { CheckAutorunClosed("myautorun.exe"); }

TEST_F(Autorun, NameIsMatchedWithoutRegardToCase) { CheckAutorunClosed("NORDAL_AutoRun.exe"); }

TEST_F(Autorun, ProgramWithoutTheWordInItsNameIsLeftRunning) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kWindows7));
  const std::string helper = JoinPath(kitFolder_, "handset_helper.exe");
  ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "e2e_sleeper.exe"), helper));
  ASSERT_TRUE(autorun_.Start(helper));

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  EXPECT_TRUE(SameDebugStrings(PlainRun(kWindows7, Windows7RowHere()).DebugStrings(), result.strings));
  DWORD exitCode = 0;
  EXPECT_FALSE(autorun_.WaitForEnd(0, &exitCode)) << helper << " ended with exit code " << exitCode;
}

// Every argument up to the first that contains "interactive" is traced.
class Arguments : public QuorlinTest {
 protected:
  void CheckScan(const std::string& path, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& scanResults) {
    ASSERT_NO_FATAL_FAILURE(SelectWindows(kWindows7));
    const CaptureResult result = RunQuorlin(path, arguments);

    ExpectedTrace trace;
    trace.Opening(static_cast<int>(arguments.size()) + 1, kWindows7.major, kWindows7.minor)
        .AutorunNotFound()
        .ArgumentScan(scanResults)
        .ProductKeyAbsent(kLastErrorAfterFullProcessWalk)
        .SystemPath(systemDirectory_);
    AddStaging(&trace, Windows7RowHere());
    EXPECT_TRUE(SameDebugStrings(trace.DebugStrings(), result.strings));
    ExpectRunAsAdmin(path);
    ExpectAllStaged(Windows7RowHere());
  }
};

TEST_F(Arguments, ProgramPathAloneIsScannedOnce) { CheckScan(quorlinPath_, {}, {kNullText}); }

TEST_F(Arguments, ScanStopsAtTheArgumentThatContainsInteractive) {
  CheckScan(quorlinPath_, {"a", "xinteractivex", "b"}, {kNullText, kNullText, "interactivex"});
}

TEST_F(Arguments, ActionChangesNothing) { CheckScan(quorlinPath_, {"/Action"}, {kNullText, kNullText}); }

TEST_F(Arguments, ActionBeforeInteractiveIsScannedToo) {
  CheckScan(quorlinPath_, {"/Action", "interactive", "/Action"}, {kNullText, kNullText, "interactive"});
}

TEST_F(Arguments, ProgramPathWithInteractiveEndsTheScanAtOnce) {
  const std::string folder = JoinPath(kitFolder_, "interactive");
  ASSERT_TRUE(MakeFolders(folder));
  const std::string path = JoinPath(folder, "Quorlin.exe");
  ASSERT_TRUE(CopyOneFile(quorlinPath_, path));
  ASSERT_TRUE(DeleteValue(HKEY_CURRENT_USER, kLayersKey, path));
  CheckScan(path, {"a"}, {"interactive\\Quorlin.exe"});
}

// The driver version recorded in the product key is reported, nothing
// more.
class StoredVersion : public QuorlinTest {
 protected:
  void CheckVersionTrace(const std::function<void(ExpectedTrace*)>& versionLines) {
    ASSERT_NO_FATAL_FAILURE(SelectWindows(kWindows7));
    const CaptureResult result = RunQuorlin(quorlinPath_, {});

    ExpectedTrace trace;
    trace.Opening(1, kWindows7.major, kWindows7.minor).AutorunNotFound().ArgumentScan({kNullText});
    versionLines(&trace);
    trace.SystemPath(systemDirectory_);
    AddStaging(&trace, Windows7RowHere());
    EXPECT_TRUE(SameDebugStrings(trace.DebugStrings(), result.strings));
    ExpectAllStaged(Windows7RowHere());
  }
};

TEST_F(StoredVersion, RecordedVersionIsShown) {
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, kProductKey, "version", "V1.0.0"));
  CheckVersionTrace([](ExpectedTrace* trace) { trace->VersionRecorded("V1.0.0"); });
  // The installer reads the product key and never writes it.
  const RegistryValue value = ReadValue(HKEY_LOCAL_MACHINE, kProductKey, "version");
  EXPECT_TRUE(value.present);
  EXPECT_EQ(value.data, std::string("V1.0.0", 7));
}

TEST_F(StoredVersion, EmptyVersionCountsAsNotInstalled) {
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, kProductKey, "version", ""));
  CheckVersionTrace([](ExpectedTrace* trace) { trace->VersionRecorded(""); });
}

TEST_F(StoredVersion, KeyWithoutVersionValueCountsAsNotInstalled) {
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, kProductKey, "path", "C:\\somewhere"));
  CheckVersionTrace([](ExpectedTrace* trace) { trace->VersionValueAbsent(kLastErrorAfterFullProcessWalk); });
}

TEST_F(StoredVersion, MissingKeyCountsAsNotInstalled) {
  CheckVersionTrace([](ExpectedTrace* trace) { trace->ProductKeyAbsent(kLastErrorAfterFullProcessWalk); });
  EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, kProductKey, "version").present);
}

// The four INF files go to the Windows INF store one by one.
class Staging : public QuorlinTest {};

TEST_F(Staging, SecondRunAddsNoSecondCopy) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kWindows7));
  const std::vector<std::string> expected = PlainRun(kWindows7, Windows7RowHere()).DebugStrings();
  const CaptureResult first = RunQuorlin(quorlinPath_, {});
  EXPECT_TRUE(SameDebugStrings(expected, first.strings));
  const CaptureResult second = RunQuorlin(quorlinPath_, {});
  EXPECT_TRUE(SameDebugStrings(expected, second.strings));
  ExpectAllStaged(Windows7RowHere());
}

TEST_F(Staging, MissingFileIsReportedAndTheOthersAreStaged) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kWindows7));
  const Row& row = Windows7RowHere();
  ASSERT_TRUE(DeleteOneFile(JoinPath(PackageFolder(*row.package), "qcmdm.inf")));

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  ExpectedTrace trace = PlainRun(kWindows7, kRowNone);
  AddStaging(&trace, row, {{"qcmdm.inf", kCopyErrorFileMissing}});
  EXPECT_TRUE(SameDebugStrings(trace.DebugStrings(), result.strings));
  ExpectStagedCopies(row.package, {"android_usb.inf", "qcser.inf", "qcnet.inf"});
}

TEST_F(Staging, MissingPackageFolderFailsEveryFile) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kWindows7));
  for (const PackageSet* package : kPackageSets) {
    ASSERT_TRUE(DeleteTree(drive_ + package->baseFolder));
  }

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  ExpectedTrace trace = PlainRun(kWindows7, kRowNone);
  std::map<std::string, DWORD> failures;
  for (const char* file : kInfFiles) {
    failures[file] = kCopyErrorFolderMissing;
  }
  AddStaging(&trace, Windows7RowHere(), failures);
  EXPECT_TRUE(SameDebugStrings(trace.DebugStrings(), result.strings));
  ExpectStagedCopies(NULL, {});
}

// The installer marks its own program file to run as administrator.
class CompatLayer : public QuorlinTest {};

TEST_F(CompatLayer, EarlierLayersAreReplaced) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kWindows7));
  ASSERT_TRUE(WriteStringValue(HKEY_CURRENT_USER, kLayersKey, quorlinPath_, "HIGHDPIAWARE"));

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  EXPECT_TRUE(SameDebugStrings(PlainRun(kWindows7, Windows7RowHere()).DebugStrings(), result.strings));
  ExpectRunAsAdmin(quorlinPath_);
}

TEST_F(CompatLayer, EachCopyGetsARecordOfItsOwn) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kWindows7));
  const std::string folder = JoinPath(kitFolder_, "second");
  ASSERT_TRUE(MakeFolders(folder));
  const std::string secondPath = JoinPath(folder, "Quorlin.exe");
  ASSERT_TRUE(CopyOneFile(quorlinPath_, secondPath));
  ASSERT_TRUE(DeleteValue(HKEY_CURRENT_USER, kLayersKey, secondPath));

  const std::vector<std::string> expected = PlainRun(kWindows7, Windows7RowHere()).DebugStrings();
  EXPECT_TRUE(SameDebugStrings(expected, RunQuorlin(quorlinPath_, {}).strings));
  EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kLayersKey, secondPath).present);
  EXPECT_TRUE(SameDebugStrings(expected, RunQuorlin(secondPath, {}).strings));

  ExpectRunAsAdmin(quorlinPath_);
  ExpectRunAsAdmin(secondPath);
}

}  // namespace
}  // namespace e2e
