// Removing the handset's device instances and their INF files.
#include "uninstaller/device_removal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/trace_log.h"
#include "winsim/machine.h"

namespace {
const char kTag[] = "..Veskot - Zenor";
const char kClassKey[] =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E978-E325-11CE-BFC1-08002BE10318}\\";

typedef std::vector<std::string> Lines;

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The three messages that show one hardware-id entry.
Lines Entry(const std::string& entry) { return {"enter for loop\n", entry, "\n"}; }

// A staged copy of the kit's package: only a decorated models section
// names the handset.
const char kHandsetInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%Maker%=Orvane,NTx86\r\n"
    "[Orvane.NTx86]\r\n%Adb%=Adb.Install,USB\\VID_3A8D&PID_6C31&MI_01\r\n"
    "[Strings]\r\nMaker=\"Orvane\"\r\nAdb=\"ADB\"\r\n";

Lines Deletion(const std::string& infName) {
  return {"Delete file in PkgQuickDel\n", "File full path: C:\\WINDOWS\\inf\\" + infName + "\n"};
}

class DeviceRemoval : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::Reset();
    nDeletedInf = 0;
    winsim::Machine& m = winsim::machine();
    m.AddFile("C:\\WINDOWS\\inf\\oem3.inf", kHandsetInf);
    m.AddFile("C:\\WINDOWS\\inf\\oem3.pnf", "precompiled");
    m.AddFile("C:\\WINDOWS\\inf\\oem4.inf", kHandsetInf);
    m.AddFile("C:\\WINDOWS\\inf\\usb.inf", "[Version]\r\n");
  }

  // A device instance whose driver key names `infPath` (none when empty).
  winsim::Device& AddDevice(const std::string& id, const std::vector<std::string>& hardwareIds,
                            const std::string& infPath, int driverNumber) {
    winsim::Machine& m = winsim::machine();
    winsim::Device& device = m.AddDevice(id, winsim::MultiSz(hardwareIds));
    const std::string key = kClassKey + std::to_string(1000 + driverNumber);
    device.driverKey = key;
    m.AddKey(key);
    if (!infPath.empty()) {
      m.SetValue(key, "InfPath", REG_SZ, infPath + '\0');
    }
    return device;
  }

  void ExpectNoHandlesLeft() {
    winsim::Machine& m = winsim::machine();
    EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kDeviceSet), 0);
    EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kKey), 0);
  }
};

TEST_F(DeviceRemoval, HandsetInstanceLosesItsInfAndIsRemoved) {
  AddDevice("USB\\VID_0781&PID_5567\\1", {"USB\\VID_0781&PID_5567&REV_0100", "USB\\VID_0781&PID_5567"},
            "oem4.inf", 1);
  AddDevice("USB\\VID_3A8D&PID_6C31&MI_00\\2",
            {"USB\\VID_3A8D&PID_6C31&REV_0232&MI_00", "USB\\VID_3A8D&PID_6C31&MI_00"}, "oem3.inf", 2);
  EXPECT_EQ(RemoveHandsetDevices(), 1);  // the walk ends on ERROR_NO_MORE_ITEMS
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_0781&PID_5567&REV_0100") +
                         Entry("USB\\VID_0781&PID_5567") + Lines{"Lumora_log0"} +
                         Entry("USB\\VID_3A8D&PID_6C31&REV_0232&MI_00") + Deletion("oem3.inf");
  EXPECT_EQ(TracedMessages(kTag), expected);
  winsim::Machine& m = winsim::machine();
  EXPECT_EQ(nDeletedInf, 1u);
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\inf\\oem3.inf"));
  EXPECT_TRUE(m.Exists("C:\\WINDOWS\\inf\\oem3.pnf"));
  EXPECT_TRUE(m.Exists("C:\\WINDOWS\\inf\\oem4.inf"));
  EXPECT_FALSE(m.FindDevice("USB\\VID_0781&PID_5567\\1")->removed);
  EXPECT_TRUE(m.FindDevice("USB\\VID_3A8D&PID_6C31&MI_00\\2")->removed);

  ASSERT_EQ(m.classDevsCalls.size(), 1u);
  EXPECT_TRUE(m.classDevsCalls[0].guidGiven);
  EXPECT_EQ(memcmp(&m.classDevsCalls[0].guid, &GUID_DEVCLASS_USB, sizeof(GUID)), 0);
  EXPECT_FALSE(m.classDevsCalls[0].enumeratorGiven);
  EXPECT_EQ(m.classDevsCalls[0].parent, nullptr);
  EXPECT_EQ(m.classDevsCalls[0].flags, static_cast<DWORD>(DIGCF_ALLCLASSES));
  ASSERT_EQ(m.openDevRegKeyCalls.size(), 1u);
  EXPECT_EQ(m.openDevRegKeyCalls[0].scope, static_cast<DWORD>(DICS_FLAG_GLOBAL));
  EXPECT_EQ(m.openDevRegKeyCalls[0].profile, 0u);
  EXPECT_EQ(m.openDevRegKeyCalls[0].keyType, static_cast<DWORD>(DIREG_DRV));
  EXPECT_EQ(m.openDevRegKeyCalls[0].access, static_cast<REGSAM>(KEY_ALL_ACCESS));
  ASSERT_EQ(m.classInstallParamsCalls.size(), 1u);
  const winsim::ClassInstallParamsCall& params = m.classInstallParamsCalls[0];
  EXPECT_EQ(params.headerSize, sizeof(SP_CLASSINSTALL_HEADER));
  EXPECT_EQ(params.installFunction, static_cast<UINT>(DIF_REMOVE));
  EXPECT_EQ(params.scope, static_cast<DWORD>(DI_REMOVEDEVICE_GLOBAL));
  EXPECT_EQ(params.hwProfile, 0u);
  EXPECT_EQ(params.size, sizeof(SP_REMOVEDEVICE_PARAMS));
  ASSERT_EQ(m.classInstallerCalls.size(), 1u);
  EXPECT_EQ(m.classInstallerCalls[0].installFunction, static_cast<UINT>(DIF_REMOVE));
  ExpectNoHandlesLeft();
}

TEST_F(DeviceRemoval, InstanceWithoutHardwareIdsIsPassedOverSilently) {
  winsim::machine().AddDevice("ROOT\\LEGACY_BEEP\\0000", "");
  EXPECT_EQ(RemoveHandsetDevices(), 1);
  EXPECT_TRUE(winsim::machine().debugOutput.empty());
  EXPECT_EQ(winsim::machine().localAllocations, 0);
}

TEST_F(DeviceRemoval, OneMatchingEntrySettlesTheInstance) {
  AddDevice("USB\\VID_3A8D&PID_6C32\\1",
            {"USB\\Class_FF", "USB\\vid_3a8d&pid_6c32&mi_01 VID_3A8D&PID_6C31", "USB\\VID_3A8D&PID_6C31"},
            "oem3.inf", 1);
  RemoveHandsetDevices();
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\Class_FF") +
                         Entry("USB\\vid_3a8d&pid_6c32&mi_01 VID_3A8D&PID_6C31") + Deletion("oem3.inf");
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(winsim::machine().openDevRegKeyCalls.size(), 1u);
  EXPECT_EQ(winsim::machine().classInstallerCalls.size(), 1u);
}

TEST_F(DeviceRemoval, CompositeParentKeepsWindowsOwnInf) {
  AddDevice("USB\\VID_3A8D&PID_6C31\\SER", {"USB\\VID_3A8D&PID_6C31&REV_0232"}, "usb.inf", 1);
  AddDevice("USBSTOR\\DISK&VEN_ORVANE\\SER", {"USBSTOR\\DiskOrvane_VID_3A8D&PID_6C31"}, "usbstor.inf", 2);
  RemoveHandsetDevices();
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31&REV_0232") +
                         Lines{"Find composite device\n", "Lumora_log0"} +
                         Entry("USBSTOR\\DiskOrvane_VID_3A8D&PID_6C31") + Lines{"Find composite device\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(winsim::machine().Exists("C:\\WINDOWS\\inf\\usb.inf"));
  EXPECT_EQ(nDeletedInf, 0u);
  EXPECT_TRUE(winsim::machine().FindDevice("USB\\VID_3A8D&PID_6C31\\SER")->removed);
  EXPECT_TRUE(winsim::machine().FindDevice("USBSTOR\\DISK&VEN_ORVANE\\SER")->removed);
  ExpectNoHandlesLeft();
}

// A handset that Windows bound to its own drivers: the INF file stays,
// whatever its name's case, and the instance goes. Only a file that is
// gone already meets the deletion, which fails.
TEST_F(DeviceRemoval, InfFilesThatCameWithWindowsStay) {
  const struct {
    const char* infPath;
    const char* content;  // none: the file is not there
    const char* trace;    // none: the two deletion lines
  } cases[] = {
      {"USB.INF", "", "Find composite device\n"},
      {"UsbStor.Inf", "", "Find composite device\n"},
      {"wpdmtp.inf",
       "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%M%=Generic,NTx86\r\n"
       "[Generic.NTx86]\r\n%Mtp%=Mtp.Install,USB\\MS_COMP_MTP\r\n[Strings]\r\nM=\"Generic\"\r\nMtp="
       "\"MTP\"\r\n",
       "INF file does not name the handset, nothing deleted: [C:\\WINDOWS\\inf\\wpdmtp.inf]\n"},
      {"rndiscmp.inf",
       "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\nM=Rndis\r\n[Rndis]\r\n"
       "R=Rndis.Install,USB\\MS_COMP_RNDIS\r\n[Rndis.Install]\r\nCopyFiles=VID_3A8D&PID_6C31\r\n",
       "INF file does not name the handset, nothing deleted: [C:\\WINDOWS\\inf\\rndiscmp.inf]\n"},
      {"notes.inf", "VID_3A8D&PID_6C31 is no INF file",
       "INF file does not name the handset, nothing deleted: [C:\\WINDOWS\\inf\\notes.inf]\n"},
      {"oem7.inf", nullptr, nullptr},
  };
  for (const auto& one : cases) {
    SCOPED_TRACE(one.infPath);
    SetUp();
    winsim::Machine& m = winsim::machine();
    const std::string path = std::string("C:\\WINDOWS\\inf\\") + one.infPath;
    if (one.content != nullptr) {
      m.AddFile(path, one.content);
    }
    winsim::Device& device =
        AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, one.infPath, 1);
    RemoveHandsetDevices();
    const Lines tail = one.trace != nullptr ? Lines{one.trace} : Deletion(one.infPath);
    EXPECT_EQ(TracedMessages(kTag), Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31") + tail);
    EXPECT_EQ(m.Exists(path), one.content != nullptr);
    EXPECT_EQ(nDeletedInf, 0u);
    EXPECT_TRUE(device.removed);
    EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kInf), 0);
  }
}

TEST_F(DeviceRemoval, TwoInstancesOfOneInfCountItOnce) {
  AddDevice("USB\\VID_3A8D&PID_6C31&MI_00\\1", {"USB\\VID_3A8D&PID_6C31&MI_00"}, "oem3.inf", 1);
  AddDevice("USB\\VID_3A8D&PID_6C31&MI_01\\1", {"USB\\VID_3A8D&PID_6C31&MI_01"}, "oem3.inf", 2);
  RemoveHandsetDevices();
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31&MI_00") + Deletion("oem3.inf") +
                         Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31&MI_01") + Deletion("oem3.inf");
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(nDeletedInf, 1u);
  EXPECT_TRUE(winsim::machine().FindDevice("USB\\VID_3A8D&PID_6C31&MI_00\\1")->removed);
  EXPECT_TRUE(winsim::machine().FindDevice("USB\\VID_3A8D&PID_6C31&MI_01\\1")->removed);
}

TEST_F(DeviceRemoval, CountsEveryDistinctInfDeleted) {
  winsim::Machine& m = winsim::machine();
  m.AddFile("C:\\WINDOWS\\inf\\oem5.inf", kHandsetInf, FILE_ATTRIBUTE_READONLY);
  AddDevice("USB\\VID_3A8D&PID_6C31&MI_00\\1", {"USB\\VID_3A8D&PID_6C31&MI_00"}, "oem3.inf", 1);
  AddDevice("USB\\VID_3A8D&PID_6C31&MI_01\\1", {"USB\\VID_3A8D&PID_6C31&MI_01"}, "oem4.inf", 2);
  winsim::Device& detached =
      AddDevice("USB\\VID_3A8D&PID_6C32\\1", {"USB\\VID_3A8D&PID_6C32"}, "oem5.inf", 3);
  detached.attached = false;
  RemoveHandsetDevices();
  EXPECT_EQ(nDeletedInf, 3u);
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\inf\\oem5.inf"));  // read-only, and deleted all the same
  EXPECT_TRUE(detached.removed);
}

TEST_F(DeviceRemoval, InstanceNeverInstalledHasNoDriverKey) {
  winsim::Device& device =
      winsim::machine().AddDevice("USB\\VID_3A8D&PID_6C31\\NEW", winsim::MultiSz({"USB\\VID_3A8D&PID_6C31"}));
  RemoveHandsetDevices();
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31") +
                         Lines{"Open Registry failed, Error code: 0xe0000204\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(device.removed);
  EXPECT_EQ(nDeletedInf, 0u);
}

TEST_F(DeviceRemoval, DriverKeyWithoutInfPath) {
  winsim::Device& device = AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "", 1);
  RemoveHandsetDevices();
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31") +
                         Lines{"RegQueryValueEx for 'InfPath' failed!\n", "Error code: 0x2\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(device.removed);
  ExpectNoHandlesLeft();
}

TEST_F(DeviceRemoval, InfPathLongerThanTheBuffer) {
  winsim::Device& device = AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "", 1);
  winsim::machine().SetValue(device.driverKey, "InfPath", REG_SZ, std::string(300, 'a') + '\0');
  RemoveHandsetDevices();
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31") +
                         Lines{"RegQueryValueEx for 'InfPath' failed!\n", "Error code: 0xea\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
}

TEST_F(DeviceRemoval, InfPathThatLeadsOutOfTheInfDirectoryDeletesNothing) {
  // The last two fill the buffer without a terminator; Windows would trim
  // the blanks after "oem3.inf" if the name were ever used.
  const std::string values[] = {"..\\system32\\drivers\\usbser.sys",
                                "..\\system32\\x.inf",
                                "C:\\WINDOWS\\inf\\oem3.inf",
                                "sub/oem3.inf",
                                "",
                                std::string(260, 'b'),
                                "oem3.inf" + std::string(252, ' ')};
  for (const std::string& value : values) {
    SetUp();
    winsim::machine().AddFile("C:\\WINDOWS\\system32\\drivers\\usbser.sys", "driver");
    winsim::machine().AddFile("C:\\WINDOWS\\system32\\x.inf", "[Version]\r\n");
    winsim::Device& device = AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "", 1);
    winsim::machine().SetValue(device.driverKey, "InfPath", REG_SZ,
                               value.size() == 260 ? value : value + '\0');  // the last one has no terminator
    RemoveHandsetDevices();
    const std::string shown = value.size() == 260 ? value.substr(0, 259) : value;
    const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31") +
                           Lines{"InfPath is not a bare file name, nothing deleted: [" + shown + "]\n"};
    EXPECT_EQ(TracedMessages(kTag), expected) << value;
    EXPECT_TRUE(winsim::machine().Exists("C:\\WINDOWS\\inf\\oem3.inf"));
    EXPECT_TRUE(winsim::machine().Exists("C:\\WINDOWS\\system32\\drivers\\usbser.sys"));
    EXPECT_TRUE(winsim::machine().Exists("C:\\WINDOWS\\system32\\x.inf"));
    EXPECT_TRUE(device.removed);
    EXPECT_EQ(nDeletedInf, 0u);
  }
}

TEST_F(DeviceRemoval, RemovalThatFailsDoesNotStopTheWalk) {
  winsim::Machine& m = winsim::machine();
  m.classInstallParamsUnsupported = true;
  AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "oem3.inf", 1);
  AddDevice("USB\\VID_3A8D&PID_6C32\\1", {"USB\\VID_3A8D&PID_6C32"}, "oem4.inf", 2);
  RemoveHandsetDevices();
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31") + Deletion("oem3.inf") +
                         Lines{"Remove failed!\n", "Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C32") +
                         Deletion("oem4.inf") + Lines{"Remove failed!\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(nDeletedInf, 2u);
  EXPECT_TRUE(m.classInstallerCalls.empty());
  EXPECT_FALSE(m.FindDevice("USB\\VID_3A8D&PID_6C31\\1")->removed);
}

TEST_F(DeviceRemoval, ClassInstallerThatRefusesTheRemoval) {
  winsim::Device& device = AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "oem3.inf", 1);
  device.removeError = ERROR_ACCESS_DENIED;
  RemoveHandsetDevices();
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31") + Deletion("oem3.inf") +
                         Lines{"Remove failed!\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(device.removed);
}

TEST_F(DeviceRemoval, UnexpectedPropertyErrorEndsTheWalk) {
  AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "oem3.inf", 1);
  winsim::machine().AddDevice("PCI\\VEN_8086\\1", "").propertyError = ERROR_ACCESS_DENIED;
  AddDevice("USB\\VID_3A8D&PID_6C32\\1", {"USB\\VID_3A8D&PID_6C32"}, "oem4.inf", 2);
  EXPECT_EQ(RemoveHandsetDevices(), 1);
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31") + Deletion("oem3.inf");
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(winsim::machine().FindDevice("USB\\VID_3A8D&PID_6C32\\1")->removed);
  EXPECT_TRUE(winsim::machine().Exists("C:\\WINDOWS\\inf\\oem4.inf"));
  ExpectNoHandlesLeft();
}

TEST_F(DeviceRemoval, NoDeviceSet) {
  AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "oem3.inf", 1);
  winsim::machine().classDevsError = ERROR_NOT_ENOUGH_MEMORY;
  EXPECT_EQ(RemoveHandsetDevices(), 1);
  EXPECT_TRUE(winsim::machine().debugOutput.empty());
  EXPECT_EQ(nDeletedInf, 0u);
}

TEST_F(DeviceRemoval, OddlyShapedHardwareIdListsAreReadWithinTheBuffer) {
  winsim::Machine& m = winsim::machine();
  const std::string longId = "USB\\VID_1111&PID_2222&" + std::string(178, 'X');
  ASSERT_EQ(longId.size(), 200u);
  // A list without its final empty entry, and one whose last entry has no
  // terminator at all.
  m.AddDevice("USB\\A\\1", longId + '\0' + "USB\\VID_1111");
  m.AddDevice("USB\\B\\1", "USB\\VID_2222&PID_0001");
  RemoveHandsetDevices();
  const Lines expected = Lines{"Lumora_log0"} + Entry(longId) + Entry("USB\\VID_1111") +
                         Lines{"Lumora_log0"} + Entry("USB\\VID_2222&PID_0001");
  EXPECT_EQ(TracedMessages(kTag), expected);
}

TEST_F(DeviceRemoval, NoMemoryForTheHardwareIdsPassesOverTheInstance) {
  AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "oem3.inf", 1);
  AddDevice("USB\\VID_3A8D&PID_6C32\\1", {"USB\\VID_3A8D&PID_6C32"}, "oem4.inf", 2);
  winsim::machine().failingLocalAllocations = {1};
  RemoveHandsetDevices();
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C32") + Deletion("oem4.inf");
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(winsim::machine().FindDevice("USB\\VID_3A8D&PID_6C31\\1")->removed);
}

// Each failure inside the INF deletion: the message, no deletion, no
// count, and the instance is removed all the same.
struct QuickDelFailure {
  const char* name;
  int failingLocalAllocation;
  int failingHeapAllocation;
  bool windowsDirectoryFails;
  const char* message;
};

void PrintTo(const QuickDelFailure& failure, std::ostream* out) { *out << failure.name; }

class QuickDelFailures : public DeviceRemoval, public ::testing::WithParamInterface<QuickDelFailure> {};

TEST_P(QuickDelFailures, ReportAndStillRemove) {
  const QuickDelFailure& failure = GetParam();
  winsim::Machine& m = winsim::machine();
  winsim::Device& device = AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "oem3.inf", 1);
  if (failure.failingLocalAllocation != 0) {
    m.failingLocalAllocations = {failure.failingLocalAllocation};
  }
  if (failure.failingHeapAllocation != 0) {
    m.failingHeapAllocations = {failure.failingHeapAllocation};
  }
  m.windowsDirectoryFails = failure.windowsDirectoryFails;
  RemoveHandsetDevices();
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31") + Lines{failure.message};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m.Exists("C:\\WINDOWS\\inf\\oem3.inf"));
  EXPECT_EQ(nDeletedInf, 0u);
  EXPECT_TRUE(device.removed);
  ExpectNoHandlesLeft();
}

INSTANTIATE_TEST_SUITE_P(
    Branches, QuickDelFailures,
    ::testing::Values(QuickDelFailure{"InfName", 2, 0, false, "LocalAlloc for 'pInfName' failed!\n"},
                      QuickDelFailure{"WindowsDirBuffer", 0, 1, false,
                                      "Malloc buffer for pFilePath failed\n"},
                      QuickDelFailure{"FullPathBuffer", 0, 2, false, "Malloc failed\n"},
                      QuickDelFailure{"WindowsDir", 0, 0, true, "Get current path failed!\n"}),
    [](const ::testing::TestParamInfo<QuickDelFailure>& info) { return std::string(info.param.name); });

TEST_F(DeviceRemoval, FullPathThatWouldNotFitIsNotBuilt) {
  winsim::machine().windowsDirectory = "C:\\" + std::string(240, 'w');
  AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "oem1234567890123.inf", 1);
  RemoveHandsetDevices();
  const Lines expected = Lines{"Lumora_log0"} + Entry("USB\\VID_3A8D&PID_6C31") +
                         Lines{"Path too long, passed over: [" + winsim::machine().windowsDirectory +
                               "\\inf\\oem1234567890123.inf]\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
}
}  // namespace
