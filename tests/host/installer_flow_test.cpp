// The installer's whole run against the simulated machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/installer_main.h"
#include "tests/host/trace_log.h"
#include "winsim/machine.h"

namespace {
const char kTag[] = "..Quorlin32 - Zenor";
const char kProductKey[] = "HKLM\\SOFTWARE\\Orvane_M4730_Driver";
const char kLayers[] = "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
const char kFolder32[] = "C:\\Program Files\\NORDAL_5120_USB_DRIVER\\INF";
const char kFolder64[] = "C:\\Program Files (x86)\\NORDAL_5120_USB_DRIVER\\INF\\64_inf";
const char* const kInfFiles[] = {"android_usb.inf", "qcmdm.inf", "qcser.inf", "qcnet.inf"};

typedef std::vector<std::string> Lines;

Lines Staging(const std::string& folder) {
  Lines lines;
  for (const char* file : kInfFiles) {
    lines.push_back("\r\n =====>>>  Enter PkgCopyInf");
    lines.push_back("Full name: " + folder + "\\" + file + "\n");
    lines.push_back("\r\n =====>>>   PkgCopyInf Successful");
  }
  return lines;
}

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class InstallerFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::Reset();
    winsim::Machine& m = winsim::machine();
    m.modulePath = "C:\\kit\\Quorlin.exe";
    m.processes.front().exeFile = "Quorlin.exe";
    m.AddProcess(8, "explorer.exe");
    m.AddProcess(300, "NordalAutorun.exe");
    m.SetValue(kProductKey, "version", REG_SZ, std::string("V1.0.0\0", 7));
  }

  int Run(std::vector<std::string> arguments = {}) {
    arguments.insert(arguments.begin(), "C:\\kit\\Quorlin.exe");
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
      argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    return InstallerMain(static_cast<int>(arguments.size()), argv.data());
  }

  static Lines Head(int argc, int major, int minor) {
    return {"Start set vista right, line: 1569",
            "Setup Device\n",
            "argc = [" + std::to_string(argc) + "]\n",
            "OS  version:MajorVersion= " + std::to_string(major) + ",MinorVersion= " + std::to_string(minor) +
                "\n",
            "Start close autorun, line: 445",
            "Close autorun, line: 463"};
  }

  static Lines VersionFound() {
    return {"RegOpenKeyEx Operation .as follow:line:1694",
            "RegOpenKeyEx Operation success.as follow RegQueryValueEx:line:1708",
            "RegQueryValueEx Operation success.as follow :line:1719,pValue is V1.0.0",
            "Start comparel driver vertion\n"};
  }

  static Lines SystemPath() { return {"System path: C:\\WINDOWS\\system32", "Lumlog1\n"}; }

  static Lines NoArgumentMatch() { return {"compare driver version!line:1675,pResult is (null)"}; }
};

TEST_F(InstallerFlow, Windows7ThirtyTwoBitStagesTheFourFiles) {
  EXPECT_EQ(Run(), 1);
  const Lines expected = Head(1, 6, 1) + NoArgumentMatch() + VersionFound() + SystemPath() +
                         Lines{"Setup device for Wind7 32BIT\n"} + Staging(kFolder32);
  EXPECT_EQ(TracedMessages(kTag), expected);
  winsim::Machine& m = winsim::machine();
  ASSERT_EQ(m.copyOemInfCalls.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(m.copyOemInfCalls[i].sourceInfFileName, std::string(kFolder32) + "\\" + kInfFiles[i]);
    EXPECT_EQ(m.copyOemInfCalls[i].mediaLocation, kFolder32);
  }
  EXPECT_EQ(m.Value(kLayers, "C:\\kit\\Quorlin.exe")->data, std::string("RUNASADMIN\0", 11));
  EXPECT_TRUE(m.FindProcess(300)->terminated);
  EXPECT_EQ(m.FindProcess(300)->exitCode, 0u);
  EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kKey), 0);
  EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kProcess), 0);
  // The installer writes nothing else.
  EXPECT_EQ(m.Value(kProductKey, "version")->data, std::string("V1.0.0\0", 7));
}

struct Row {
  DWORD major;
  DWORD minor;
  winsim::Wow64 wow64;
  const char* line;
  const char* folder;
  int wow64Calls;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.major << "." << row.minor << " " << row.line; }

class Classification : public InstallerFlow, public ::testing::WithParamInterface<Row> {};

TEST_P(Classification, ChoosesTheLineAndFolder) {
  const Row& row = GetParam();
  winsim::Machine& m = winsim::machine();
  m.majorVersion = row.major;
  m.minorVersion = row.minor;
  m.wow64 = row.wow64;
  EXPECT_EQ(Run(), 1);
  const Lines expected = Head(1, row.major, row.minor) + NoArgumentMatch() + VersionFound() + SystemPath() +
                         Lines{row.line} + Staging(row.folder);
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(m.copyOemInfCalls.size(), 4u);
  EXPECT_EQ(m.wow64Calls, row.wow64Calls);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Classification,
    ::testing::Values(
        Row{5, 0, winsim::Wow64::kAnswersTrue, "Setup device for Windows 2K\n", kFolder32, 0},
        Row{5, 1, winsim::Wow64::kAnswersFalse, "Setup device for Windows XP 32 Bit \n", kFolder32, 1},
        Row{5, 2, winsim::Wow64::kAnswersFalse, "Setup device for Windows XP 32 Bit \n", kFolder32, 1},
        Row{5, 2, winsim::Wow64::kAnswersTrue, "Setup device for Windows XP 64 Bit\n", kFolder64, 1},
        Row{5, 1, winsim::Wow64::kExportMissing, "Setup device for Windows XP 32 Bit \n", kFolder32, 0},
        Row{6, 0, winsim::Wow64::kAnswersFalse, "Setup device for Windows Vista32\n", kFolder32, 1},
        Row{6, 0, winsim::Wow64::kAnswersTrue, "Setup device for Windows Vista64\n", kFolder64, 1},
        Row{6, 0, winsim::Wow64::kCallFails, "Setup device for Windows Vista32\n", kFolder32, 1},
        Row{6, 1, winsim::Wow64::kAnswersTrue, "Setup device for Wind7 64BIT\n", kFolder64, 1},
        Row{6, 1, winsim::Wow64::kCallFails, "Setup device for Wind7 32BIT\n", kFolder32, 1}),
    [](const ::testing::TestParamInfo<Row>& info) {
      return "Windows" + std::to_string(info.param.major) + "_" + std::to_string(info.param.minor) +
             "_Wow64Case" + std::to_string(static_cast<int>(info.param.wow64)) + "_" +
             std::to_string(info.index);
    });

TEST_F(InstallerFlow, VersionsOutsideTheTableStageNothing) {
  const DWORD versions[][2] = {{6, 2}, {6, 3}, {10, 0}, {5, 3}, {4, 0}};
  for (const auto& version : versions) {
    SetUp();
    winsim::Machine& m = winsim::machine();
    m.majorVersion = version[0];
    m.minorVersion = version[1];
    m.wow64 = winsim::Wow64::kAnswersTrue;
    EXPECT_EQ(Run(), 1);
    const Lines expected =
        Head(1, version[0], version[1]) + NoArgumentMatch() + VersionFound() + SystemPath();
    EXPECT_EQ(TracedMessages(kTag), expected) << version[0] << "." << version[1];
    EXPECT_TRUE(m.copyOemInfCalls.empty());
    EXPECT_EQ(m.wow64Calls, 0);
  }
}

TEST_F(InstallerFlow, WithoutTheVersionNothingElseHappens) {
  winsim::Machine& m = winsim::machine();
  m.versionFails = true;
  EXPECT_EQ(Run({"a"}), 1);
  const Lines expected = {"Start set vista right, line: 1569", "Setup Device\n", "argc = [2]\n",
                          "Can't get system version\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m.FindProcess(300)->running);
  EXPECT_TRUE(m.copyOemInfCalls.empty());
  EXPECT_NE(m.Value(kLayers, "C:\\kit\\Quorlin.exe"), nullptr);
}

TEST_F(InstallerFlow, ArgumentScanStopsAtInteractive) {
  EXPECT_EQ(Run({"a", "xinteractivex", "b"}), 1);
  const Lines expected = Head(4, 6, 1) +
                         Lines{"compare driver version!line:1675,pResult is (null)",
                               "compare driver version!line:1675,pResult is (null)",
                               "compare driver version!line:1675,pResult is interactivex"} +
                         VersionFound() + SystemPath() + Lines{"Setup device for Wind7 32BIT\n"} +
                         Staging(kFolder32);
  EXPECT_EQ(TracedMessages(kTag), expected);
}

TEST_F(InstallerFlow, InteractiveIsCaseSensitiveAndActionChangesNothing) {
  EXPECT_EQ(Run({"/Action", "INTERACTIVE"}), 1);
  const Lines expected = Head(3, 6, 1) + NoArgumentMatch() + NoArgumentMatch() + NoArgumentMatch() +
                         VersionFound() + SystemPath() + Lines{"Setup device for Wind7 32BIT\n"} +
                         Staging(kFolder32);
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(winsim::machine().copyOemInfCalls.size(), 4u);
}

TEST_F(InstallerFlow, NoAutorunRunning) {
  winsim::machine().processes.pop_back();
  EXPECT_EQ(Run(), 1);
  Lines expected = Head(1, 6, 1);
  expected.back() = "Canot find autorun, line: 467";
  expected = expected + NoArgumentMatch() + VersionFound() + SystemPath() +
             Lines{"Setup device for Wind7 32BIT\n"} + Staging(kFolder32);
  EXPECT_EQ(TracedMessages(kTag), expected);
}

// What the stored-version check traces between the argument scan and the
// system path, for each state of the product key.
class StoredVersion : public InstallerFlow {
 protected:
  Lines CheckLines() {
    EXPECT_EQ(Run(), 1);
    const Lines all = TracedMessages(kTag);
    const Lines head = Head(1, 6, 1) + NoArgumentMatch();
    const Lines tail = SystemPath() + Lines{"Setup device for Wind7 32BIT\n"} + Staging(kFolder32);
    EXPECT_GE(all.size(), head.size() + tail.size());
    if (all.size() < head.size() + tail.size()) {
      return all;
    }
    EXPECT_EQ(Lines(all.begin(), all.begin() + head.size()), head);
    EXPECT_EQ(Lines(all.end() - tail.size(), all.end()), tail);
    EXPECT_EQ(winsim::machine().OpenHandles(winsim::Handle::Kind::kKey), 0);
    EXPECT_EQ(winsim::machine().copyOemInfCalls.size(), 4u);
    return Lines(all.begin() + head.size(), all.end() - tail.size());
  }
};

TEST_F(StoredVersion, ProductKeyAbsent) {
  winsim::Machine& m = winsim::machine();
  m.keys.erase(kProductKey);
  m.lastError = 0x7e;
  const Lines expected = {"RegOpenKeyEx Operation .as follow:line:1694",
                          "Open registry for set driver ver failed, error code 0x:7e",
                          "dwErrorCode: [2], hDriverVer: [0]", "Start comparel driver vertion\n",
                          "You had not install driver"};
  EXPECT_EQ(CheckLines(), expected);
}

TEST_F(StoredVersion, ProductKeyRefused) {
  winsim::machine().refusedOpen[kProductKey] = ERROR_ACCESS_DENIED;
  const Lines expected = {"RegOpenKeyEx Operation .as follow:line:1694",
                          "Open registry for set driver ver failed, error code 0x:0",
                          "dwErrorCode: [5], hDriverVer: [0]", "Start comparel driver vertion\n",
                          "You had not install driver"};
  EXPECT_EQ(CheckLines(), expected);
}

TEST_F(StoredVersion, ValueAbsent) {
  winsim::Machine& m = winsim::machine();
  m.keys[kProductKey].values.clear();
  m.lastError = 0x12;
  const Lines expected = {"RegOpenKeyEx Operation .as follow:line:1694",
                          "RegOpenKeyEx Operation success.as follow RegQueryValueEx:line:1708",
                          "RegQueryValue failed, error code 0x:12",
                          "RegQueryValueEx Operation success.as follow :line:1719,pValue is ",
                          "Start comparel driver vertion\n",
                          "You had not install driver"};
  EXPECT_EQ(CheckLines(), expected);
}

TEST_F(StoredVersion, EmptyValueCountsAsNone) {
  winsim::machine().SetValue(kProductKey, "version", REG_SZ, std::string("\0", 1));
  const Lines expected = {"RegOpenKeyEx Operation .as follow:line:1694",
                          "RegOpenKeyEx Operation success.as follow RegQueryValueEx:line:1708",
                          "RegQueryValueEx Operation success.as follow :line:1719,pValue is ",
                          "Start comparel driver vertion\n", "You had not install driver"};
  EXPECT_EQ(CheckLines(), expected);
}

TEST_F(StoredVersion, ValueLongerThanTheBufferFails) {
  winsim::machine().SetValue(kProductKey, "version", REG_SZ, std::string(61, 'v') + '\0');
  const Lines expected = {"RegOpenKeyEx Operation .as follow:line:1694",
                          "RegOpenKeyEx Operation success.as follow RegQueryValueEx:line:1708",
                          "RegQueryValue failed, error code 0x:0",
                          "RegQueryValueEx Operation success.as follow :line:1719,pValue is ",
                          "Start comparel driver vertion\n",
                          "You had not install driver"};
  EXPECT_EQ(CheckLines(), expected);
}

TEST_F(StoredVersion, ValueFillingTheBufferIsNeverReadPastIt) {
  // 60 bytes without a terminator: the last one gives way to it.
  winsim::machine().SetValue(kProductKey, "version", REG_SZ, std::string(60, 'v'));
  const Lines expected = {
      "RegOpenKeyEx Operation .as follow:line:1694",
      "RegOpenKeyEx Operation success.as follow RegQueryValueEx:line:1708",
      "RegQueryValueEx Operation success.as follow :line:1719,pValue is " + std::string(59, 'v'),
      "Start comparel driver vertion\n"};
  EXPECT_EQ(CheckLines(), expected);
}

TEST_F(StoredVersion, ValueOfFiftyNineCharactersWithTerminatorIsWhole) {
  winsim::machine().SetValue(kProductKey, "version", REG_SZ, std::string(59, 'w') + '\0');
  const Lines expected = {
      "RegOpenKeyEx Operation .as follow:line:1694",
      "RegOpenKeyEx Operation success.as follow RegQueryValueEx:line:1708",
      "RegQueryValueEx Operation success.as follow :line:1719,pValue is " + std::string(59, 'w'),
      "Start comparel driver vertion\n"};
  EXPECT_EQ(CheckLines(), expected);
}

TEST_F(StoredVersion, ShortValueWithoutTerminator) {
  winsim::machine().SetValue(kProductKey, "version", REG_SZ, "V2.1");
  const Lines expected = {"RegOpenKeyEx Operation .as follow:line:1694",
                          "RegOpenKeyEx Operation success.as follow RegQueryValueEx:line:1708",
                          "RegQueryValueEx Operation success.as follow :line:1719,pValue is V2.1",
                          "Start comparel driver vertion\n"};
  EXPECT_EQ(CheckLines(), expected);
}

TEST_F(InstallerFlow, SystemDirectoryFailureEndsTheRun) {
  winsim::machine().systemDirectoryFails = true;
  EXPECT_EQ(Run(), 1);
  const Lines expected =
      Head(1, 6, 1) + NoArgumentMatch() + VersionFound() + Lines{"Get system dir failed!\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(winsim::machine().copyOemInfCalls.empty());
}

TEST_F(InstallerFlow, SystemDirectoryTooLongForTheBufferEndsTheRun) {
  winsim::machine().systemDirectory = "C:\\" + std::string(300, 's');
  EXPECT_EQ(Run(), 1);
  const Lines expected =
      Head(1, 6, 1) + NoArgumentMatch() + VersionFound() + Lines{"Get system dir failed!\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(winsim::machine().copyOemInfCalls.empty());
}

TEST_F(InstallerFlow, SystemOnAnotherDriveStagesFromThatDrive) {
  winsim::machine().systemDirectory = "D:\\WINNT\\system32";
  EXPECT_EQ(Run(), 1);
  ASSERT_EQ(winsim::machine().copyOemInfCalls.size(), 4u);
  EXPECT_EQ(winsim::machine().copyOemInfCalls[3].sourceInfFileName,
            "D:\\Program Files\\NORDAL_5120_USB_DRIVER\\INF\\qcnet.inf");
}

TEST_F(InstallerFlow, NoVersionBufferSkipsOnlyTheCheck) {
  winsim::machine().failingHeapAllocations = {1};
  EXPECT_EQ(Run(), 1);
  const Lines expected = Head(1, 6, 1) + NoArgumentMatch() + Lines{"Malloc failed!\n"} + SystemPath() +
                         Lines{"Setup device for Wind7 32BIT\n"} + Staging(kFolder32);
  EXPECT_EQ(TracedMessages(kTag), expected);
}

TEST_F(InstallerFlow, NoSystemDirectoryBufferEndsTheRun) {
  winsim::machine().failingHeapAllocations = {2};
  EXPECT_EQ(Run(), 1);
  const Lines expected =
      Head(1, 6, 1) + NoArgumentMatch() + VersionFound() + Lines{"Malloc for system dir failed!\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(winsim::machine().copyOemInfCalls.empty());
}

TEST_F(InstallerFlow, NoFolderBufferEndsTheRun) {
  winsim::machine().failingHeapAllocations = {3};
  EXPECT_EQ(Run(), 1);
  const Lines expected =
      Head(1, 6, 1) + NoArgumentMatch() + VersionFound() + SystemPath() + Lines{"Malloc failed!\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(winsim::machine().copyOemInfCalls.empty());
}

TEST_F(InstallerFlow, NoBufferForOneFullNameSkipsOnlyThatFile) {
  winsim::machine().failingHeapAllocations = {5};  // the second file's name
  EXPECT_EQ(Run(), 1);
  Lines staging = Staging(kFolder32);
  staging.erase(staging.begin() + 4, staging.begin() + 6);
  staging.insert(staging.begin() + 4, "Malloc for pFullName failed!\n");
  const Lines expected = Head(1, 6, 1) + NoArgumentMatch() + VersionFound() + SystemPath() +
                         Lines{"Setup device for Wind7 32BIT\n"} + staging;
  EXPECT_EQ(TracedMessages(kTag), expected);
  ASSERT_EQ(winsim::machine().copyOemInfCalls.size(), 3u);
  EXPECT_EQ(winsim::machine().copyOemInfCalls[1].sourceInfFileName, std::string(kFolder32) + "\\qcser.inf");
}

TEST_F(InstallerFlow, RefusedFilesDoNotStopTheOthers) {
  winsim::Machine& m = winsim::machine();
  m.refusedInfs[std::string(kFolder32) + "\\android_usb.inf"] = 0xE000022F;
  m.refusedInfs[std::string(kFolder32) + "\\qcser.inf"] = ERROR_ACCESS_DENIED;
  EXPECT_EQ(Run(), 1);
  Lines staging = Staging(kFolder32);
  staging.insert(staging.begin() + 8, "SetupCopyOEMInf failed, error code: 0x5\n");
  staging.insert(staging.begin() + 2, "SetupCopyOEMInf failed, error code: 0xe000022f\n");
  const Lines expected = Head(1, 6, 1) + NoArgumentMatch() + VersionFound() + SystemPath() +
                         Lines{"Setup device for Wind7 32BIT\n"} + staging;
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(m.copyOemInfCalls.size(), 4u);
}
}  // namespace
