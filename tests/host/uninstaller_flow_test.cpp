// The uninstaller's whole run against the simulated machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/host/trace_log.h"
#include "uninstaller/device_removal.h"
#include "uninstaller/uninstaller_main.h"
#include "winsim/machine.h"

namespace {
const char kTag[] = "..Veskot - Zenor";
const char kUninstallKey[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane_M4730_Driver";
const char kProductKey[] = "HKLM\\SOFTWARE\\Orvane_M4730_Driver";
const char kLayers[] = "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
const char kClassKey[] =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E978-E325-11CE-BFC1-08002BE10318}\\";
const std::string kDir32 = "C:\\Program Files\\NORDAL_5120_USB_DRIVER";
const std::string kTemp32 = "C:\\Program Files\\Orvane_M4730_Temp";
const std::string kDir64 = "C:\\Program Files (x86)\\NORDAL_5120_USB_DRIVER";
const std::string kTemp64 = "C:\\Program Files (x86)\\Orvane_M4730_Temp";

typedef std::vector<std::string> Lines;

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string Search(const std::string& folder) {
  return "Get file name 32 bit: [" + folder + "\\*.*], line: 1014";
}

Lines Head(const Lines& scan, const std::string& system) {
  return Lines{"Uninstall Device\n", "Start set vista right, line: 1234"} + scan +
         Lines{"Start PkgGetSysInfo, line: 1314", "OS  version:MajorVersion= 6,MinorVersion= 1\n", system,
               "Over PkgGetSysInfo, line: 1316"};
}

Lines NoMatch() { return {"compare driver version!line:1296,pResult is (null)"}; }

Lines ShowMessage(const std::string& rest) {
  return {"compare driver version!line:1296,pResult is " + rest,
          "===========bShow is TRUE======, line: 1300\n"};
}

// The handset's two interfaces, each installed from its own OEM INF.
Lines Devices() {
  return {"Lumora_log0",
          "enter for loop\n",
          "USB\\VID_3A8D&PID_6C31&MI_00",
          "\n",
          "Delete file in PkgQuickDel\n",
          "File full path: C:\\WINDOWS\\inf\\oem3.inf\n",
          "Lumora_log0",
          "enter for loop\n",
          "USB\\VID_3A8D&PID_6C31&MI_01",
          "\n",
          "Delete file in PkgQuickDel\n",
          "File full path: C:\\WINDOWS\\inf\\oem4.inf\n"};
}

const char kOpenBanner[] = "===============>>>>>32bit Veskot::Start RegOpenKeyEx<<<<<==============\n";
const char kDeleteBanner[] = "===============>>>>>32bit Veskot::Start RegDeleteKey <<<<<==============\n";

Lines Folders(const Lines& insideDir, const Lines& insideTemp) {
  return Lines{"==============Start PkgDeleteFile pDir, line: 1467"} + insideDir +
         Lines{"===============Over PkgDeleteFile pDir, line: 1469",
               "============Start PkgDeleteFile pTempDir, line: 1471"} +
         insideTemp + Lines{"===========Over PkgDeleteFile pTempDir, line: 1473"};
}

Lines Missing(const std::string& folder) {
  return {Search(folder), "Find first file failed, Path[" + folder + "\\*.*], line: 1019"};
}

class UninstallerFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::Reset();
    nDeletedInf = 0;
    winsim::Machine& m = winsim::machine();
    m.modulePath = "C:\\kit\\Veskot.exe";
    m.processes.front().exeFile = "Veskot.exe";
    m.SetValue(kUninstallKey, "DisplayName", REG_SZ, std::string("NORDAL 5120 USB Driver\0", 23));
    m.SetValue(kProductKey, "version", REG_SZ, std::string("V1.0.0\0", 7));
    AddHandset("USB\\VID_3A8D&PID_6C31&MI_00\\7&1&0", "USB\\VID_3A8D&PID_6C31&MI_00", "oem3.inf", 1);
    AddHandset("USB\\VID_3A8D&PID_6C31&MI_01\\7&1&1", "USB\\VID_3A8D&PID_6C31&MI_01", "oem4.inf", 2);
    SetUpFolders(kDir32, kTemp32);
  }

  void AddHandset(const std::string& id, const std::string& hardwareId, const std::string& inf, int number) {
    winsim::Machine& m = winsim::machine();
    m.AddFile("C:\\WINDOWS\\inf\\" + inf,
              "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\nO=M\r\n[M]\r\nD=I," + hardwareId +
                  "\r\n");
    winsim::Device& device = m.AddDevice(id, winsim::MultiSz({hardwareId}));
    device.driverKey = kClassKey + std::to_string(number);
    m.SetValue(device.driverKey, "InfPath", REG_SZ, inf + '\0');
  }

  void SetUpFolders(const std::string& dir, const std::string& temp) {
    winsim::Machine& m = winsim::machine();
    m.AddFile(dir + "\\INF\\qcser.inf", "x", FILE_ATTRIBUTE_READONLY);
    m.AddFile(temp + "\\setup.log", "x");
  }

  int Run(std::vector<std::string> arguments = {}) {
    arguments.insert(arguments.begin(), winsim::machine().modulePath);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
      argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    return UninstallerMain(static_cast<int>(arguments.size()), argv.data());
  }

  winsim::Machine& m() { return winsim::machine(); }
};

TEST_F(UninstallerFlow, CompleteRunWithPrompt) {
  EXPECT_EQ(Run({"showmessage"}), 0);
  const Lines expected =
      Head(NoMatch() + ShowMessage("showmessage"), "Curretn system is Windows Win7 32\n") + Devices() +
      Lines{kOpenBanner, kDeleteBanner, "=============Start present a prompt: 1427\n====="} +
      Folders({Search(kDir32), Search(kDir32 + "\\INF")}, {Search(kTemp32)});
  EXPECT_EQ(TracedMessages(kTag), expected);
  ASSERT_EQ(m().messageBoxes.size(), 1u);
  EXPECT_EQ(m().messageBoxes[0].owner, nullptr);
  EXPECT_EQ(m().messageBoxes[0].text, "Uninstalling of  the driver is successful !");
  EXPECT_EQ(m().messageBoxes[0].caption, "Uninstall prompt");
  EXPECT_EQ(m().messageBoxes[0].type, static_cast<UINT>(MB_OK));
  EXPECT_FALSE(m().HasKey(kUninstallKey));
  EXPECT_FALSE(m().HasKey(kProductKey));
  EXPECT_TRUE(m().HasKey("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
  EXPECT_FALSE(m().Exists(kDir32));
  EXPECT_FALSE(m().Exists(kTemp32));
  EXPECT_FALSE(m().Exists("C:\\WINDOWS\\inf\\oem3.inf"));
  EXPECT_FALSE(m().Exists("C:\\WINDOWS\\inf\\oem4.inf"));
  EXPECT_TRUE(m().FindDevice("USB\\VID_3A8D&PID_6C31&MI_00\\7&1&0")->removed);
  EXPECT_TRUE(m().FindDevice("USB\\VID_3A8D&PID_6C31&MI_01\\7&1&1")->removed);
  EXPECT_EQ(m().Value(kLayers, "C:\\kit\\Veskot.exe")->data, std::string("RUNASADMIN\0", 11));
  EXPECT_EQ(m().OpenHandles(winsim::Handle::Kind::kKey), 0);
}

TEST_F(UninstallerFlow, CountOfDeletedInfFilesDecidesTheSearch) {
  for (int count = 0; count <= 3; ++count) {
    SetUp();
    m().devices.clear();
    for (int i = 0; i < count; ++i) {
      AddHandset("USB\\VID_3A8D&PID_6C32&MI_0" + std::to_string(i) + "\\1",
                 "USB\\VID_3A8D&PID_6C32&MI_0" + std::to_string(i), "oem" + std::to_string(20 + i) + ".inf",
                 i);
    }
    m().AddFile("C:\\WINDOWS\\inf\\machine.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n");
    EXPECT_EQ(Run(), 0);
    const Lines messages = TracedMessages(kTag);
    int searches = 0;
    for (const std::string& message : messages) {
      searches += message == "Need search..\n" ? 1 : 0;
    }
    EXPECT_EQ(nDeletedInf, static_cast<DWORD>(count));
    EXPECT_EQ(searches, count == 2 ? 0 : 1) << count << " INF files deleted";
    EXPECT_EQ(std::count(m().infOpenCalls.begin(), m().infOpenCalls.end(), "C:\\WINDOWS\\inf\\machine.inf"),
              count == 2 ? 0 : 1);
  }
}

TEST_F(UninstallerFlow, SearchFollowsTheDevicesAndBeforeTheKeys) {
  m().devices.pop_back();
  // Its INF file is another maker's now.
  m().AddFile("C:\\WINDOWS\\inf\\oem4.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n");
  m().AddFile("C:\\WINDOWS\\inf\\oem9.inf",
              "[Version]\r\nSignature=\"$Windows "
              "NT$\"\r\n[Manufacturer]\r\nO=M\r\n[M]\r\nD=I,USB\\VID_3A8D&PID_6C31\r\n");
  EXPECT_EQ(Run(), 0);
  Lines devices = Devices();
  devices.resize(6);
  const Lines expected = Head(NoMatch(), "Curretn system is Windows Win7 32\n") + devices +
                         Lines{"Need search..\n",
                               "---Find file contain our HWID---\n",
                               "File full name: C:\\WINDOWS\\inf\\oem9.inf\n",
                               "Device context: I,USB\\VID_3A8D&PID_6C31\n",
                               kOpenBanner,
                               kDeleteBanner} +
                         Folders({Search(kDir32), Search(kDir32 + "\\INF")}, {Search(kTemp32)});
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists("C:\\WINDOWS\\inf\\oem9.inf"));
  EXPECT_TRUE(m().Exists("C:\\WINDOWS\\inf\\oem4.inf"));
}

TEST_F(UninstallerFlow, SixtyFourBitWindowsTracesTheOtherUninstallerAndUsesX86Folders) {
  m().wow64 = winsim::Wow64::kAnswersTrue;
  m().AddFolder(kDir64 + "\\INF\\64_inf");
  m().AddFolder(kTemp64);
  EXPECT_EQ(Run(), 0);
  const Lines expected = Head(NoMatch(), "Curretn system is Windows Win7 64\n") +
                         Lines{"Start uninstall 64bit driver, line: 1322",
                               "Uninstall full name: [C:\\kit\\Veskot64.exe], line: 1338"} +
                         Devices() + Lines{kOpenBanner, kDeleteBanner} +
                         Folders({Search(kDir64), Search(kDir64 + "\\INF"), Search(kDir64 + "\\INF\\64_inf")},
                                 {Search(kTemp64)});
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists(kDir64));
  EXPECT_FALSE(m().Exists(kTemp64));
  EXPECT_TRUE(m().Exists(kDir32));  // the 32-bit names are not touched there
  EXPECT_TRUE(m().messageBoxes.empty());
}

// Found by the fuzz target uninstaller_paths: a program path cut short by
// its buffer was cut again at its last backslash, and a folder it is not in
// traced as the place of the 64-bit uninstaller.
TEST_F(UninstallerFlow, ProgramPathCutByItsBufferNamesNoUninstallerBesideIt) {
  m().wow64 = winsim::Wow64::kAnswersTrue;
  m().modulePath = "C:\\kit\\" + std::string(300, 'v') + "\\Veskot.exe";
  m().AddFolder(kDir64 + "\\INF\\64_inf");
  m().AddFolder(kTemp64);
  EXPECT_EQ(Run(), 0);
  const Lines expected = Head(NoMatch(), "Curretn system is Windows Win7 64\n") +
                         Lines{"Start uninstall 64bit driver, line: 1322"} + Devices() +
                         Lines{kOpenBanner, kDeleteBanner} +
                         Folders({Search(kDir64), Search(kDir64 + "\\INF"), Search(kDir64 + "\\INF\\64_inf")},
                                 {Search(kTemp64)});
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(m().Value(kLayers, m().modulePath), nullptr);
  EXPECT_FALSE(m().Exists(kDir64));
}

TEST_F(UninstallerFlow, PromptLanguage) {
  const std::pair<LANGID, bool> languages[] = {
      {0x0804, true}, {0x0404, false}, {0x0C04, false}, {0x0409, false}};
  for (const auto& language : languages) {
    SetUp();
    m().uiLanguage = language.first;
    EXPECT_EQ(Run({"showmessage"}), 0);
    ASSERT_EQ(m().messageBoxes.size(), 1u);
    if (language.second) {
      EXPECT_EQ(m().messageBoxes[0].text,
                "\xCA\xD6\xBB\xFA\xC7\xFD\xB6\xAF\xD0\xB6\xD4\xD8\xB3\xC9\xB9\xA6!");
      EXPECT_EQ(m().messageBoxes[0].caption, "\xD0\xB6\xD4\xD8\xCC\xE1\xCA\xBE");
    } else {
      EXPECT_EQ(m().messageBoxes[0].text, "Uninstalling of  the driver is successful !") << language.first;
      EXPECT_EQ(m().messageBoxes[0].caption, "Uninstall prompt");
    }
  }
}

TEST_F(UninstallerFlow, ShowMessageIsFoundAnywhereInAnArgumentButOnlyInSmallLetters) {
  struct Case {
    std::vector<std::string> arguments;
    Lines scan;
    bool shown;
  };
  const Case cases[] = {
      {{"-showmessage"}, NoMatch() + ShowMessage("showmessage"), true},
      {{"/xshowmessagey", "ignored"}, NoMatch() + ShowMessage("showmessagey"), true},
      {{"SHOWMESSAGE", "ShowMessage"}, NoMatch() + NoMatch() + NoMatch(), false},
      {{}, NoMatch(), false},
  };
  for (const Case& c : cases) {
    SetUp();
    EXPECT_EQ(Run(c.arguments), 0);
    const Lines messages = TracedMessages(kTag);
    ASSERT_GE(messages.size(), 2 + c.scan.size());
    EXPECT_EQ(Lines(messages.begin() + 2, messages.begin() + 2 + c.scan.size()), c.scan);
    EXPECT_EQ(m().messageBoxes.size(), c.shown ? 1u : 0u);
  }
}

TEST_F(UninstallerFlow, ProgramPathWithTheWordShowsThePrompt) {
  m().modulePath = "C:\\showmessage\\Veskot.exe";
  EXPECT_EQ(Run(), 0);
  const Lines messages = TracedMessages(kTag);
  ASSERT_GE(messages.size(), 4u);
  EXPECT_EQ(Lines(messages.begin() + 2, messages.begin() + 4), ShowMessage("showmessage\\Veskot.exe"));
  EXPECT_EQ(m().messageBoxes.size(), 1u);
}

TEST_F(UninstallerFlow, SecondRunOnACleanedMachine) {
  EXPECT_EQ(Run({"showmessage"}), 0);
  ClearTrace();
  m().messageBoxes.clear();
  nDeletedInf = 0;
  m().AddFolder("C:\\WINDOWS\\inf");
  EXPECT_EQ(Run({"showmessage"}), 0);
  const Lines expected = Head(NoMatch() + ShowMessage("showmessage"), "Curretn system is Windows Win7 32\n") +
                         Lines{"Need search..\n", "Get file list failed, line: 384\n", kOpenBanner,
                               "=============Start present a prompt: 1440\n====="} +
                         Folders(Missing(kDir32), Missing(kTemp32));
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(m().messageBoxes.size(), 1u);
}

TEST_F(UninstallerFlow, UninstallKeyWithSubkeyEndsTheRunBeforeThePrompt) {
  m().AddKey(std::string(kUninstallKey) + "\\Components");
  EXPECT_EQ(Run({"showmessage"}), 0);
  const Lines expected = Head(NoMatch() + ShowMessage("showmessage"), "Curretn system is Windows Win7 32\n") +
                         Devices() + Lines{kOpenBanner, kDeleteBanner, "Dlete key fail!errorvalue is :5"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m().messageBoxes.empty());
  EXPECT_TRUE(m().HasKey(kUninstallKey));
  EXPECT_TRUE(m().HasKey(kProductKey));
  EXPECT_TRUE(m().Exists(kDir32));
  EXPECT_TRUE(m().Exists(kTemp32));
}

TEST_F(UninstallerFlow, ProductKeyThatCannotBeDeletedIsNeverPrecededBySuccess) {
  m().refusedDelete[kProductKey] = ERROR_ACCESS_DENIED;
  EXPECT_EQ(Run({"showmessage"}), 0);
  const Lines expected = Head(NoMatch() + ShowMessage("showmessage"), "Curretn system is Windows Win7 32\n") +
                         Devices() + Lines{kOpenBanner, kDeleteBanner, "Dlete key fail!errorvalue is :5"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m().messageBoxes.empty());
  EXPECT_FALSE(m().HasKey(kUninstallKey));
  EXPECT_TRUE(m().HasKey(kProductKey));
  EXPECT_TRUE(m().Exists(kDir32));
  EXPECT_TRUE(m().Exists(kTemp32));
}

TEST_F(UninstallerFlow, KeysThatCannotBeOpenedAreNoError) {
  m().refusedOpen[kUninstallKey] = ERROR_ACCESS_DENIED;
  m().keys.erase(kProductKey);
  EXPECT_EQ(Run({"showmessage"}), 0);
  const Lines expected = Head(NoMatch() + ShowMessage("showmessage"), "Curretn system is Windows Win7 32\n") +
                         Devices() + Lines{kOpenBanner, "=============Start present a prompt: 1440\n====="} +
                         Folders({Search(kDir32), Search(kDir32 + "\\INF")}, {Search(kTemp32)});
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m().HasKey(kUninstallKey));
}

TEST_F(UninstallerFlow, NoMemoryInTheSixtyFourBitBranch) {
  for (int failing : {1, 2}) {
    SetUp();
    m().wow64 = winsim::Wow64::kAnswersTrue;
    m().failingHeapAllocations = {failing};
    EXPECT_EQ(Run(), 0);
    const Lines expected = Head(NoMatch(), "Curretn system is Windows Win7 64\n") +
                           Lines{"Start uninstall 64bit driver, line: 1322",
                                 failing == 1 ? "Malloc failed, line: 1326" : "Malloc failed, line: 1334"};
    EXPECT_EQ(TracedMessages(kTag), expected);
    EXPECT_FALSE(m().FindDevice("USB\\VID_3A8D&PID_6C31&MI_00\\7&1&0")->removed);
    EXPECT_TRUE(m().HasKey(kUninstallKey));
    EXPECT_TRUE(m().Exists(kDir32));
    EXPECT_NE(m().Value(kLayers, "C:\\kit\\Veskot.exe"), nullptr);
  }
}

TEST_F(UninstallerFlow, NoMemoryForAFolderPath) {
  // Allocations before the folder paths: four for each of the two deletions
  // of the device step, its two buffers and the two lines of the INF file
  // that show it names the handset.
  const std::pair<int, const char*> cases[] = {
      {9, "Malloc failed, line: 1373"}, {10, "Malloc failed, line: 1379"}, {11, "Malloc failed, line: 1386"}};
  for (const auto& c : cases) {
    SetUp();
    m().failingHeapAllocations = {c.first};
    EXPECT_EQ(Run({"showmessage"}), 0);
    const Lines expected =
        Head(NoMatch() + ShowMessage("showmessage"), "Curretn system is Windows Win7 32\n") + Devices() +
        Lines{c.second};
    EXPECT_EQ(TracedMessages(kTag), expected);
    EXPECT_TRUE(m().FindDevice("USB\\VID_3A8D&PID_6C31&MI_00\\7&1&0")->removed);
    EXPECT_TRUE(m().HasKey(kUninstallKey));
    EXPECT_TRUE(m().messageBoxes.empty());
    EXPECT_TRUE(m().Exists(kDir32));
  }
}

TEST_F(UninstallerFlow, WindowsOutsideTheTableTakesNoSixtyFourBitBranch) {
  m().majorVersion = 6;
  m().minorVersion = 2;
  m().wow64 = winsim::Wow64::kAnswersTrue;
  m().AddFolder(kDir64);
  EXPECT_EQ(Run(), 0);
  const Lines messages = TracedMessages(kTag);
  const Lines head = {"Uninstall Device\n",
                      "Start set vista right, line: 1234",
                      "compare driver version!line:1296,pResult is (null)",
                      "Start PkgGetSysInfo, line: 1314",
                      "OS  version:MajorVersion= 6,MinorVersion= 2\n",
                      "Over PkgGetSysInfo, line: 1316",
                      "Lumora_log0"};
  ASSERT_GE(messages.size(), head.size());
  EXPECT_EQ(Lines(messages.begin(), messages.begin() + head.size()), head);
  EXPECT_FALSE(m().Exists(kDir64));  // the folders follow the WOW64 probe
  EXPECT_TRUE(m().Exists(kDir32));
}

TEST_F(UninstallerFlow, SystemDirectoryThatCannotBeReadFallsBackToDriveC) {
  m().systemDirectoryFails = true;
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(m().Exists(kDir32));
  EXPECT_FALSE(m().Exists(kTemp32));
}

TEST_F(UninstallerFlow, FoldersOnTheSystemDrive) {
  m().systemDirectory = "D:\\WINNT\\system32";
  m().AddFolder("D:\\Program Files\\NORDAL_5120_USB_DRIVER");
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(m().Exists("D:\\Program Files\\NORDAL_5120_USB_DRIVER"));
  EXPECT_TRUE(m().Exists(kDir32));
}

TEST_F(UninstallerFlow, CopyRunFromTheProductFolderEndsNoProcessAndFinishesTheRun) {
  m().modulePath = kDir32 + "\\Veskot.exe";
  m().AddFile(m().modulePath, "MZ").heldBy = m().currentProcessId;
  m().AddProcess(200, "explorer.exe");
  m().AddProcess(201, "HandsetTool.exe");
  EXPECT_EQ(Run(), 0);
  const std::string own = kDir32 + "\\Veskot.exe";
  const Lines expected = Head(NoMatch(), "Curretn system is Windows Win7 32\n") + Devices() +
                         Lines{kOpenBanner, kDeleteBanner} +
                         Folders({Search(kDir32), Search(kDir32 + "\\INF"),
                                  "Delete file failed, try late, file: [" + own + "], line: 1054",
                                  "Buf: Veskot.exe", "Delete file failed, file: [" + own + "], line: 1074"},
                                 {Search(kTemp32)});
  EXPECT_EQ(TracedMessages(kTag), expected);
  for (const winsim::Process& process : m().processes) {
    EXPECT_TRUE(process.running) << process.exeFile;
  }
  EXPECT_TRUE(m().openProcessCalls.empty());
  EXPECT_EQ(m().sleeps, std::vector<DWORD>{200});
  EXPECT_TRUE(m().Exists(m().modulePath));
  EXPECT_FALSE(m().Exists(kDir32 + "\\INF"));
  EXPECT_FALSE(m().Exists(kTemp32));
  EXPECT_FALSE(m().HasKey(kUninstallKey));
}
}  // namespace
