// The setup program on ordinary machines rather than a clean prefix: a
// file someone holds open, programs whose names contain a kit file's
// name, a handset that Windows bound to its own drivers, a temporary
// folder whose path holds what user names hold, and an INF store that
// refuses the package. Each row installs the kit silently, lays its
// machine out and runs the quiet uninstall command, or, for the refused
// package, runs the setup on that machine.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/setup_fixture.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tests/kit_facts/windows_releases.h"
#include "tests/wine/devices.h"
#include "tests/wine/files.h"
#include "tests/wine/listener.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"
#include "tests/wine/registry.h"

namespace e2e {

using namespace wine;
namespace {

const char kFailedLog[] = "NORDAL_5120_USB_Driver_Setup.log";

struct Hostile {
  const char* name;
  const char* heldFile;  // in the product folder, held open by this test program
  const char* program;   // a running copy of the sleeper, "product:" or "outside:" and its path there
  bool programEnded;     // ... which the uninstall ends
  const wchar_t* temp;   // the temporary folder of the uninstall command, when not the prefix's
  bool windowsOwnInfs;   // the handset is bound to Windows' own INF files
  bool refusesStaging;   // the INF store takes no copy of qcser.inf
  DWORD exitCode;        // of the setup when it refuses staging, else of the uninstall command
};

void PrintTo(const Hostile& row, std::ostream* out) { *out << row.name; }

// Windows' own INF files the handset may be bound to: Media Transfer
// Protocol, tethering, and the composite parent's, named in capitals.
const char* const kWindowsInfs[] = {"wpdmtp.inf", "rndiscmp.inf", "USB.INF"};
const char kWindowsInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%M%=Generic,NTx86\r\n"
    "[Generic.NTx86]\r\n%D%=Generic.Install,USB\\MS_COMP_MTP,USB\\MS_COMP_RNDIS\r\n"
    "[Strings]\r\nM=\"Windows\"\r\nD=\"Generic device\"\r\n";

class HostileMachine : public SetupTest, public ::testing::WithParamInterface<Hostile> {
 protected:
  void TearDown() override {
    held_.Close();
    program_.Stop();
    ASSERT_TRUE(RemoveInstances("ROOT\\NORDAL_E2E_BOUND"));
    EXPECT_TRUE(DeleteTree(JoinPath(ProgramFolder(), "e2e_outside")));
    DeleteFileA(JoinPath(TemporaryFolder(), kFailedLog).c_str());
    for (const std::string& inf : createdInfs_) {
      EXPECT_TRUE(DeleteOneFile(inf));
    }
    if (!oldTemp_.empty()) {
      SetEnvironmentVariableW(L"TEMP", oldTemp_.c_str());
      SetEnvironmentVariableW(L"TMP", oldTemp_.c_str());
    }
    SetupTest::TearDown();
  }

  // The handset's instances, bound to Windows' own INF files, which are
  // made where this Windows lacks them.
  void BindToWindowsInfs() {
    for (const char* name : kWindowsInfs) {
      const std::string path = JoinPath(InfStoreFolder(), name);
      if (!FileExists(path)) {
        ASSERT_TRUE(WriteWholeFile(path, kWindowsInf));
        createdInfs_.push_back(path);
      }
      std::string instanceId;
      HKEY key = NULL;
      ASSERT_TRUE(CreateRootInstance("NORDAL_E2E_BOUND", kit::kUsbClass, {kit::kModemInterface}, true,
                                     &instanceId, &key));
      RegSetValueExA(key, "InfPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), lstrlenA(name) + 1);
      RegCloseKey(key);
    }
  }

  void StartProgram(const std::string& where) {
    const bool inside = where.compare(0, 8, "product:") == 0;
    const std::string path = inside ? JoinPath(productFolder_, where.substr(8))
                                    : JoinPath(JoinPath(ProgramFolder(), "e2e_outside"), where.substr(8));
    ASSERT_TRUE(MakeFolders(path.substr(0, path.rfind('\\'))));
    ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "e2e_sleeper.exe"), path));
    ASSERT_TRUE(program_.Start(path));
  }

  // The uninstall command's temporary folder, and this program's: the
  // setup program in the command, and the Veskot.exe it runs, see it.
  void UseTemporaryFolder(const wchar_t* folder) {
    wchar_t old[MAX_PATH];
    oldTemp_.assign(old, GetEnvironmentVariableW(L"TEMP", old, MAX_PATH));
    newTemp_ = folder;
    CreateDirectoryW(L"C:\\kit temp", NULL);
    ASSERT_TRUE(CreateDirectoryW(folder, NULL) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(SetEnvironmentVariableW(L"TEMP", folder) && SetEnvironmentVariableW(L"TMP", folder));
  }

  HeldOpenFile held_;
  BackgroundProgram program_;
  std::vector<std::string> createdInfs_;
  std::wstring oldTemp_;
  std::wstring newTemp_;
};

TEST_P(HostileMachine, UninstallHarmsNothingElseAndTellsTheTruth) {
  const Hostile& row = GetParam();
  const std::vector<std::string> layers = ValueNames(HKEY_CURRENT_USER, kit::kLayersKey);
  ASSERT_NO_FATAL_FAILURE(UseRelease(kit::kWindows7));
  DWORD exitCode = 99;
  std::vector<ListenLine> lines;
  if (row.refusesStaging) {
    StagingRefusal refusal;
    ASSERT_TRUE(refusal.Make());
    ASSERT_TRUE(RunSetup(" /S", &exitCode, &lines));
    EXPECT_EQ(exitCode, row.exitCode);
    std::string log;
    EXPECT_TRUE(ReadWholeFile(JoinPath(TemporaryFolder(), kFailedLog), &log));
    EXPECT_NE(log.find("qcser.inf has no copy"), std::string::npos) << log;
    EXPECT_TRUE(StagedCopies().empty());
    ExpectNothingLeft({});
    EXPECT_EQ(CountOf(TextsOf(lines, kit::kVeskotExe), Seen(veskot::kOverTempFolder)), 1u);
    return;
  }
  ASSERT_NO_FATAL_FAILURE(InstallSilently(&lines));
  const std::vector<std::string> staged = StagedCopies();
  ASSERT_EQ(staged.size(), 4u);
  if (row.windowsOwnInfs) {
    ASSERT_NO_FATAL_FAILURE(BindToWindowsInfs());
  }
  if (row.program != nullptr) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(row.program));
  }
  const std::string held = row.heldFile == nullptr ? "" : JoinPath(productFolder_, row.heldFile);
  if (!held.empty()) {
    ASSERT_TRUE(FileExists(held) || WriteWholeFile(held, "a user's file"));
    ASSERT_TRUE(held_.Open(held));
  }
  if (row.temp != nullptr) {
    ASSERT_NO_FATAL_FAILURE(UseTemporaryFolder(row.temp));
  }

  ASSERT_TRUE(RunUninstallCommand("QuietUninstallString", &exitCode, &lines));
  EXPECT_EQ(exitCode, row.exitCode);
  // The command returned once Veskot.exe had done all its work.
  EXPECT_EQ(CountOf(TextsOf(lines, kit::kVeskotExe), Seen(veskot::kOverTempFolder)), 1u);
  for (const auto& process : RunningProcesses()) {
    EXPECT_NE(process.second, kit::kVeskotExe) << "still running";
  }
  if (row.program != nullptr) {
    EXPECT_EQ(program_.Running(), !row.programEnded) << row.program;
  }
  for (const char* name : kWindowsInfs) {
    EXPECT_TRUE(!row.windowsOwnInfs || FileExists(JoinPath(InfStoreFolder(), name))) << name;
  }
  if (!newTemp_.empty()) {
    const std::string copy = kit::kSetupUninstallCopyExe;
    const std::wstring copyName(copy.begin(), copy.end());
    EXPECT_EQ(GetFileAttributesW((newTemp_ + L"\\" + copyName).c_str()), INVALID_FILE_ATTRIBUTES);
  }
  if (!held.empty()) {
    // What was held stays until the restart, registered for deletion then;
    // everything else of the kit is gone already.
    EXPECT_TRUE(FileExists(held));
    const std::vector<std::string> pending = PendingDeletions();
    EXPECT_NE(std::find(pending.begin(), pending.end(), held), pending.end()) << held;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kit::kUninstallKey));
    EXPECT_TRUE(KitEntries().empty());
    held_.Close();
    if (!UnderWine()) {
      return;  // the restart is the tester's on Windows
    }
    ASSERT_TRUE(Restart());
  }
  ExpectNothingLeft(staged);
  EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kit::kLayersKey), layers);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, HostileMachine,
    ::testing::Values(
        Hostile{"OutsidersHoldAndRunNamesLikeAFile", "a", "outside:Gadget.exe", false, nullptr, false, false,
                kExitRestartRequired},
        Hostile{"KitProgramRunningFromTheProductFolder", nullptr, "product:tools\\HandsetTool.exe", true,
                nullptr, false, false, 0},
        Hostile{"HandsetBoundToWindowsOwnInfs", nullptr, nullptr, false, nullptr, true, false, 0},
        Hostile{"TemporaryFolderWithDelayedExpansion", nullptr, nullptr, false, L"C:\\kit temp\\!OS!", false,
                false, 0},
        Hostile{"TemporaryFolderWithALoneExclamationMark", nullptr, nullptr, false, L"C:\\kit temp\\Hi!",
                false, false, 0},
        Hostile{"TemporaryFolderWithCaretAmpersandAndParenthesesAndAFileInUse", "INF\\qcser.inf", nullptr,
                false, L"C:\\kit temp\\a^b & (c)", false, false, kExitRestartRequired},
        Hostile{"TemporaryFolderWithPercents", nullptr, nullptr, false, L"C:\\kit temp\\%x%", false, false,
                0},
        Hostile{"TemporaryFolderInChinese", nullptr, nullptr, false, L"C:\\kit temp\\\u7528\u6237", false,
                false, 0},
        Hostile{"UninstallProgramHeldOpen", "uninstall.exe", nullptr, false, nullptr, false, false,
                kExitRestartRequired},
        Hostile{"PackageFileHeldOpen", "INF\\qcser.inf", nullptr, false, nullptr, false, false,
                kExitRestartRequired},
        Hostile{"InfStoreRefusesThePackage", nullptr, nullptr, false, nullptr, false, true, kExitFailed}),
    [](const ::testing::TestParamInfo<Hostile>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
