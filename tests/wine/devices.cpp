#include "tests/wine/devices.h"

#include <setupapi.h>
#include <stdio.h>

#include "tests/kit_facts/letter_case.h"
#include "tests/kit_facts/names.h"

namespace wine {

namespace {
using kit::SameLetters;
using kit::UpperAscii;

// A value no Win32 call leaves behind, to see whether a call set the last
// error at all.
const DWORD kUntouchedLastError = 0x0BADF00D;

// The list of all instances, or INVALID_HANDLE_VALUE.
HDEVINFO AllInstances() { return SetupDiGetClassDevsA(NULL, NULL, NULL, DIGCF_ALLCLASSES); }

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" as a GUID.
bool ParseGuid(const std::string& text, GUID* guid) {
  unsigned long data1 = 0;
  unsigned int parts[10];
  if (sscanf(text.c_str(), "{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &data1, &parts[0], &parts[1],
             &parts[2], &parts[3], &parts[4], &parts[5], &parts[6], &parts[7], &parts[8], &parts[9]) != 11) {
    return false;
  }
  guid->Data1 = data1;
  guid->Data2 = static_cast<unsigned short>(parts[0]);
  guid->Data3 = static_cast<unsigned short>(parts[1]);
  for (int i = 0; i < 8; ++i) {
    guid->Data4[i] = static_cast<unsigned char>(parts[2 + i]);
  }
  return true;
}

::testing::AssertionResult SetupFailure(const char* what) {
  return ::testing::AssertionFailure() << what << " failed with error 0x" << std::hex << GetLastError();
}

std::string InstanceIdOf(HDEVINFO set, SP_DEVINFO_DATA* data) {
  char id[512];  // instance ids have at most 200 characters
  DWORD size = 0;
  if (!SetupDiGetDeviceInstanceIdA(set, data, id, sizeof(id), &size)) {
    return std::string();
  }
  return id;
}
}  // namespace

::testing::AssertionResult CreateRootInstance(const std::string& deviceName, const std::string& classGuid,
                                              const std::vector<std::string>& hardwareIds, bool driverKey,
                                              std::string* instanceId, HKEY* key) {
  *key = NULL;
  GUID guid;
  if (!ParseGuid(classGuid, &guid)) {
    return ::testing::AssertionFailure() << "not a class GUID: " << classGuid;
  }
  HDEVINFO set = SetupDiCreateDeviceInfoList(&guid, NULL);
  if (set == INVALID_HANDLE_VALUE) {
    return SetupFailure("SetupDiCreateDeviceInfoList");
  }
  std::string ids;
  for (const std::string& id : hardwareIds) {
    ids += id + '\0';
  }
  ids += '\0';
  SP_DEVINFO_DATA data;
  data.cbSize = sizeof(data);
  ::testing::AssertionResult result = ::testing::AssertionSuccess();
  if (!SetupDiCreateDeviceInfoA(set, deviceName.c_str(), &guid, NULL, NULL, DICD_GENERATE_ID, &data)) {
    result = SetupFailure("SetupDiCreateDeviceInfoA");
  } else if (!SetupDiSetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID,
                                                reinterpret_cast<const BYTE*>(ids.data()),
                                                static_cast<DWORD>(ids.size()))) {
    result = SetupFailure("SetupDiSetDeviceRegistryPropertyA");
  } else if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &data)) {
    result = SetupFailure("DIF_REGISTERDEVICE");
  } else if (driverKey) {
    *key = SetupDiCreateDevRegKeyA(set, &data, DICS_FLAG_GLOBAL, 0, DIREG_DRV, NULL, NULL);
    if (*key == INVALID_HANDLE_VALUE) {
      *key = NULL;
      result = SetupFailure("SetupDiCreateDevRegKeyA");
    }
  }
  if (result) {
    *instanceId = InstanceIdOf(set, &data);
  }
  SetupDiDestroyDeviceInfoList(set);
  return result;
}

::testing::AssertionResult RemoveInstances(const std::string& prefix) {
  // One instance a pass, each in a set of its own: a removal may change
  // the set it was made in.
  for (bool removed = true; removed;) {
    HDEVINFO set = AllInstances();
    if (set == INVALID_HANDLE_VALUE) {
      return SetupFailure("SetupDiGetClassDevsA");
    }
    removed = false;
    SP_DEVINFO_DATA data;
    data.cbSize = sizeof(data);
    for (DWORD index = 0; !removed && SetupDiEnumDeviceInfo(set, index, &data); ++index) {
      const std::string id = InstanceIdOf(set, &data);
      if (UpperAscii(id).compare(0, prefix.size(), UpperAscii(prefix)) == 0) {
        if (!SetupDiCallClassInstaller(DIF_REMOVE, set, &data)) {
          const ::testing::AssertionResult failure = SetupFailure(("removing " + id).c_str());
          SetupDiDestroyDeviceInfoList(set);
          return failure;
        }
        removed = true;
      }
    }
    SetupDiDestroyDeviceInfoList(set);
  }
  return ::testing::AssertionSuccess();
}

bool NamesHandset(const std::string& text) {
  const std::string upper = UpperAscii(text);
  for (const char* id : kit::kHandsetIds) {
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
    found = SameLetters(InstanceIdOf(set, &data), instanceId);
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

}  // namespace wine
