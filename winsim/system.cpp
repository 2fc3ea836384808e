// Version, folders, the program's own module and the WOW64 probe.
#include "winsim/machine.h"

using winsim::machine;

namespace {
const uintptr_t kKernel32 = 0x7C800000;

BOOL WINAPI SimIsWow64Process(HANDLE process, PBOOL answer) {
  winsim::Machine& m = machine();
  ++m.wow64Calls;
  if (process != GetCurrentProcess() || m.wow64 == winsim::Wow64::kCallFails) {
    m.lastError = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  *answer = m.wow64 == winsim::Wow64::kAnswersTrue ? TRUE : FALSE;
  return TRUE;
}

UINT CopyFolder(const std::string& folder, LPSTR buffer, UINT size) {
  // As Windows does: the length without the terminator when it fits, else
  // the size needed with it and the buffer left alone.
  if (folder.size() + 1 > size) {
    return static_cast<UINT>(folder.size() + 1);
  }
  memcpy(buffer, folder.c_str(), folder.size() + 1);
  return static_cast<UINT>(folder.size());
}
}  // namespace

const GUID GUID_DEVCLASS_USB = {0x36fc9e60, 0xc465, 0x11cf, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  winsim::Machine& m = machine();
  if (m.versionFails || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
    m.lastError = ERROR_INSUFFICIENT_BUFFER;
    return FALSE;
  }
  info->dwMajorVersion = m.majorVersion;
  info->dwMinorVersion = m.minorVersion;
  info->dwBuildNumber = 2600;
  info->dwPlatformId = 2;
  info->szCSDVersion[0] = '\0';
  return TRUE;
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
  winsim::Machine& m = machine();
  if (m.systemDirectoryFails) {
    m.lastError = ERROR_PATH_NOT_FOUND;
    return 0;
  }
  return CopyFolder(m.systemDirectory, buffer, size);
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  winsim::Machine& m = machine();
  if (module != nullptr || size == 0) {
    m.lastError = ERROR_INVALID_PARAMETER;
    return 0;
  }
  const std::string& path = m.modulePath;
  if (path.size() < size) {
    memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
  }
  // Windows XP: cut to the buffer, without a terminator.
  memcpy(buffer, path.c_str(), size);
  m.lastError = ERROR_INSUFFICIENT_BUFFER;
  return size;
}

HMODULE GetModuleHandleA(LPCSTR name) {
  if (name != nullptr && winsim::Upper(name) == "KERNEL32") {
    return reinterpret_cast<HMODULE>(kKernel32);
  }
  machine().lastError = ERROR_FILE_NOT_FOUND;
  return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  winsim::Machine& m = machine();
  if (module == reinterpret_cast<HMODULE>(kKernel32) && strcmp(name, "IsWow64Process") == 0 &&
      m.wow64 != winsim::Wow64::kExportMissing) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SimIsWow64Process));
  }
  m.lastError = 127;  // ERROR_PROC_NOT_FOUND
  return nullptr;
}
