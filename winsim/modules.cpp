// Modules: the program's own file, kernel32 and the IsWow64Process export
// that Windows 2000 and early XP lack.
#include "tests/kit_facts/letter_case.h"
#include "winsim/simulated_windows.h"

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
}  // namespace

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
  if (name != nullptr && kit::SameLetters(name, "kernel32")) {
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
