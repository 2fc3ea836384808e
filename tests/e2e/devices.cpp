#include "tests/e2e/devices.h"

#include <setupapi.h>

namespace e2e {

const char* const kHandsetHardwareIds[2] = {"VID_3A8D&PID_6C31", "VID_3A8D&PID_6C32"};

namespace {
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) {
    c = Upper(c);
  }
  return upper;
}

// A value no Win32 call leaves behind, to see whether a call set the last
// error at all.
const DWORD kUntouchedLastError = 0x0BADF00D;

// The list of all instances, or INVALID_HANDLE_VALUE.
HDEVINFO AllInstances() { return SetupDiGetClassDevsA(NULL, NULL, NULL, DIGCF_ALLCLASSES); }

std::string InstanceIdOf(HDEVINFO set, SP_DEVINFO_DATA* data) {
  char id[512];  // instance ids have at most 200 characters
  DWORD size = 0;
  if (!SetupDiGetDeviceInstanceIdA(set, data, id, sizeof(id), &size)) {
    return std::string();
  }
  return id;
}
}  // namespace

bool NamesHandset(const std::string& text) {
  const std::string upper = UpperAscii(text);
  for (const char* id : kHandsetHardwareIds) {
    if (upper.find(id) != std::string::npos) {
      return true;
    }
  }
  return false;
}

::testing::AssertionResult ListDeviceInstances(std::vector<DeviceRecord>* records) {
  records->clear();
  HDEVINFO set = AllInstances();
  if (set == INVALID_HANDLE_VALUE) {
    return ::testing::AssertionFailure() << "SetupDiGetClassDevsA failed with error " << GetLastError();
  }
  SP_DEVINFO_DATA data;
  data.cbSize = sizeof(data);
  for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &data); ++index) {
    DeviceRecord record;
    record.instanceId = InstanceIdOf(set, &data);
    DWORD size = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID, NULL, NULL, 0, &size) &&
        GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      std::vector<char> ids(size + 1, '\0');
      if (SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID, NULL,
                                            reinterpret_cast<PBYTE>(ids.data()), size, &size)) {
        for (size_t offset = 0; offset < size && ids[offset] != '\0';) {
          record.hardwareIds.push_back(ids.data() + offset);
          offset += record.hardwareIds.back().size() + 1;
        }
      }
    }
    records->push_back(record);
  }
  const DWORD error = GetLastError();
  SetupDiDestroyDeviceInfoList(set);
  if (error != ERROR_NO_MORE_ITEMS) {
    return ::testing::AssertionFailure() << "the device walk ended with error " << error;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult ProbeRemoval(const std::string& instanceId, Removal* removal) {
  HDEVINFO set = AllInstances();
  if (set == INVALID_HANDLE_VALUE) {
    return ::testing::AssertionFailure() << "SetupDiGetClassDevsA failed with error " << GetLastError();
  }
  SP_DEVINFO_DATA data;
  data.cbSize = sizeof(data);
  bool found = false;
  for (DWORD index = 0; !found && SetupDiEnumDeviceInfo(set, index, &data); ++index) {
    found = UpperAscii(InstanceIdOf(set, &data)) == UpperAscii(instanceId);
  }
  if (!found) {
    SetupDiDestroyDeviceInfoList(set);
    return ::testing::AssertionFailure() << "no device instance " << instanceId;
  }
  SP_REMOVEDEVICE_PARAMS params;
  params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
  params.ClassInstallHeader.InstallFunction = DIF_REMOVE;
  params.Scope = DI_REMOVEDEVICE_GLOBAL;
  params.HwProfile = 0;
  SetLastError(kUntouchedLastError);
  const BOOL taken = SetupDiSetClassInstallParamsA(set, &data, &params.ClassInstallHeader, sizeof(params));
  const DWORD error = GetLastError();
  SetupDiDestroyDeviceInfoList(set);
  if (taken) {
    *removal = Removal::kAvailable;
    return ::testing::AssertionSuccess();
  }
  if (error == ERROR_CALL_NOT_IMPLEMENTED || error == kUntouchedLastError) {
    *removal = Removal::kClassInstallParamsNotImplemented;
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "SetupDiSetClassInstallParamsA failed with error " << error;
}

}  // namespace e2e
