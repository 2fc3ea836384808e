// The device instances Windows knows, read in-process through SetupAPI the
// way the uninstaller walks them, and a probe of the class installer's
// removal on this platform.
#ifndef KIT_TESTS_E2E_DEVICES_H
#define KIT_TESTS_E2E_DEVICES_H

#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace e2e {

// The handset's hardware ids, as they stand inside longer ids.
extern const char* const kHandsetHardwareIds[2];

// Whether `text` contains one of the handset's ids, ASCII letters in any
// case.
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

}  // namespace e2e

#endif
