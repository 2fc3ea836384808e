// The uninstaller's whole run against the simulated machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/host/veskot_fixture.h"
#include "uninstaller/device_removal.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;

const char* const kNull = kit::kNullShown;
const char* const kWindows7Line = kit::kWindows7.on32.veskotLine;

TEST_F(UninstallerFlow, CompleteRunWithPrompt) {
  EXPECT_EQ(Run({"showmessage"}), 0);
  const kit::Messages expected = {kUninstallDevice,
                                  kStartSetVistaRight,
                                  ArgumentScan(kNull),
                                  ArgumentScan("showmessage"),
                                  kShowIsTrue,
                                  kStartPkgGetSysInfo,
                                  OsVersion(6, 1),
                                  kWindows7Line,
                                  kOverPkgGetSysInfo,
                                  kInstance,
                                  kEnterForLoop,
                                  kit::kModemInterface,
                                  kEndOfId,
                                  kDeleteInPkgQuickDel,
                                  FileFullPath(sim::InInfStore("oem3.inf")),
                                  kInstance,
                                  kEnterForLoop,
                                  kit::kAdbInterface,
                                  kEndOfId,
                                  kDeleteInPkgQuickDel,
                                  FileFullPath(sim::InInfStore("oem4.inf")),
                                  kStartRegOpenKeyEx,
                                  kStartRegDeleteKey,
                                  kPromptAfterDeletion,
                                  kStartProductFolder,
                                  SearchFolder(sim::kProductDir32),
                                  SearchFolder(sim::kPackageDir32),
                                  kOverProductFolder,
                                  kStartTempFolder,
                                  SearchFolder(sim::kTempDir32),
                                  kOverTempFolder};
  EXPECT_EQ(TracedMessages(kTag), expected);
  ASSERT_EQ(m().messageBoxes.size(), 1u);
  EXPECT_EQ(m().messageBoxes[0].owner, nullptr);
  EXPECT_EQ(m().messageBoxes[0].text, kit::kPromptText);
  EXPECT_EQ(m().messageBoxes[0].caption, kit::kPromptCaption);
  EXPECT_EQ(m().messageBoxes[0].type, static_cast<UINT>(MB_OK));
  EXPECT_FALSE(m().HasKey(sim::kUninstallKey));
  EXPECT_FALSE(m().HasKey(sim::kProductKey));
  EXPECT_TRUE(m().HasKey(sim::kUninstallRoot));
  EXPECT_FALSE(m().Exists(sim::kProductDir32));
  EXPECT_FALSE(m().Exists(sim::kTempDir32));
  EXPECT_FALSE(m().Exists(sim::InInfStore("oem3.inf")));
  EXPECT_FALSE(m().Exists(sim::InInfStore("oem4.inf")));
  EXPECT_TRUE(m().FindDevice(kModemInstance)->removed);
  EXPECT_TRUE(m().FindDevice(kAdbInstance)->removed);
  EXPECT_EQ(m().Value(sim::kLayersKey, kVeskotPath)->data, sim::kRunAsAdminData);
  EXPECT_EQ(m().OpenHandles(winsim::Handle::Kind::kKey), 0);
}

TEST_F(UninstallerFlow, CountOfDeletedInfFilesDecidesTheSearch) {
  for (int count = 0; count <= 3; ++count) {
    SetUp();
    m().devices.clear();
    for (int i = 0; i < count; ++i) {
      AddHandset(std::string(kit::kBootloaderInterface) + "&MI_0" + std::to_string(i) + "\\1",
                 std::string(kit::kBootloaderInterface) + "&MI_0" + std::to_string(i),
                 "oem" + std::to_string(20 + i) + ".inf", i);
    }
    m().AddFile(sim::InInfStore("machine.inf"), "[Version]\r\nSignature=\"$Windows NT$\"\r\n");
    EXPECT_EQ(Run(), 0);
    const kit::Messages messages = TracedMessages(kTag);
    EXPECT_EQ(nDeletedInf, static_cast<DWORD>(count));
    EXPECT_EQ(std::count(messages.begin(), messages.end(), kNeedSearch), count == 2 ? 0 : 1)
        << count << " INF files deleted";
    EXPECT_EQ(std::count(m().infOpenCalls.begin(), m().infOpenCalls.end(), sim::InInfStore("machine.inf")),
              count == 2 ? 0 : 1);
  }
}

TEST_F(UninstallerFlow, SearchFollowsTheDevicesAndBeforeTheKeys) {
  m().devices.pop_back();
  // Its INF file is another maker's now.
  m().AddFile(sim::InInfStore("oem4.inf"), "[Version]\r\nSignature=\"$Windows NT$\"\r\n");
  m().AddFile(sim::InInfStore("oem9.inf"),
              "[Version]\r\nSignature=\"$Windows "
              "NT$\"\r\n[Manufacturer]\r\nO=M\r\n[M]\r\nD=I,USB\\VID_3A8D&PID_6C31\r\n");
  EXPECT_EQ(Run(), 0);
  const kit::Messages expected = {kUninstallDevice,
                                  kStartSetVistaRight,
                                  ArgumentScan(kNull),
                                  kStartPkgGetSysInfo,
                                  OsVersion(6, 1),
                                  kWindows7Line,
                                  kOverPkgGetSysInfo,
                                  kInstance,
                                  kEnterForLoop,
                                  kit::kModemInterface,
                                  kEndOfId,
                                  kDeleteInPkgQuickDel,
                                  FileFullPath(sim::InInfStore("oem3.inf")),
                                  kNeedSearch,
                                  kFoundHandsetInf,
                                  FileFullName(sim::InInfStore("oem9.inf")),
                                  DeviceContext("I,USB\\VID_3A8D&PID_6C31"),
                                  kStartRegOpenKeyEx,
                                  kStartRegDeleteKey,
                                  kStartProductFolder,
                                  SearchFolder(sim::kProductDir32),
                                  SearchFolder(sim::kPackageDir32),
                                  kOverProductFolder,
                                  kStartTempFolder,
                                  SearchFolder(sim::kTempDir32),
                                  kOverTempFolder};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists(sim::InInfStore("oem9.inf")));
  EXPECT_TRUE(m().Exists(sim::InInfStore("oem4.inf")));
}

TEST_F(UninstallerFlow, PromptLanguage) {
  const std::pair<LANGID, bool> languages[] = {
      {kit::kLanguageChinesePrc, true}, {0x0404, false}, {0x0C04, false}, {0x0409, false}};
  for (const auto& language : languages) {
    SetUp();
    m().uiLanguage = language.first;
    EXPECT_EQ(Run({"showmessage"}), 0);
    ASSERT_EQ(m().messageBoxes.size(), 1u);
    if (language.second) {
      EXPECT_EQ(m().messageBoxes[0].text, kit::kPromptTextChinese);
      EXPECT_EQ(m().messageBoxes[0].caption, kit::kPromptCaptionChinese);
    } else {
      EXPECT_EQ(m().messageBoxes[0].text, kit::kPromptText) << language.first;
      EXPECT_EQ(m().messageBoxes[0].caption, kit::kPromptCaption);
    }
  }
}

TEST_F(UninstallerFlow, ShowMessageIsFoundAnywhereInAnArgumentButOnlyInSmallLetters) {
  struct Case {
    std::vector<std::string> arguments;
    kit::Messages scan;
    bool shown;
  };
  const Case cases[] = {
      {{"-showmessage"}, {ArgumentScan(kNull), ArgumentScan("showmessage"), kShowIsTrue}, true},
      {{"/xshowmessagey", "ignored"}, {ArgumentScan(kNull), ArgumentScan("showmessagey"), kShowIsTrue}, true},
      {{"SHOWMESSAGE", "ShowMessage"},
       {ArgumentScan(kNull), ArgumentScan(kNull), ArgumentScan(kNull)},
       false},
      {{}, {ArgumentScan(kNull)}, false},
  };
  for (const Case& c : cases) {
    SetUp();
    EXPECT_EQ(Run(c.arguments), 0);
    const kit::Messages messages = TracedMessages(kTag);
    ASSERT_GE(messages.size(), 2 + c.scan.size());
    EXPECT_EQ(kit::Messages(messages.begin() + 2, messages.begin() + 2 + c.scan.size()), c.scan);
    EXPECT_EQ(m().messageBoxes.size(), c.shown ? 1u : 0u);
  }
}

TEST_F(UninstallerFlow, ProgramPathWithTheWordShowsThePrompt) {
  m().modulePath = std::string("C:\\showmessage\\") + kit::kVeskotExe;
  EXPECT_EQ(Run(), 0);
  const kit::Messages messages = TracedMessages(kTag);
  ASSERT_GE(messages.size(), 4u);
  EXPECT_EQ(kit::Messages(messages.begin() + 2, messages.begin() + 4),
            kit::Messages({ArgumentScan("showmessage\\Veskot.exe"), kShowIsTrue}));
  EXPECT_EQ(m().messageBoxes.size(), 1u);
}

TEST_F(UninstallerFlow, SecondRunOnACleanedMachine) {
  EXPECT_EQ(Run({"showmessage"}), 0);
  ClearTrace();
  m().messageBoxes.clear();
  nDeletedInf = 0;
  m().AddFolder(sim::kInfStore);
  EXPECT_EQ(Run({"showmessage"}), 0);
  const kit::Messages expected = {kUninstallDevice,
                                  kStartSetVistaRight,
                                  ArgumentScan(kNull),
                                  ArgumentScan("showmessage"),
                                  kShowIsTrue,
                                  kStartPkgGetSysInfo,
                                  OsVersion(6, 1),
                                  kWindows7Line,
                                  kOverPkgGetSysInfo,
                                  kNeedSearch,
                                  kNoFileList,
                                  kStartRegOpenKeyEx,
                                  kPromptWithoutKey,
                                  kStartProductFolder,
                                  SearchFolder(sim::kProductDir32),
                                  FindFirstFailed(sim::kProductDir32),
                                  kOverProductFolder,
                                  kStartTempFolder,
                                  SearchFolder(sim::kTempDir32),
                                  FindFirstFailed(sim::kTempDir32),
                                  kOverTempFolder};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(m().messageBoxes.size(), 1u);
}

TEST_F(UninstallerFlow, SystemDirectoryThatCannotBeReadFallsBackToDriveC) {
  m().systemDirectoryFails = true;
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(m().Exists(sim::kProductDir32));
  EXPECT_FALSE(m().Exists(sim::kTempDir32));
}

TEST_F(UninstallerFlow, FoldersOnTheSystemDrive) {
  const std::string onD = std::string("D:") + kit::kProgramFiles + "\\" + kit::kProductFolderName;
  m().systemDirectory = "D:\\WINNT\\system32";
  m().AddFolder(onD);
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(m().Exists(onD));
  EXPECT_TRUE(m().Exists(sim::kProductDir32));
}

TEST_F(UninstallerFlow, CopyRunFromTheProductFolderEndsNoProcessAndFinishesTheRun) {
  const std::string own = sim::kProductDir32 + "\\" + kit::kVeskotExe;
  m().modulePath = own;
  m().AddFile(own, "MZ").heldBy = m().currentProcessId;
  m().AddProcess(200, "explorer.exe");
  m().AddProcess(201, "HandsetTool.exe");
  EXPECT_EQ(Run(), 0);
  const kit::Messages expected = {kUninstallDevice,
                                  kStartSetVistaRight,
                                  ArgumentScan(kNull),
                                  kStartPkgGetSysInfo,
                                  OsVersion(6, 1),
                                  kWindows7Line,
                                  kOverPkgGetSysInfo,
                                  kInstance,
                                  kEnterForLoop,
                                  kit::kModemInterface,
                                  kEndOfId,
                                  kDeleteInPkgQuickDel,
                                  FileFullPath(sim::InInfStore("oem3.inf")),
                                  kInstance,
                                  kEnterForLoop,
                                  kit::kAdbInterface,
                                  kEndOfId,
                                  kDeleteInPkgQuickDel,
                                  FileFullPath(sim::InInfStore("oem4.inf")),
                                  kStartRegOpenKeyEx,
                                  kStartRegDeleteKey,
                                  kStartProductFolder,
                                  SearchFolder(sim::kProductDir32),
                                  SearchFolder(sim::kPackageDir32),
                                  DeleteFailedTryLater(own),
                                  HolderName(kit::kVeskotExe),
                                  DeleteFailed(own),
                                  kOverProductFolder,
                                  kStartTempFolder,
                                  SearchFolder(sim::kTempDir32),
                                  kOverTempFolder};
  EXPECT_EQ(TracedMessages(kTag), expected);
  for (const winsim::Process& process : m().processes) {
    EXPECT_TRUE(process.running) << process.exeFile;
  }
  EXPECT_TRUE(m().openProcessCalls.empty());
  EXPECT_EQ(m().sleeps, std::vector<DWORD>{200});
  EXPECT_TRUE(m().Exists(own));
  EXPECT_FALSE(m().Exists(sim::kPackageDir32));
  EXPECT_FALSE(m().Exists(sim::kTempDir32));
  EXPECT_FALSE(m().HasKey(sim::kUninstallKey));
}
}  // namespace
