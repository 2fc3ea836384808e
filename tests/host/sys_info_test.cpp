// The uninstaller's classification of Windows, and the shared routines as
// the uninstaller links them.
#include "uninstaller/sys_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/path_compat.h"
#include "tests/host/simulated_paths.h"
#include "tests/host/simulated_trace.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tests/kit_facts/windows_releases.h"
#include "winsim/simulated_windows.h"

namespace {
using veskot::kTag;

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
};

TEST_F(SysInfo, Windows2000IsClassedWithoutTheProbe) {
  EXPECT_EQ(Classify(5, 0, winsim::Wow64::kAnswersTrue), kit::kWindows2000.on64.veskotCode);
  const kit::Messages expected = {veskot::OsVersion(5, 0), kit::kWindows2000.on64.veskotLine};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(winsim::machine().wow64Calls, 0);
}

TEST_F(SysInfo, EachKnownReleaseAndBitness) {
  struct Case {
    const kit::WindowsRelease& release;
    winsim::Wow64 wow64;
  };
  const Case cases[] = {
      {kit::kWindowsXp, winsim::Wow64::kAnswersFalse},    {kit::kWindowsXp64, winsim::Wow64::kAnswersFalse},
      {kit::kWindowsXp64, winsim::Wow64::kAnswersTrue},   {kit::kWindowsXp, winsim::Wow64::kExportMissing},
      {kit::kWindowsVista, winsim::Wow64::kAnswersFalse}, {kit::kWindowsVista, winsim::Wow64::kAnswersTrue},
      {kit::kWindowsVista, winsim::Wow64::kCallFails},    {kit::kWindows7, winsim::Wow64::kAnswersFalse},
      {kit::kWindows7, winsim::Wow64::kAnswersTrue},      {kit::kWindows7, winsim::Wow64::kCallFails},
  };
  for (const Case& c : cases) {
    SetUp();
    const kit::Classification& as = c.release.On(c.wow64 == winsim::Wow64::kAnswersTrue);
    EXPECT_EQ(Classify(c.release.major, c.release.minor, c.wow64), as.veskotCode) << as.veskotLine;
    const kit::Messages expected = {veskot::OsVersion(c.release.major, c.release.minor), as.veskotLine};
    EXPECT_EQ(TracedMessages(kTag), expected);
    EXPECT_EQ(winsim::machine().wow64Calls, c.wow64 == winsim::Wow64::kExportMissing ? 0 : 1);
  }
}

TEST_F(SysInfo, UnknownReleasesLeaveTheCodeAlone) {
  const DWORD versions[][2] = {{kit::kWindows8.major, kit::kWindows8.minor}, {6, 3}, {10, 0}, {5, 3}, {4, 0}};
  for (const auto& version : versions) {
    SetUp();
    EXPECT_EQ(Classify(version[0], version[1], winsim::Wow64::kAnswersTrue), 99);
    EXPECT_EQ(TracedMessages(kTag), kit::Messages{veskot::OsVersion(version[0], version[1])});
    EXPECT_EQ(winsim::machine().wow64Calls, 0);
  }
}

TEST_F(SysInfo, VersionThatCannotBeRead) {
  winsim::machine().versionFails = true;
  int code = 99;
  EXPECT_EQ(PkgGetSysInfo(&code), 0);
  EXPECT_EQ(code, kit::kWindows2000.on32.veskotCode);
  EXPECT_EQ(TracedMessages(kTag), kit::Messages{veskot::kCannotGetVersion});
}

TEST_F(SysInfo, SharedRoutinesCarryTheUninstallersLineNumbers) {
  EXPECT_EQ(Transf2Path(nullptr), 0);
  winsim::machine().refusedSetValue[sim::kLayersKey] = ERROR_ACCESS_DENIED;
  EXPECT_EQ(SetVistaRight(), 0);
  const kit::Messages expected = {veskot::kTransf2PathNull, veskot::kStartSetVistaRight,
                                  veskot::SetLayerFailed(0)};
  EXPECT_EQ(TracedMessages(kTag), expected);
}
}  // namespace
