#include "uninstaller/kit_programs.h"

#include "common/process_helpers.h"

namespace {
// The first entry of a process snapshot that `matches`; false when there
// is none, or no snapshot.
template <typename Matches>
bool FindProcess(Matches matches, PROCESSENTRY32* found) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return false;
  }
  found->dwSize = sizeof(*found);
  bool matched = false;
  while (!matched && Process32Next(snapshot, found)) {
    matched = matches(*found);
  }
  CloseHandle(snapshot);
  return matched;
}

// Whether `path` names an entry inside `folder`, which may end with a
// backslash; letters compared without regard to ASCII case.
bool LiesInside(const char* path, const char* folder) {
  size_t length = strlen(folder);
  while (length != 0 && folder[length - 1] == '\\') {
    --length;
  }
  return length != 0 && SameNoCase(path, folder, length) && path[length] == '\\' && path[length + 1] != '\0';
}

// Whether the program file of the process lies inside `folder`: the first
// module of the process's module list is its program file.
bool RunsFrom(DWORD processId, const char* folder) {
  HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (modules == INVALID_HANDLE_VALUE) {
    return false;
  }
  MODULEENTRY32 module;
  module.dwSize = sizeof(module);
  const bool inside = Module32First(modules, &module) && LiesInside(module.szExePath, folder);
  CloseHandle(modules);
  return inside;
}
}  // namespace

DWORD FindKitProgram(const char* name, const char* folder) {
  const DWORD self = GetCurrentProcessId();
  PROCESSENTRY32 entry;
  const DWORD parent =
      FindProcess([self](const PROCESSENTRY32& e) { return e.th32ProcessID == self; }, &entry)
          ? entry.th32ParentProcessID
          : kNoProcess;
  const bool found = FindProcess(
      [self, parent, name, folder](const PROCESSENTRY32& e) {
        return e.th32ProcessID != self && e.th32ProcessID != parent && ContainsNoCase(e.szExeFile, name) &&
               RunsFrom(e.th32ProcessID, folder);
      },
      &entry);
  return found ? entry.th32ProcessID : kNoProcess;
}
