// Removing the handset's device instances and their INF files.
#include "uninstaller/device_removal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/veskot_fixture.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;

TEST_F(DeviceRemoval, HandsetInstanceLosesItsInfAndIsRemoved) {
  AddDevice("USB\\VID_0781&PID_5567\\1", {"USB\\VID_0781&PID_5567&REV_0100", "USB\\VID_0781&PID_5567"},
            "oem4.inf", 1);
  AddDevice("USB\\VID_3A8D&PID_6C31&MI_00\\2",
            {"USB\\VID_3A8D&PID_6C31&REV_0232&MI_00", "USB\\VID_3A8D&PID_6C31&MI_00"}, "oem3.inf", 2);
  EXPECT_EQ(RemoveHandsetDevices(), 1);  // the walk ends on ERROR_NO_MORE_ITEMS
  const kit::Messages expected = {kInstance,
                                  kEnterForLoop,
                                  "USB\\VID_0781&PID_5567&REV_0100",
                                  kEndOfId,
                                  kEnterForLoop,
                                  "USB\\VID_0781&PID_5567",
                                  kEndOfId,
                                  kInstance,
                                  kEnterForLoop,
                                  "USB\\VID_3A8D&PID_6C31&REV_0232&MI_00",
                                  kEndOfId,
                                  kDeleteInPkgQuickDel,
                                  FileFullPath(sim::InInfStore("oem3.inf"))};
  EXPECT_EQ(TracedMessages(kTag), expected);
  winsim::Machine& m = winsim::machine();
  EXPECT_EQ(nDeletedInf, 1u);
  EXPECT_FALSE(m.Exists(sim::InInfStore("oem3.inf")));
  EXPECT_TRUE(m.Exists(sim::InInfStore("oem3.pnf")));
  EXPECT_TRUE(m.Exists(sim::InInfStore("oem4.inf")));
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
  const kit::Messages expected = {
      kInstance, kEnterForLoop,        "USB\\Class_FF",
      kEndOfId,  kEnterForLoop,        "USB\\vid_3a8d&pid_6c32&mi_01 VID_3A8D&PID_6C31",
      kEndOfId,  kDeleteInPkgQuickDel, FileFullPath(sim::InInfStore("oem3.inf"))};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(winsim::machine().openDevRegKeyCalls.size(), 1u);
  EXPECT_EQ(winsim::machine().classInstallerCalls.size(), 1u);
}

TEST_F(DeviceRemoval, CompositeParentKeepsWindowsOwnInf) {
  AddDevice("USB\\VID_3A8D&PID_6C31\\SER", {"USB\\VID_3A8D&PID_6C31&REV_0232"}, "usb.inf", 1);
  AddDevice("USBSTOR\\DISK&VEN_ORVANE\\SER", {"USBSTOR\\DiskOrvane_VID_3A8D&PID_6C31"}, "usbstor.inf", 2);
  RemoveHandsetDevices();
  const kit::Messages expected = {
      kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232",       kEndOfId, kCompositeDevice,
      kInstance, kEnterForLoop, "USBSTOR\\DiskOrvane_VID_3A8D&PID_6C31", kEndOfId, kCompositeDevice};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(winsim::machine().Exists(sim::InInfStore("usb.inf")));
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
    kit::Messages after;  // the messages after the hardware id
  } cases[] = {
      {"USB.INF", "", {kCompositeDevice}},
      {"UsbStor.Inf", "", {kCompositeDevice}},
      {"wpdmtp.inf",
       "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%M%=Generic,NTx86\r\n"
       "[Generic.NTx86]\r\n%Mtp%=Mtp.Install,USB\\MS_COMP_MTP\r\n[Strings]\r\nM=\"Generic\"\r\nMtp="
       "\"MTP\"\r\n",
       {NotNamingHandset(sim::InInfStore("wpdmtp.inf"))}},
      {"rndiscmp.inf",
       "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\nM=Rndis\r\n[Rndis]\r\n"
       "R=Rndis.Install,USB\\MS_COMP_RNDIS\r\n[Rndis.Install]\r\nCopyFiles=VID_3A8D&PID_6C31\r\n",
       {NotNamingHandset(sim::InInfStore("rndiscmp.inf"))}},
      {"notes.inf", "VID_3A8D&PID_6C31 is no INF file", {NotNamingHandset(sim::InInfStore("notes.inf"))}},
      {"oem7.inf", nullptr, {kDeleteInPkgQuickDel, FileFullPath(sim::InInfStore("oem7.inf"))}},
  };
  for (const auto& one : cases) {
    SCOPED_TRACE(one.infPath);
    SetUp();
    winsim::Machine& m = winsim::machine();
    const std::string path = sim::InInfStore(one.infPath);
    if (one.content != nullptr) {
      m.AddFile(path, one.content);
    }
    winsim::Device& device =
        AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, one.infPath, 1);
    RemoveHandsetDevices();
    kit::Messages expected = {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31", kEndOfId};
    expected.insert(expected.end(), one.after.begin(), one.after.end());
    EXPECT_EQ(TracedMessages(kTag), expected);
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
  const kit::Messages expected = {kInstance, kEnterForLoop,        "USB\\VID_3A8D&PID_6C31&MI_00",
                                  kEndOfId,  kDeleteInPkgQuickDel, FileFullPath(sim::InInfStore("oem3.inf")),
                                  kInstance, kEnterForLoop,        "USB\\VID_3A8D&PID_6C31&MI_01",
                                  kEndOfId,  kDeleteInPkgQuickDel, FileFullPath(sim::InInfStore("oem3.inf"))};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(nDeletedInf, 1u);
  EXPECT_TRUE(winsim::machine().FindDevice("USB\\VID_3A8D&PID_6C31&MI_00\\1")->removed);
  EXPECT_TRUE(winsim::machine().FindDevice("USB\\VID_3A8D&PID_6C31&MI_01\\1")->removed);
}

TEST_F(DeviceRemoval, CountsEveryDistinctInfDeleted) {
  winsim::Machine& m = winsim::machine();
  m.AddFile(sim::InInfStore("oem5.inf"), kStagedHandsetInf, FILE_ATTRIBUTE_READONLY);
  AddDevice("USB\\VID_3A8D&PID_6C31&MI_00\\1", {"USB\\VID_3A8D&PID_6C31&MI_00"}, "oem3.inf", 1);
  AddDevice("USB\\VID_3A8D&PID_6C31&MI_01\\1", {"USB\\VID_3A8D&PID_6C31&MI_01"}, "oem4.inf", 2);
  winsim::Device& detached =
      AddDevice("USB\\VID_3A8D&PID_6C32\\1", {"USB\\VID_3A8D&PID_6C32"}, "oem5.inf", 3);
  detached.attached = false;
  RemoveHandsetDevices();
  EXPECT_EQ(nDeletedInf, 3u);
  EXPECT_FALSE(m.Exists(sim::InInfStore("oem5.inf")));  // read-only, and deleted all the same
  EXPECT_TRUE(detached.removed);
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
  const kit::Messages expected = {
      kInstance,       kEnterForLoop, longId,    kEndOfId,      kEnterForLoop,
      "USB\\VID_1111", kEndOfId,      kInstance, kEnterForLoop, "USB\\VID_2222&PID_0001",
      kEndOfId};
  EXPECT_EQ(TracedMessages(kTag), expected);
}
}  // namespace
