// End-to-end tests of Veskot.exe: the Windows release and the kind of
// Windows decide the classification line, the 64-bit branch and the
// folders. Each test selects the release Wine reports, lays out the
// product's folders, runs the real uninstaller under the debugger and
// checks its whole debugger output.
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/veskot_device_walk.h"
#include "tests/e2e/veskot_fixture.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tests/kit_facts/windows_releases.h"
#include "tests/wine/capture.h"

namespace e2e {
namespace {

// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;
using namespace wine;
using kit::kNullShown;
using kit::Traced;

// The Windows release and the kind of machine decide the classification
// line, the 64-bit branch and the folder names. The product's folders, no
// keys, no device instances of the test's own.
class Classification : public VeskotScenario {
 protected:
  void CheckRun(const Messages& expected) {
    EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(veskotPath_, {}).strings));
    ExpectFoldersGone();
  }
};

TEST_F(Classification, Windows2000HasNo64BitBranch) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows2000));
  if (IsSkipped()) {
    return;
  }
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const Messages expected = Join(
      {{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo, OsVersion(5, 0),
        OnThisPrefix(kit::kWindows2000).veskotLine, kOverPkgGetSysInfo},
       DeviceWalk({}),
       {kNeedSearch, kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
        SearchFolder(productFolder_ + "\\docs"), SearchFolder(productFolder_ + "\\docs\\empty"),
        SearchFolder(productFolder_ + kit::kInfFolder32), SearchFolder(productFolder_ + kit::kInfFolder64),
        SearchFolder(productFolder_ + "\\tools"), kOverProductFolder, kStartTempFolder,
        SearchFolder(tempFolder_), SearchFolder(tempFolder_ + "\\cache"),
        SearchFolder(tempFolder_ + "\\cache\\a"), SearchFolder(tempFolder_ + "\\cache\\a\\b"),
        SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"), kOverTempFolder}});

  CheckRun(expected);
}

TEST_F(Classification, WindowsXp) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindowsXp));
  if (IsSkipped()) {
    return;
  }
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const Messages expected = Join(
      {{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo, OsVersion(5, 1),
        OnThisPrefix(kit::kWindowsXp).veskotLine, kOverPkgGetSysInfo},
       Branch64(veskotPath_),
       DeviceWalk({}),
       {kNeedSearch, kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
        SearchFolder(productFolder_ + "\\docs"), SearchFolder(productFolder_ + "\\docs\\empty"),
        SearchFolder(productFolder_ + kit::kInfFolder32), SearchFolder(productFolder_ + kit::kInfFolder64),
        SearchFolder(productFolder_ + "\\tools"), kOverProductFolder, kStartTempFolder,
        SearchFolder(tempFolder_), SearchFolder(tempFolder_ + "\\cache"),
        SearchFolder(tempFolder_ + "\\cache\\a"), SearchFolder(tempFolder_ + "\\cache\\a\\b"),
        SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"), kOverTempFolder}});

  CheckRun(expected);
}

TEST_F(Classification, WindowsXp64) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindowsXp64));
  if (IsSkipped()) {
    return;
  }
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const Messages expected = Join(
      {{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo, OsVersion(5, 2),
        OnThisPrefix(kit::kWindowsXp64).veskotLine, kOverPkgGetSysInfo},
       Branch64(veskotPath_),
       DeviceWalk({}),
       {kNeedSearch, kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
        SearchFolder(productFolder_ + "\\docs"), SearchFolder(productFolder_ + "\\docs\\empty"),
        SearchFolder(productFolder_ + kit::kInfFolder32), SearchFolder(productFolder_ + kit::kInfFolder64),
        SearchFolder(productFolder_ + "\\tools"), kOverProductFolder, kStartTempFolder,
        SearchFolder(tempFolder_), SearchFolder(tempFolder_ + "\\cache"),
        SearchFolder(tempFolder_ + "\\cache\\a"), SearchFolder(tempFolder_ + "\\cache\\a\\b"),
        SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"), kOverTempFolder}});

  CheckRun(expected);
}

TEST_F(Classification, WindowsVista) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindowsVista));
  if (IsSkipped()) {
    return;
  }
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const Messages expected = Join(
      {{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo, OsVersion(6, 0),
        OnThisPrefix(kit::kWindowsVista).veskotLine, kOverPkgGetSysInfo},
       Branch64(veskotPath_),
       DeviceWalk({}),
       {kNeedSearch, kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
        SearchFolder(productFolder_ + "\\docs"), SearchFolder(productFolder_ + "\\docs\\empty"),
        SearchFolder(productFolder_ + kit::kInfFolder32), SearchFolder(productFolder_ + kit::kInfFolder64),
        SearchFolder(productFolder_ + "\\tools"), kOverProductFolder, kStartTempFolder,
        SearchFolder(tempFolder_), SearchFolder(tempFolder_ + "\\cache"),
        SearchFolder(tempFolder_ + "\\cache\\a"), SearchFolder(tempFolder_ + "\\cache\\a\\b"),
        SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"), kOverTempFolder}});

  CheckRun(expected);
}

TEST_F(Classification, Windows7) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  if (IsSkipped()) {
    return;
  }
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const Messages expected = Join(
      {{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo, OsVersion(6, 1),
        OnThisPrefix(kit::kWindows7).veskotLine, kOverPkgGetSysInfo},
       Branch64(veskotPath_),
       DeviceWalk({}),
       {kNeedSearch, kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
        SearchFolder(productFolder_ + "\\docs"), SearchFolder(productFolder_ + "\\docs\\empty"),
        SearchFolder(productFolder_ + kit::kInfFolder32), SearchFolder(productFolder_ + kit::kInfFolder64),
        SearchFolder(productFolder_ + "\\tools"), kOverProductFolder, kStartTempFolder,
        SearchFolder(tempFolder_), SearchFolder(tempFolder_ + "\\cache"),
        SearchFolder(tempFolder_ + "\\cache\\a"), SearchFolder(tempFolder_ + "\\cache\\a\\b"),
        SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"), kOverTempFolder}});

  CheckRun(expected);
}

TEST_F(Classification, Windows8IsOutsideTheTable) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows8));
  if (IsSkipped()) {
    return;
  }
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const Messages expected = Join(
      {{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo, OsVersion(6, 2),
        kOverPkgGetSysInfo},
       DeviceWalk({}),
       {kNeedSearch, kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
        SearchFolder(productFolder_ + "\\docs"), SearchFolder(productFolder_ + "\\docs\\empty"),
        SearchFolder(productFolder_ + kit::kInfFolder32), SearchFolder(productFolder_ + kit::kInfFolder64),
        SearchFolder(productFolder_ + "\\tools"), kOverProductFolder, kStartTempFolder,
        SearchFolder(tempFolder_), SearchFolder(tempFolder_ + "\\cache"),
        SearchFolder(tempFolder_ + "\\cache\\a"), SearchFolder(tempFolder_ + "\\cache\\a\\b"),
        SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"), kOverTempFolder}});

  CheckRun(expected);
}

}  // namespace
}  // namespace e2e
