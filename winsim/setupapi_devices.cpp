// The device tree as SetupAPI shows it: device sets, hardware ids, driver
// keys and removal through the class installer.
#include "tests/kit_facts/letter_case.h"
#include "winsim/simulated_windows.h"

using winsim::Device;
using winsim::Handle;
using winsim::machine;

namespace {
BOOL Fail(DWORD error) {
  machine().lastError = error;
  return FALSE;
}

Handle* DeviceSet(HDEVINFO set) {
  Handle* handle = machine().Lookup(set, Handle::Kind::kDeviceSet);
  if (handle == nullptr) {
    machine().lastError = ERROR_INVALID_HANDLE;
  }
  return handle;
}

// The device a SP_DEVINFO_DATA names within a set (DevInst is its index in
// Machine::devices plus one), or null with lastError set.
Device* Member(Handle* set, const SP_DEVINFO_DATA* data, size_t* index) {
  winsim::Machine& m = machine();
  if (set == nullptr) {
    return nullptr;
  }
  if (data == nullptr) {
    m.lastError = ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  if (data->cbSize != sizeof(SP_DEVINFO_DATA)) {
    m.lastError = ERROR_INVALID_USER_BUFFER;
    return nullptr;
  }
  for (size_t member : set->devices) {
    if (member + 1 == data->DevInst) {
      *index = member;
      return &m.devices[member];
    }
  }
  m.lastError = ERROR_INVALID_PARAMETER;
  return nullptr;
}

std::string InstanceId(HDEVINFO set, const SP_DEVINFO_DATA* data) {
  const Handle* handle = machine().Lookup(set, Handle::Kind::kDeviceSet);
  if (handle == nullptr || data == nullptr) {
    return std::string();
  }
  for (size_t member : handle->devices) {
    if (member + 1 == data->DevInst) {
      return machine().devices[member].instanceId;
    }
  }
  return std::string();
}
}  // namespace

namespace winsim {

Device& Machine::AddDevice(const std::string& instanceId, const std::string& hardwareIds) {
  Device device;
  device.instanceId = instanceId;
  device.hardwareIds = hardwareIds;
  devices.push_back(device);
  return devices.back();
}

Device* Machine::FindDevice(const std::string& instanceId) {
  for (Device& device : devices) {
    if (kit::SameLetters(device.instanceId, instanceId)) {
      return &device;
    }
  }
  return nullptr;
}

std::string MultiSz(const std::vector<std::string>& entries) {
  std::string bytes;
  for (const std::string& entry : entries) {
    bytes += entry;
    bytes += '\0';
  }
  bytes += '\0';
  return bytes;
}

}  // namespace winsim

const GUID GUID_DEVCLASS_USB = {0x36fc9e60, 0xc465, 0x11cf, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND parent, DWORD flags) {
  winsim::Machine& m = machine();
  winsim::ClassDevsCall call{};
  call.guidGiven = classGuid != nullptr;
  if (classGuid != nullptr) {
    call.guid = *classGuid;
  }
  call.enumeratorGiven = enumerator != nullptr;
  call.enumerator = enumerator == nullptr ? "" : enumerator;
  call.parent = parent;
  call.flags = flags;
  m.classDevsCalls.push_back(call);
  if (m.classDevsError != 0 || ((flags & DIGCF_ALLCLASSES) == 0 && classGuid == nullptr)) {
    m.lastError = m.classDevsError != 0 ? m.classDevsError : ERROR_INVALID_PARAMETER;
    return INVALID_HANDLE_VALUE;
  }
  Handle set;
  set.kind = Handle::Kind::kDeviceSet;
  for (size_t i = 0; i < m.devices.size(); ++i) {
    const Device& device = m.devices[i];
    const std::string bus = device.instanceId.substr(0, device.instanceId.find('\\'));
    if (device.removed || ((flags & DIGCF_PRESENT) != 0 && !device.attached) ||
        ((flags & DIGCF_ALLCLASSES) == 0 && memcmp(&device.classGuid, classGuid, sizeof(GUID)) != 0) ||
        (enumerator != nullptr && enumerator[0] != '\0' && !kit::SameLetters(bus, enumerator))) {
      continue;
    }
    set.devices.push_back(i);
  }
  return m.Open(set);
}

BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA data) {
  Handle* handle = DeviceSet(set);
  if (handle == nullptr) {
    return FALSE;
  }
  if (data == nullptr) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (data->cbSize != sizeof(SP_DEVINFO_DATA)) {
    return Fail(ERROR_INVALID_USER_BUFFER);
  }
  if (index >= handle->devices.size()) {
    return Fail(ERROR_NO_MORE_ITEMS);
  }
  const size_t member = handle->devices[index];
  data->ClassGuid = machine().devices[member].classGuid;
  data->DevInst = static_cast<DWORD>(member + 1);
  data->Reserved = 0;
  return TRUE;
}

BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA data, DWORD property, PDWORD type,
                                       PBYTE buffer, DWORD size, PDWORD required) {
  size_t index = 0;
  Device* device = Member(DeviceSet(set), data, &index);
  if (device == nullptr) {
    return FALSE;
  }
  if (device->propertyError != 0) {
    return Fail(device->propertyError);
  }
  if (property != SPDRP_HARDWAREID) {
    return Fail(ERROR_INVALID_DATA);
  }
  const bool changing = !device->changingHardwareIds.empty();
  const std::string bytes = changing ? device->changingHardwareIds.front() : device->hardwareIds;
  if (changing) {
    device->changingHardwareIds.pop_front();
  } else if (bytes.empty()) {
    return Fail(ERROR_INVALID_DATA);
  }
  const DWORD needed = static_cast<DWORD>(bytes.size());
  if (required != nullptr) {
    *required = needed;
  }
  if (type != nullptr) {
    *type = REG_MULTI_SZ;
  }
  if (size < needed || (buffer == nullptr && needed != 0)) {
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  if (needed != 0) {
    memcpy(buffer, bytes.data(), needed);
  }
  return TRUE;
}

HKEY SetupDiOpenDevRegKey(HDEVINFO set, PSP_DEVINFO_DATA data, DWORD scope, DWORD profile, DWORD keyType,
                          REGSAM access) {
  winsim::Machine& m = machine();
  m.openDevRegKeyCalls.push_back({InstanceId(set, data), scope, profile, keyType, access});
  HKEY const failed = reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE);
  size_t index = 0;
  const Device* device = Member(DeviceSet(set), data, &index);
  if (device == nullptr) {
    return failed;
  }
  if (device->openKeyError != 0) {
    m.lastError = device->openKeyError;
    return failed;
  }
  if (keyType != DIREG_DRV || device->driverKey.empty() || !m.HasKey(device->driverKey)) {
    m.lastError = ERROR_KEY_DOES_NOT_EXIST;
    return failed;
  }
  return m.OpenKey(device->driverKey);
}

BOOL SetupDiSetClassInstallParamsA(HDEVINFO set, PSP_DEVINFO_DATA data, PSP_CLASSINSTALL_HEADER params,
                                   DWORD size) {
  winsim::Machine& m = machine();
  winsim::ClassInstallParamsCall call{};
  call.instanceId = InstanceId(set, data);
  call.paramsGiven = params != nullptr;
  call.size = size;
  if (params != nullptr) {
    call.headerSize = params->cbSize;
    call.installFunction = params->InstallFunction;
    if (params->InstallFunction == DIF_REMOVE && size >= sizeof(SP_REMOVEDEVICE_PARAMS)) {
      const SP_REMOVEDEVICE_PARAMS* remove = reinterpret_cast<const SP_REMOVEDEVICE_PARAMS*>(params);
      call.scope = remove->Scope;
      call.hwProfile = remove->HwProfile;
    }
  }
  m.classInstallParamsCalls.push_back(call);
  if (m.classInstallParamsUnsupported) {
    return Fail(ERROR_CALL_NOT_IMPLEMENTED);
  }
  Handle* handle = DeviceSet(set);
  size_t index = 0;
  if (handle == nullptr || Member(handle, data, &index) == nullptr) {
    return FALSE;
  }
  if (params == nullptr) {
    // No parameters: those given before are dropped.
    handle->removeParams.erase(index);
    return TRUE;
  }
  if (params->cbSize != sizeof(SP_CLASSINSTALL_HEADER)) {
    return Fail(ERROR_INVALID_USER_BUFFER);
  }
  if (params->InstallFunction == DIF_REMOVE) {
    if (size != sizeof(SP_REMOVEDEVICE_PARAMS)) {
      return Fail(ERROR_INVALID_PARAMETER);
    }
    handle->removeParams.insert(index);
  }
  return TRUE;
}

BOOL SetupDiCallClassInstaller(UINT installFunction, HDEVINFO set, PSP_DEVINFO_DATA data) {
  winsim::Machine& m = machine();
  m.classInstallerCalls.push_back({installFunction, InstanceId(set, data)});
  Handle* handle = DeviceSet(set);
  size_t index = 0;
  Device* device = Member(handle, data, &index);
  if (device == nullptr) {
    return FALSE;
  }
  if (installFunction != DIF_REMOVE) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (handle->removeParams.count(index) == 0) {
    return Fail(ERROR_NO_CLASSINSTALL_PARAMS);
  }
  if (device->removed) {
    return Fail(ERROR_NO_SUCH_DEVINST);
  }
  if (device->removeError != 0) {
    return Fail(device->removeError);
  }
  device->removed = true;
  device->attached = false;
  return TRUE;
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) {
  if (DeviceSet(set) == nullptr) {
    return FALSE;
  }
  machine().handles.erase(reinterpret_cast<uintptr_t>(set));
  return TRUE;
}
