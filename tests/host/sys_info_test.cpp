// The uninstaller's classification of Windows, and the shared routines as
// the uninstaller links them.
#include "uninstaller/sys_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/path_compat.h"
#include "tests/host/trace_log.h"
#include "winsim/machine.h"

namespace {
const char kTag[] = "..Veskot - Zenor";

class SysInfo : public ::testing::Test {
 protected:
  void SetUp() override { winsim::Reset(); }

  // Runs the classification on major.minor and returns the OS code, which
  // starts out as 99.
  int Classify(DWORD major, DWORD minor, winsim::Wow64 wow64, int expectedResult = 1) {
    winsim::Machine& m = winsim::machine();
    m.majorVersion = major;
    m.minorVersion = minor;
    m.wow64 = wow64;
    int code = 99;
    EXPECT_EQ(PkgGetSysInfo(&code), expectedResult);
    return code;
  }

  std::vector<std::string> Expected(DWORD major, DWORD minor, const char* line) {
    std::vector<std::string> lines = {"OS  version:MajorVersion= " + std::to_string(major) +
                                      ",MinorVersion= " + std::to_string(minor) + "\n"};
    if (line != nullptr) {
      lines.push_back(line);
    }
    return lines;
  }
};

TEST_F(SysInfo, Windows2000IsClassedWithoutTheProbe) {
  EXPECT_EQ(Classify(5, 0, winsim::Wow64::kAnswersTrue), 0);
  EXPECT_EQ(TracedMessages(kTag), Expected(5, 0, "Curretn system is Windows 2K\n"));
  EXPECT_EQ(winsim::machine().wow64Calls, 0);
}

TEST_F(SysInfo, EachKnownReleaseAndBitness) {
  struct Case {
    DWORD major, minor;
    winsim::Wow64 wow64;
    int code;
    const char* line;
  };
  const Case cases[] = {
      {5, 1, winsim::Wow64::kAnswersFalse, 1, "Curretn system is Windows XP32 Bit \n"},
      {5, 2, winsim::Wow64::kAnswersFalse, 1, "Curretn system is Windows XP32 Bit \n"},
      {5, 2, winsim::Wow64::kAnswersTrue, 2, "Curretn system is Windows XP 64\n"},
      {5, 1, winsim::Wow64::kExportMissing, 1, "Curretn system is Windows XP32 Bit \n"},
      {6, 0, winsim::Wow64::kAnswersFalse, 3, "Curretn system is Windows Vista32\n"},
      {6, 0, winsim::Wow64::kAnswersTrue, 4, "Curretn system is Windows Vista64\n"},
      {6, 0, winsim::Wow64::kCallFails, 3, "Curretn system is Windows Vista32\n"},
      {6, 1, winsim::Wow64::kAnswersFalse, 5, "Curretn system is Windows Win7 32\n"},
      {6, 1, winsim::Wow64::kAnswersTrue, 6, "Curretn system is Windows Win7 64\n"},
      {6, 1, winsim::Wow64::kCallFails, 5, "Curretn system is Windows Win7 32\n"},
  };
  for (const Case& c : cases) {
    SetUp();
    EXPECT_EQ(Classify(c.major, c.minor, c.wow64), c.code) << c.line;
    EXPECT_EQ(TracedMessages(kTag), Expected(c.major, c.minor, c.line));
    EXPECT_EQ(winsim::machine().wow64Calls, c.wow64 == winsim::Wow64::kExportMissing ? 0 : 1);
  }
}

TEST_F(SysInfo, UnknownReleasesLeaveTheCodeAlone) {
  const DWORD versions[][2] = {{6, 2}, {6, 3}, {10, 0}, {5, 3}, {4, 0}};
  for (const auto& version : versions) {
    SetUp();
    EXPECT_EQ(Classify(version[0], version[1], winsim::Wow64::kAnswersTrue), 99);
    EXPECT_EQ(TracedMessages(kTag), Expected(version[0], version[1], nullptr));
    EXPECT_EQ(winsim::machine().wow64Calls, 0);
  }
}

TEST_F(SysInfo, VersionThatCannotBeRead) {
  winsim::machine().versionFails = true;
  int code = 99;
  EXPECT_EQ(PkgGetSysInfo(&code), 0);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(TracedMessages(kTag), std::vector<std::string>{"Can't get system version, line: 1133\n"});
}

TEST_F(SysInfo, SharedRoutinesCarryTheUninstallersLineNumbers) {
  EXPECT_EQ(Transf2Path(nullptr), 0);
  winsim::machine()
      .refusedSetValue["HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers"] =
      ERROR_ACCESS_DENIED;
  EXPECT_EQ(SetVistaRight(), 0);
  const std::vector<std::string> expected = {"Transf2Path is null, line: 1110",
                                             "Start set vista right, line: 1234",
                                             "Set registry value failed, error code 0x:0"};
  EXPECT_EQ(TracedMessages(kTag), expected);
}
}  // namespace
