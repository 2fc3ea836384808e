// The device instances Windows knows, read in-process through SetupAPI the
// way the uninstaller walks them, and a probe of the class installer's
// removal on this platform.
#ifndef KIT_TESTS_WINE_DEVICES_H
#define KIT_TESTS_WINE_DEVICES_H

#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace wine {

// Whether `text` contains one of the handset's ids (kit::kHandsetIds),
// ASCII letters in any case.
bool NamesHandset(const std::string& text);

// One device instance: its instance id and its hardware ids (none when it
// has no SPDRP_HARDWAREID property).
struct DeviceRecord {
  std::string instanceId;
  std::vector<std::string> hardwareIds;
};

// Every device instance of every setup class, attached or not, in the order
// of the set that SetupDiGetClassDevsA builds with DIGCF_ALLCLASSES.
::testing::AssertionResult ListDeviceInstances(std::vector<DeviceRecord>* records);

// Makes a root-enumerated device instance the way an administrator's tool
// does, through SetupAPI: SetupDiCreateDeviceInfoA under ROOT with
// DICD_GENERATE_ID for `deviceName` in the setup class `classGuid`
// ("{...}"), the hardware ids through SetupDiSetDeviceRegistryPropertyA,
// DIF_REGISTERDEVICE, and with `driverKey` the driver key through
// SetupDiCreateDevRegKeyA with DIREG_DRV, handed back open in *driverKey
// for the caller to fill and close. *instanceId is the id Windows gave it.
::testing::AssertionResult CreateRootInstance(const std::string& deviceName, const std::string& classGuid,
                                              const std::vector<std::string>& hardwareIds, bool driverKey,
                                              std::string* instanceId, HKEY* key);

// Removes through the class installer (DIF_REMOVE) every device instance
// whose id begins with `prefix`, ASCII letters in any case.
::testing::AssertionResult RemoveInstances(const std::string& prefix);

// How the class installer's removal fares on this platform.
enum class Removal {
  // SetupDiSetClassInstallParamsA takes the DIF_REMOVE parameters.
  kAvailable,
  // Known platform difference: Wine 8's SetupDiSetClassInstallParamsA is a
  // stub that refuses every call (ERROR_CALL_NOT_IMPLEMENTED, or the last
  // error left as it was), so no instance can be removed and the
  // uninstaller reports "Remove failed!" for each.
  kClassInstallParamsNotImplemented,
};

// Hands the DIF_REMOVE parameters the uninstaller uses to
// SetupDiSetClassInstallParamsA for the instance `instanceId`, in a set of
// this process only (nothing is removed), and tells what came back.
::testing::AssertionResult ProbeRemoval(const std::string& instanceId, Removal* removal);

}  // namespace wine

#endif
