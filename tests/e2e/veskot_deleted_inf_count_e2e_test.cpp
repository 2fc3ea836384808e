// End-to-end tests of Veskot.exe: how many INF files the device step
// deletes decides whether the INF store is searched too. Each test lays
// the machine out through Win32, runs the real uninstaller under the
// debugger and checks its whole debugger output and the INF store.
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
#include "tests/wine/capture.h"
#include "tests/wine/files.h"

namespace e2e {
namespace {

// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;
using namespace wine;
using kit::kNullShown;
using kit::Traced;

// How many INF files the device step deletes decides whether the INF store
// is searched as well: not when it is exactly two. The store holds three
// of the package's INF files under the names Windows gave them, and INF
// files for the search; no keys, no folders.
class DeletedInfCount : public VeskotScenario {
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

  void CheckRun(const Messages& expected, const std::set<std::string>& gone) {
    EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(veskotPath_, {}).strings));
    ExpectInfStoreAfterRun(gone);
  }
};

TEST_F(DeletedInfCount, TwoFilesLeaveTheSearchOut) {
  ASSERT_NO_FATAL_FAILURE(LayOut({ModemInterface(), AdbInterface()}));
  const Messages removal = RemoveAnswer();
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo,
             OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk({{ModemInterface().instanceId,
                         {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_00", kEndOfId,
                          kDeleteInPkgQuickDel, FileFullPath(Store("oem12.inf"))},
                         removal},
                        {AdbInterface().instanceId,
                         {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_01", kEndOfId,
                          kDeleteInPkgQuickDel, FileFullPath(Store("oem11.inf"))},
                         removal}}),
            {kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
             FindFirstFailed(productFolder_), kOverProductFolder, kStartTempFolder, SearchFolder(tempFolder_),
             FindFirstFailed(tempFolder_), kOverTempFolder}});

  CheckRun(expected, {"oem11.inf", "oem12.inf"});
  // What only the search would have found stays.
  EXPECT_TRUE(FileExists(Store("nordal_adb_legacy.inf")));
  EXPECT_TRUE(FileExists(Store("nordal_modem_legacy.inf")));
  EXPECT_TRUE(FileExists(Store("oem13.inf")));
}

TEST_F(DeletedInfCount, FileSharedByTwoInstancesCountsOnce) {
  ASSERT_NO_FATAL_FAILURE(LayOut({AdbInterface(), Bootloader(), ModemInterface()}));
  const Messages removal = RemoveAnswer();
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo,
             OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk({{AdbInterface().instanceId,
                         {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_01", kEndOfId,
                          kDeleteInPkgQuickDel, FileFullPath(Store("oem11.inf"))},
                         removal},
                        {Bootloader().instanceId,
                         {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C32&REV_0100", kEndOfId,
                          kDeleteInPkgQuickDel, FileFullPath(Store("oem11.inf"))},
                         removal},
                        {ModemInterface().instanceId,
                         {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_00", kEndOfId,
                          kDeleteInPkgQuickDel, FileFullPath(Store("oem12.inf"))},
                         removal}}),
            {kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
             FindFirstFailed(productFolder_), kOverProductFolder, kStartTempFolder, SearchFolder(tempFolder_),
             FindFirstFailed(tempFolder_), kOverTempFolder}});

  CheckRun(expected, {"oem11.inf", "oem12.inf"});
  EXPECT_TRUE(FileExists(Store("nordal_adb_legacy.inf")));
}

TEST_F(DeletedInfCount, OneFileRunsTheSearch) {
  ASSERT_NO_FATAL_FAILURE(LayOut({DiagnosticsPort()}));
  const Messages removal = RemoveAnswer();
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo,
             OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk({{DiagnosticsPort().instanceId,
                         {kInstance, kEnterForLoop, "ORVANE\\NORDAL5120_DIAG", kEndOfId, kEnterForLoop,
                          "usb\\vid_3a8d&pid_6c31&rev_0232&mi_02", kEndOfId, kDeleteInPkgQuickDel,
                          FileFullPath(Store("oem13.inf"))},
                         removal}}),
            {kNeedSearch,
             kFoundHandsetInf,
             FileFullName(Store("nordal_adb_legacy.inf")),
             DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
             kFoundHandsetInf,
             FileFullName(Store("nordal_modem_legacy.inf")),
             DeviceContext("OrvaneModem.Install,usb\\vid_3a8d&pid_6c31&mi_00,USB\\Class_02&SubClass_02"),
             kFoundHandsetInf,
             FileFullName(Store("oem11.inf")),
             DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
             kFoundHandsetInf,
             FileFullName(Store("oem12.inf")),
             DeviceContext("OrvaneModem.Install,USB\\VID_3A8D&PID_6C31&MI_00"),
             kStartRegOpenKeyEx,
             kStartProductFolder,
             SearchFolder(productFolder_),
             FindFirstFailed(productFolder_),
             kOverProductFolder,
             kStartTempFolder,
             SearchFolder(tempFolder_),
             FindFirstFailed(tempFolder_),
             kOverTempFolder}});

  CheckRun(expected,
           {"oem13.inf", "nordal_adb_legacy.inf", "nordal_modem_legacy.inf", "oem11.inf", "oem12.inf"});
}

TEST_F(DeletedInfCount, ThreeFilesRunTheSearch) {
  ASSERT_NO_FATAL_FAILURE(LayOut({ModemInterface(), AdbInterface(), DiagnosticsPort()}));
  const Messages removal = RemoveAnswer();
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo,
             OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk({{ModemInterface().instanceId,
                         {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_00", kEndOfId,
                          kDeleteInPkgQuickDel, FileFullPath(Store("oem12.inf"))},
                         removal},
                        {AdbInterface().instanceId,
                         {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_01", kEndOfId,
                          kDeleteInPkgQuickDel, FileFullPath(Store("oem11.inf"))},
                         removal},
                        {DiagnosticsPort().instanceId,
                         {kInstance, kEnterForLoop, "ORVANE\\NORDAL5120_DIAG", kEndOfId, kEnterForLoop,
                          "usb\\vid_3a8d&pid_6c31&rev_0232&mi_02", kEndOfId, kDeleteInPkgQuickDel,
                          FileFullPath(Store("oem13.inf"))},
                         removal}}),
            {kNeedSearch, kFoundHandsetInf, FileFullName(Store("nordal_adb_legacy.inf")),
             DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"), kFoundHandsetInf,
             FileFullName(Store("nordal_modem_legacy.inf")),
             DeviceContext("OrvaneModem.Install,usb\\vid_3a8d&pid_6c31&mi_00,USB\\Class_02&SubClass_02"),
             kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
             FindFirstFailed(productFolder_), kOverProductFolder, kStartTempFolder, SearchFolder(tempFolder_),
             FindFirstFailed(tempFolder_), kOverTempFolder}});

  CheckRun(expected,
           {"oem11.inf", "oem12.inf", "oem13.inf", "nordal_adb_legacy.inf", "nordal_modem_legacy.inf"});
}

TEST_F(DeletedInfCount, NoHandsetRunsTheSearch) {
  ASSERT_NO_FATAL_FAILURE(LayOut({}));
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo,
             OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk({}),
            {kNeedSearch,
             kFoundHandsetInf,
             FileFullName(Store("nordal_adb_legacy.inf")),
             DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
             kFoundHandsetInf,
             FileFullName(Store("nordal_modem_legacy.inf")),
             DeviceContext("OrvaneModem.Install,usb\\vid_3a8d&pid_6c31&mi_00,USB\\Class_02&SubClass_02"),
             kFoundHandsetInf,
             FileFullName(Store("oem11.inf")),
             DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
             kFoundHandsetInf,
             FileFullName(Store("oem12.inf")),
             DeviceContext("OrvaneModem.Install,USB\\VID_3A8D&PID_6C31&MI_00"),
             kFoundHandsetInf,
             FileFullName(Store("oem13.inf")),
             DeviceContext("OrvaneSerial.Install,USB\\VID_3A8D&PID_6C31&MI_02"),
             kStartRegOpenKeyEx,
             kStartProductFolder,
             SearchFolder(productFolder_),
             FindFirstFailed(productFolder_),
             kOverProductFolder,
             kStartTempFolder,
             SearchFolder(tempFolder_),
             FindFirstFailed(tempFolder_),
             kOverTempFolder}});

  CheckRun(expected,
           {"nordal_adb_legacy.inf", "nordal_modem_legacy.inf", "oem11.inf", "oem12.inf", "oem13.inf"});
}

}  // namespace
}  // namespace e2e
