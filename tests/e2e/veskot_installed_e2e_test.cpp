// End-to-end tests of Veskot.exe on a machine with the kit installed and
// the handset plugged in before. Each test lays the machine out through
// Win32, runs the real uninstaller under the debugger and checks its whole
// debugger output, its exit code and what it leaves.
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
#include "tests/wine/known_wine_gap.h"

namespace e2e {
namespace {

// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;
using namespace wine;
using kit::kNullShown;
using kit::Traced;

// The uninstaller on a machine where the kit was installed and the
// handset has been plugged in.
class InstalledMachine : public VeskotScenario {
 protected:
  void SetUp() override {
    VeskotScenario::SetUp();
    if (!HasFatalFailure() && !IsSkipped()) {
      LayOutInstalledKit();
    }
  }
};

TEST_F(InstalledMachine, EverythingOfTheKitIsRemoved) {
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo,
             OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk(InstalledKitWalk(RemoveAnswer())),
            {kNeedSearch,
             kNotAnInf,
             NotAnInfName(Store("general__toaster__toastpkg__inf__autorun.inf")),
             kFoundHandsetInf,
             FileFullName(Store("nordal_adb_legacy.inf")),
             DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
             kFoundHandsetInf,
             FileFullName(Store("nordal_modem_legacy.inf")),
             DeviceContext("OrvaneModem.Install,usb\\vid_3a8d&pid_6c31&mi_00,USB\\Class_02&SubClass_02"),
             kStartRegOpenKeyEx,
             kStartRegDeleteKey,
             kStartProductFolder,
             SearchFolder(productFolder_),
             SearchFolder(productFolder_ + "\\docs"),
             SearchFolder(productFolder_ + "\\docs\\empty"),
             SearchFolder(productFolder_ + kit::kInfFolder32),
             SearchFolder(productFolder_ + kit::kInfFolder64),
             SearchFolder(productFolder_ + "\\tools"),
             DeleteFailedTryLater(productFolder_ + "\\tools\\HandsetTool.exe"),
             HolderName("HandsetTool.exe"),
             kOverProductFolder,
             kStartTempFolder,
             SearchFolder(tempFolder_),
             SearchFolder(tempFolder_ + "\\cache"),
             SearchFolder(tempFolder_ + "\\cache\\a"),
             SearchFolder(tempFolder_ + "\\cache\\a\\b"),
             SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"),
             kOverTempFolder}});

  const CaptureResult result = RunVeskot(veskotPath_, {});

  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), result.strings));
  ExpectKeysGone();
  ExpectInfStoreAfterRun({"oem11.inf", "oem12.inf", "oem13.inf", "oem14.inf", "nordal_adb_legacy.inf",
                          "nordal_modem_legacy.inf"});
  ExpectFoldersGone();
  ExpectHandsetToolEnded();
  ExpectRunAsAdmin(veskotPath_);
  // Another vendor's device keeps its driver key and its INF file.
  EXPECT_TRUE(FileExists(Store(ForeignDevice().infPath)));
}

TEST_F(InstalledMachine, PromptWithoutADisplayFailsAtOnceAndTheRunGoesOn) {
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), ArgumentScan("showmessage"),
             kShowIsTrue, kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk(InstalledKitWalk(RemoveAnswer())),
            {kNeedSearch,
             kNotAnInf,
             NotAnInfName(Store("general__toaster__toastpkg__inf__autorun.inf")),
             kFoundHandsetInf,
             FileFullName(Store("nordal_adb_legacy.inf")),
             DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
             kFoundHandsetInf,
             FileFullName(Store("nordal_modem_legacy.inf")),
             DeviceContext("OrvaneModem.Install,usb\\vid_3a8d&pid_6c31&mi_00,USB\\Class_02&SubClass_02"),
             kStartRegOpenKeyEx,
             kStartRegDeleteKey,
             kPromptAfterDeletion,
             kStartProductFolder,
             SearchFolder(productFolder_),
             SearchFolder(productFolder_ + "\\docs"),
             SearchFolder(productFolder_ + "\\docs\\empty"),
             SearchFolder(productFolder_ + kit::kInfFolder32),
             SearchFolder(productFolder_ + kit::kInfFolder64),
             SearchFolder(productFolder_ + "\\tools"),
             DeleteFailedTryLater(productFolder_ + "\\tools\\HandsetTool.exe"),
             HolderName("HandsetTool.exe"),
             kOverProductFolder,
             kStartTempFolder,
             SearchFolder(tempFolder_),
             SearchFolder(tempFolder_ + "\\cache"),
             SearchFolder(tempFolder_ + "\\cache\\a"),
             SearchFolder(tempFolder_ + "\\cache\\a\\b"),
             SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"),
             kOverTempFolder}});

  const CaptureResult result = RunVeskot(veskotPath_, {"showmessage"});

  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), result.strings));
  ExpectKeysGone();
  ExpectInfStoreAfterRun({"oem11.inf", "oem12.inf", "oem13.inf", "oem14.inf", "nordal_adb_legacy.inf",
                          "nordal_modem_legacy.inf"});
  ExpectFoldersGone();
  ExpectHandsetToolEnded();
}

TEST_F(InstalledMachine, SecondRunFindsNothingLeftToDo) {
  const Messages removal = RemoveAnswer();
  const Messages first =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo,
             OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk(InstalledKitWalk(removal)),
            {kNeedSearch,
             kNotAnInf,
             NotAnInfName(Store("general__toaster__toastpkg__inf__autorun.inf")),
             kFoundHandsetInf,
             FileFullName(Store("nordal_adb_legacy.inf")),
             DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
             kFoundHandsetInf,
             FileFullName(Store("nordal_modem_legacy.inf")),
             DeviceContext("OrvaneModem.Install,usb\\vid_3a8d&pid_6c31&mi_00,USB\\Class_02&SubClass_02"),
             kStartRegOpenKeyEx,
             kStartRegDeleteKey,
             kStartProductFolder,
             SearchFolder(productFolder_),
             SearchFolder(productFolder_ + "\\docs"),
             SearchFolder(productFolder_ + "\\docs\\empty"),
             SearchFolder(productFolder_ + kit::kInfFolder32),
             SearchFolder(productFolder_ + kit::kInfFolder64),
             SearchFolder(productFolder_ + "\\tools"),
             DeleteFailedTryLater(productFolder_ + "\\tools\\HandsetTool.exe"),
             HolderName("HandsetTool.exe"),
             kOverProductFolder,
             kStartTempFolder,
             SearchFolder(tempFolder_),
             SearchFolder(tempFolder_ + "\\cache"),
             SearchFolder(tempFolder_ + "\\cache\\a"),
             SearchFolder(tempFolder_ + "\\cache\\a\\b"),
             SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"),
             kOverTempFolder}});
  EXPECT_TRUE(SameDebugStrings(Traced(kTag, first), RunVeskot(veskotPath_, {}).strings));
  ExpectHandsetToolEnded();

  // The instances the removal left (Wine's, wine::kNoClassInstallParams)
  // name INF files that are gone: none is deleted this time, and the
  // search runs.
  const std::vector<StatedInstance> left =
      removal.empty() ? std::vector<StatedInstance>{} : InstalledKitWalk(removal);
  const Messages second =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), ArgumentScan("showmessage"),
             kShowIsTrue, kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk(left),
            {kNeedSearch, kNotAnInf, NotAnInfName(Store("general__toaster__toastpkg__inf__autorun.inf")),
             kStartRegOpenKeyEx, kPromptWithoutKey, kStartProductFolder, SearchFolder(productFolder_),
             FindFirstFailed(productFolder_), kOverProductFolder, kStartTempFolder, SearchFolder(tempFolder_),
             FindFirstFailed(tempFolder_), kOverTempFolder}});
  const CaptureResult result = RunVeskot(veskotPath_, {"showmessage"});

  EXPECT_TRUE(SameDebugStrings(Traced(kTag, second), result.strings));
  ExpectKeysGone();
  ExpectInfStoreAfterRun({"oem11.inf", "oem12.inf", "oem13.inf", "oem14.inf", "nordal_adb_legacy.inf",
                          "nordal_modem_legacy.inf"});
  ExpectFoldersGone();
}

TEST_F(InstalledMachine, HandsetInstancesAreRemoved) {
  RunVeskot(veskotPath_, {});

  std::vector<DeviceRecord> records;
  ASSERT_TRUE(ListDeviceInstances(&records));
  KnownWineGap(kNoClassInstallParams, [&] {
    for (const DeviceRecord& record : records) {
      for (const std::string& id : record.hardwareIds) {
        EXPECT_FALSE(NamesHandset(id)) << record.instanceId << " is still there";
      }
    }
  });
  bool foreignDeviceStays = false;
  for (const DeviceRecord& record : records) {
    foreignDeviceStays =
        foreignDeviceStays || lstrcmpiA(record.instanceId.c_str(), ForeignDevice().instanceId.c_str()) == 0;
  }
  EXPECT_TRUE(foreignDeviceStays) << ForeignDevice().instanceId << " was removed";
}

}  // namespace
}  // namespace e2e
