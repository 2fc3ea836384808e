// The installer's whole run against the simulated machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/quorlin_fixture.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace quorlin;

const char* const kNull = kit::kNullShown;
const char* const kWindows7Line = kit::kWindows7.on32.quorlinLine;

TEST_F(InstallerFlow, Windows7ThirtyTwoBitStagesTheFourFiles) {
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kNull),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  StoredVersion("V1.0.0"),
                                  kCompareVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kWindows7Line,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[0]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[1]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[2]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[3]),
                                  kPkgCopyInfSuccessful};
  EXPECT_EQ(TracedMessages(kTag), expected);
  winsim::Machine& m = winsim::machine();
  ASSERT_EQ(m.copyOemInfCalls.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(m.copyOemInfCalls[i].sourceInfFileName, kPackageInfs32[i]);
    EXPECT_EQ(m.copyOemInfCalls[i].mediaLocation, sim::kPackageDir32);
  }
  EXPECT_EQ(m.Value(sim::kLayersKey, kQuorlinPath)->data, sim::kRunAsAdminData);
  EXPECT_TRUE(m.FindProcess(kAutorunId)->terminated);
  EXPECT_EQ(m.FindProcess(kAutorunId)->exitCode, 0u);
  EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kKey), 0);
  EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kProcess), 0);
  // The installer writes nothing else.
  EXPECT_EQ(m.Value(sim::kProductKey, kit::kVersionValue)->data, std::string("V1.0.0\0", 7));
}

struct Row {
  const kit::WindowsRelease* release;
  winsim::Wow64 wow64;
  int wow64Calls;
};

// The row's version and the line Quorlin traces for it.
const kit::Classification& As(const Row& row) {
  return row.release->On(row.wow64 == winsim::Wow64::kAnswersTrue);
}

void PrintTo(const Row& row, std::ostream* out) {
  *out << row.release->major << "." << row.release->minor << " " << As(row).quorlinLine;
}

class Classification : public InstallerFlow, public ::testing::WithParamInterface<Row> {};

TEST_P(Classification, ChoosesTheLineAndFolder) {
  const Row& row = GetParam();
  const kit::Classification& as = As(row);
  const std::string folder =
      as.edition == kit::PackageEdition::k64Bit ? sim::kPackageDir64 : sim::kPackageDir32;
  winsim::Machine& m = winsim::machine();
  m.majorVersion = row.release->major;
  m.minorVersion = row.release->minor;
  m.wow64 = row.wow64;
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(row.release->major, row.release->minor),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kNull),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  StoredVersion("V1.0.0"),
                                  kCompareVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  as.quorlinLine,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\" + kit::kPackageInfs[0]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\" + kit::kPackageInfs[1]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\" + kit::kPackageInfs[2]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\" + kit::kPackageInfs[3]),
                                  kPkgCopyInfSuccessful};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(m.copyOemInfCalls.size(), 4u);
  EXPECT_EQ(m.wow64Calls, row.wow64Calls);
}

INSTANTIATE_TEST_SUITE_P(Rows, Classification,
                         ::testing::Values(Row{&kit::kWindows2000, winsim::Wow64::kAnswersTrue, 0},
                                           Row{&kit::kWindowsXp, winsim::Wow64::kAnswersFalse, 1},
                                           Row{&kit::kWindowsXp64, winsim::Wow64::kAnswersFalse, 1},
                                           Row{&kit::kWindowsXp64, winsim::Wow64::kAnswersTrue, 1},
                                           Row{&kit::kWindowsXp, winsim::Wow64::kExportMissing, 0},
                                           Row{&kit::kWindowsVista, winsim::Wow64::kAnswersFalse, 1},
                                           Row{&kit::kWindowsVista, winsim::Wow64::kAnswersTrue, 1},
                                           Row{&kit::kWindowsVista, winsim::Wow64::kCallFails, 1},
                                           Row{&kit::kWindows7, winsim::Wow64::kAnswersTrue, 1},
                                           Row{&kit::kWindows7, winsim::Wow64::kCallFails, 1}),
                         [](const ::testing::TestParamInfo<Row>& info) {
                           return "Windows" + std::to_string(info.param.release->major) + "_" +
                                  std::to_string(info.param.release->minor) + "_Wow64Case" +
                                  std::to_string(static_cast<int>(info.param.wow64)) + "_" +
                                  std::to_string(info.index);
                         });

TEST_F(InstallerFlow, VersionsOutsideTheTableStageNothing) {
  const DWORD versions[][2] = {{kit::kWindows8.major, kit::kWindows8.minor}, {6, 3}, {10, 0}, {5, 3}, {4, 0}};
  for (const auto& version : versions) {
    SetUp();
    winsim::Machine& m = winsim::machine();
    m.majorVersion = version[0];
    m.minorVersion = version[1];
    m.wow64 = winsim::Wow64::kAnswersTrue;
    EXPECT_EQ(Run(), 1);
    const kit::Messages expected = {kStartSetVistaRight,
                                    kSetupDevice,
                                    ArgumentCount(1),
                                    OsVersion(version[0], version[1]),
                                    kStartCloseAutorun,
                                    kCloseAutorun,
                                    ArgumentScan(kNull),
                                    kOpenProductKey,
                                    kProductKeyOpened,
                                    StoredVersion("V1.0.0"),
                                    kCompareVersion,
                                    SystemPath("C:\\WINDOWS\\system32"),
                                    kLumlog1};
    EXPECT_EQ(TracedMessages(kTag), expected) << version[0] << "." << version[1];
    EXPECT_TRUE(m.copyOemInfCalls.empty());
    EXPECT_EQ(m.wow64Calls, 0);
  }
}

TEST_F(InstallerFlow, WithoutTheVersionNothingElseHappens) {
  winsim::Machine& m = winsim::machine();
  m.versionFails = true;
  EXPECT_EQ(Run({"a"}), 1);
  const kit::Messages expected = {kStartSetVistaRight, kSetupDevice, ArgumentCount(2), kCannotGetVersion};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m.FindProcess(kAutorunId)->running);
  EXPECT_TRUE(m.copyOemInfCalls.empty());
  EXPECT_NE(m.Value(sim::kLayersKey, kQuorlinPath), nullptr);
}

TEST_F(InstallerFlow, ArgumentScanStopsAtInteractive) {
  EXPECT_EQ(Run({"a", "xinteractivex", "b"}), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(4),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kNull),
                                  ArgumentScan(kNull),
                                  ArgumentScan("interactivex"),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  StoredVersion("V1.0.0"),
                                  kCompareVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kWindows7Line,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[0]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[1]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[2]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[3]),
                                  kPkgCopyInfSuccessful};
  EXPECT_EQ(TracedMessages(kTag), expected);
}

TEST_F(InstallerFlow, InteractiveIsCaseSensitiveAndActionChangesNothing) {
  EXPECT_EQ(Run({"/Action", "INTERACTIVE"}), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(3),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kNull),
                                  ArgumentScan(kNull),
                                  ArgumentScan(kNull),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  StoredVersion("V1.0.0"),
                                  kCompareVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kWindows7Line,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[0]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[1]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[2]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[3]),
                                  kPkgCopyInfSuccessful};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(winsim::machine().copyOemInfCalls.size(), 4u);
}

TEST_F(InstallerFlow, NoAutorunRunning) {
  winsim::machine().processes.pop_back();
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kNoAutorun,
                                  ArgumentScan(kNull),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  StoredVersion("V1.0.0"),
                                  kCompareVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kWindows7Line,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[0]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[1]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[2]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[3]),
                                  kPkgCopyInfSuccessful};
  EXPECT_EQ(TracedMessages(kTag), expected);
}

}  // namespace
