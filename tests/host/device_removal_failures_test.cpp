// The device removal when a step fails: no driver key or InfPath, an
// InfPath that is no bare file name, a removal refused, the walk ended, no
// memory, a path that would not fit. The instance is removed all the same
// wherever only its INF file could not be dealt with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/veskot_fixture.h"
#include "uninstaller/device_removal.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;

TEST_F(DeviceRemoval, InstanceNeverInstalledHasNoDriverKey) {
  winsim::Device& device =
      winsim::machine().AddDevice("USB\\VID_3A8D&PID_6C31\\NEW", winsim::MultiSz({"USB\\VID_3A8D&PID_6C31"}));
  RemoveHandsetDevices();
  const kit::Messages expected = {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31", kEndOfId,
                                  OpenDriverKeyFailed(0xe0000204)};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(device.removed);
  EXPECT_EQ(nDeletedInf, 0u);
}

TEST_F(DeviceRemoval, DriverKeyWithoutInfPath) {
  winsim::Device& device = AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "", 1);
  RemoveHandsetDevices();
  const kit::Messages expected = {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31",
                                  kEndOfId,  kNoInfPath,    ErrorCode(ERROR_FILE_NOT_FOUND)};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(device.removed);
  ExpectNoHandlesLeft();
}

TEST_F(DeviceRemoval, InfPathLongerThanTheBuffer) {
  winsim::Device& device = AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "", 1);
  winsim::machine().SetValue(device.driverKey, kit::kInfPathValue, REG_SZ, std::string(300, 'a') + '\0');
  RemoveHandsetDevices();
  const kit::Messages expected = {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31",
                                  kEndOfId,  kNoInfPath,    ErrorCode(ERROR_MORE_DATA)};
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
    winsim::machine().SetValue(device.driverKey, kit::kInfPathValue, REG_SZ,
                               value.size() == 260 ? value : value + '\0');  // the last one has no terminator
    RemoveHandsetDevices();
    // What the 260-byte buffer holds of it: at most 259 characters.
    const std::string shown = value.substr(0, 259);
    const kit::Messages expected = {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31", kEndOfId,
                                    NotABareFileName(shown)};
    EXPECT_EQ(TracedMessages(kTag), expected) << value;
    EXPECT_TRUE(winsim::machine().Exists(sim::InInfStore("oem3.inf")));
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
  const kit::Messages expected = {kInstance,
                                  kEnterForLoop,
                                  "USB\\VID_3A8D&PID_6C31",
                                  kEndOfId,
                                  kDeleteInPkgQuickDel,
                                  FileFullPath(sim::InInfStore("oem3.inf")),
                                  kRemoveFailed,
                                  kInstance,
                                  kEnterForLoop,
                                  "USB\\VID_3A8D&PID_6C32",
                                  kEndOfId,
                                  kDeleteInPkgQuickDel,
                                  FileFullPath(sim::InInfStore("oem4.inf")),
                                  kRemoveFailed};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(nDeletedInf, 2u);
  EXPECT_TRUE(m.classInstallerCalls.empty());
  EXPECT_FALSE(m.FindDevice("USB\\VID_3A8D&PID_6C31\\1")->removed);
}

TEST_F(DeviceRemoval, ClassInstallerThatRefusesTheRemoval) {
  winsim::Device& device = AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "oem3.inf", 1);
  device.removeError = ERROR_ACCESS_DENIED;
  RemoveHandsetDevices();
  const kit::Messages expected = {
      kInstance,    kEnterForLoop,        "USB\\VID_3A8D&PID_6C31",
      kEndOfId,     kDeleteInPkgQuickDel, FileFullPath(sim::InInfStore("oem3.inf")),
      kRemoveFailed};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(device.removed);
}

TEST_F(DeviceRemoval, UnexpectedPropertyErrorEndsTheWalk) {
  AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "oem3.inf", 1);
  winsim::machine().AddDevice("PCI\\VEN_8086\\1", "").propertyError = ERROR_ACCESS_DENIED;
  AddDevice("USB\\VID_3A8D&PID_6C32\\1", {"USB\\VID_3A8D&PID_6C32"}, "oem4.inf", 2);
  EXPECT_EQ(RemoveHandsetDevices(), 1);
  const kit::Messages expected = {kInstance, kEnterForLoop,        "USB\\VID_3A8D&PID_6C31",
                                  kEndOfId,  kDeleteInPkgQuickDel, FileFullPath(sim::InInfStore("oem3.inf"))};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(winsim::machine().FindDevice("USB\\VID_3A8D&PID_6C32\\1")->removed);
  EXPECT_TRUE(winsim::machine().Exists(sim::InInfStore("oem4.inf")));
  ExpectNoHandlesLeft();
}

TEST_F(DeviceRemoval, NoDeviceSet) {
  AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "oem3.inf", 1);
  winsim::machine().classDevsError = ERROR_NOT_ENOUGH_MEMORY;
  EXPECT_EQ(RemoveHandsetDevices(), 1);
  EXPECT_TRUE(winsim::machine().debugOutput.empty());
  EXPECT_EQ(nDeletedInf, 0u);
}

TEST_F(DeviceRemoval, NoMemoryForTheHardwareIdsPassesOverTheInstance) {
  AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "oem3.inf", 1);
  AddDevice("USB\\VID_3A8D&PID_6C32\\1", {"USB\\VID_3A8D&PID_6C32"}, "oem4.inf", 2);
  winsim::machine().failingLocalAllocations = {1};
  RemoveHandsetDevices();
  const kit::Messages expected = {kInstance, kEnterForLoop,        "USB\\VID_3A8D&PID_6C32",
                                  kEndOfId,  kDeleteInPkgQuickDel, FileFullPath(sim::InInfStore("oem4.inf"))};
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
  const kit::Messages expected = {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31", kEndOfId,
                                  failure.message};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m.Exists(sim::InInfStore("oem3.inf")));
  EXPECT_EQ(nDeletedInf, 0u);
  EXPECT_TRUE(device.removed);
  ExpectNoHandlesLeft();
}

INSTANTIATE_TEST_SUITE_P(
    Branches, QuickDelFailures,
    ::testing::Values(QuickDelFailure{"InfName", 2, 0, false, kNoInfNameBuffer},
                      QuickDelFailure{"WindowsDirBuffer", 0, 1, false, kNoFilePathBuffer},
                      QuickDelFailure{"FullPathBuffer", 0, 2, false, kNoFullPathBuffer},
                      QuickDelFailure{"WindowsDir", 0, 0, true, kNoWindowsDirectory}),
    [](const ::testing::TestParamInfo<QuickDelFailure>& info) { return std::string(info.param.name); });

TEST_F(DeviceRemoval, FullPathThatWouldNotFitIsNotBuilt) {
  winsim::machine().windowsDirectory = "C:\\" + std::string(240, 'w');
  AddDevice("USB\\VID_3A8D&PID_6C31\\1", {"USB\\VID_3A8D&PID_6C31"}, "oem1234567890123.inf", 1);
  RemoveHandsetDevices();
  const kit::Messages expected = {
      kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31", kEndOfId,
      PathTooLong(winsim::machine().windowsDirectory + "\\inf\\oem1234567890123.inf")};
  EXPECT_EQ(TracedMessages(kTag), expected);
}
}  // namespace
