// End-to-end tests of Veskot.exe: driver keys the device step cannot take
// an INF file's name from, and an INF store with odd entries. Each test
// lays the machine out through Win32, runs the real uninstaller under the
// debugger and checks its whole debugger output and what it leaves.
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
#include "tests/wine/wine_answers.h"

namespace e2e {
namespace {

// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;
using namespace wine;
using kit::kNullShown;
using kit::Traced;

// Driver keys the device step cannot take a file name from: the instance
// is still dealt with, nothing is deleted. No keys, no folders: the run
// searches the INF store and finds nothing there.
class DriverKey : public VeskotScenario {
 protected:
  void LayOut(const std::vector<DeviceInstance>& instances) {
    for (const DeviceInstance& instance : instances) {
      ASSERT_NO_FATAL_FAILURE(AddInstance(instance));
    }
  }

  void CheckRun(const std::vector<StatedInstance>& stated) {
    const Messages expected =
        Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo,
               OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
              Branch64(veskotPath_),
              DeviceWalk(stated),
              {kNeedSearch, kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
               FindFirstFailed(productFolder_), kOverProductFolder, kStartTempFolder,
               SearchFolder(tempFolder_), FindFirstFailed(tempFolder_), kOverTempFolder}});
    EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(veskotPath_, {}).strings));
  }
};

TEST_F(DriverKey, InstanceNeverInstalledHasNone) {
  const DeviceInstance never = {"ROOT\\NORDAL_E2E_NEVER_INSTALLED\\0000",
                                {"USB\\VID_3A8D&PID_6C32&REV_0100", kit::kBootloaderInterface},
                                kit::kAndroidClass,
                                "",
                                DriverKeyLayout::kNone};
  ASSERT_NO_FATAL_FAILURE(LayOut({never}));
  // SetupDiOpenDevRegKey's answer for an instance without a "Driver"
  // value: ERROR_KEY_DOES_NOT_EXIST of SetupAPI.
  CheckRun({{never.instanceId,
             {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C32&REV_0100", kEndOfId,
              OpenDriverKeyFailed(0xE0000204)},
             RemoveAnswer()}});
}

TEST_F(DriverKey, KeyWithoutInfPath) {
  DeviceInstance instance = NetworkInterface();
  instance.driverKey = DriverKeyLayout::kWithoutInfPath;
  ASSERT_NO_FATAL_FAILURE(LayOut({instance}));
  CheckRun({{instance.instanceId,
             {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_03", kEndOfId, kNoInfPath,
              ErrorCode(ERROR_FILE_NOT_FOUND)},
             RemoveAnswer()}});
}

TEST_F(DriverKey, InfPathOutsideTheInfStoreDeletesNothing) {
  const std::string windowsFolder = WindowsFolder();
  ASSERT_TRUE(WriteWholeFile(JoinPath(windowsFolder, "decoy.inf"), "[Version]\r\n"));
  ASSERT_TRUE(WriteWholeFile(JoinPath(kitFolder_, "decoy.inf"), "[Version]\r\n"));
  DeviceInstance upward = ModemInterface();
  upward.infPath = "..\\decoy.inf";
  DeviceInstance absolute = AdbInterface();
  absolute.infPath = JoinPath(kitFolder_, "decoy.inf");
  ASSERT_NO_FATAL_FAILURE(LayOut({upward, absolute}));
  CheckRun({{upward.instanceId,
             {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_00", kEndOfId,
              NotABareFileName("..\\decoy.inf")},
             RemoveAnswer()},
            {absolute.instanceId,
             {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_01", kEndOfId,
              NotABareFileName(absolute.infPath)},
             RemoveAnswer()}});
  EXPECT_TRUE(FileExists(JoinPath(windowsFolder, "decoy.inf")));
  EXPECT_TRUE(FileExists(JoinPath(kitFolder_, "decoy.inf")));
  EXPECT_TRUE(DeleteOneFile(JoinPath(windowsFolder, "decoy.inf")));
}

TEST_F(DriverKey, InfPathIntoSystem32OrWithoutTerminatorDeletesNothingOutsideTheStore) {
  const std::string decoy = JoinPath(systemDirectory_, "x.inf");
  ASSERT_TRUE(WriteWholeFile(decoy, "[Version]\r\nSignature=\"$Windows NT$\"\r\n"));
  DeviceInstance upward = ModemInterface();
  upward.infPath = "..\\system32\\x.inf";
  // Windows' own usb.inf, padded with blanks to the buffer's end: the file
  // functions would trim the blanks if the name were ever used.
  DeviceInstance unterminated = AdbInterface();
  unterminated.infPath = "usb.inf" + std::string(MAX_PATH - 7, ' ');
  unterminated.driverKey = DriverKeyLayout::kWithUnterminatedInfPath;
  ASSERT_NO_FATAL_FAILURE(LayOut({upward, unterminated}));
  // Wine refuses to read such a value (wine_answers.h); where the registry
  // hands the bytes over as they are, the uninstaller refuses them, traced
  // as far as its buffer holds a name.
  const Messages refused = UnterminatedStringRefused()
                               ? Messages{kNoInfPath, ErrorCode(kUnterminatedStringError)}
                               : Messages{NotABareFileName(unterminated.infPath.substr(0, MAX_PATH - 1))};
  CheckRun({{upward.instanceId,
             {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_00", kEndOfId,
              NotABareFileName("..\\system32\\x.inf")},
             RemoveAnswer()},
            {unterminated.instanceId,
             Join({{kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_01", kEndOfId}, refused}),
             RemoveAnswer()}});
  EXPECT_TRUE(FileExists(decoy));
  EXPECT_TRUE(FileExists(Store("usb.inf")));
  EXPECT_TRUE(DeleteOneFile(decoy));
}

// The search goes through whatever the INF store holds and deletes only
// the files that name the handset.
class InfStoreSearch : public VeskotScenario {};

TEST_F(InfStoreSearch, OddEntriesAreReadThroughAndOnlyHandsetInfsGo) {
  ASSERT_NO_FATAL_FAILURE(AddOddStoreEntries());
  for (const StoreFile& file : SearchFiles()) {
    ASSERT_NO_FATAL_FAILURE(AddStoreFile(file));
  }
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
             kNotAnInf,
             NotAnInfName(Store("odd_binary.inf")),
             kNotAnInf,
             NotAnInfName(Store("odd_empty.inf")),
             kFoundHandsetInf,
             FileFullName(Store("odd_utf16.inf")),
             DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
             kNotAnInf,
             NotAnInfName(Store("x.inf")),
             kStartRegOpenKeyEx,
             kStartProductFolder,
             SearchFolder(productFolder_),
             FindFirstFailed(productFolder_),
             kOverProductFolder,
             kStartTempFolder,
             SearchFolder(tempFolder_),
             FindFirstFailed(tempFolder_),
             kOverTempFolder}});

  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(veskotPath_, {}).strings));

  ExpectInfStoreAfterRun({"nordal_adb_legacy.inf", "nordal_modem_legacy.inf", "odd_utf16.inf"});
  EXPECT_TRUE(FolderExists(Store("x.inf")));
}

}  // namespace
}  // namespace e2e
