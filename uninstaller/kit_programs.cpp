#include "uninstaller/kit_programs.h"

#include "common/process_helpers.h"

namespace {
// The id of the process that started this one, or kNoProcess.
DWORD OwnParent() {
  const DWORD self = GetCurrentProcessId();
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return kNoProcess;
  }
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  DWORD parent = kNoProcess;
  while (parent == kNoProcess && Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == self) {
      parent = entry.th32ParentProcessID;
    }
  }
  CloseHandle(snapshot);
  return parent;
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
  const DWORD parent = OwnParent();
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return kNoProcess;
  }
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  DWORD found = kNoProcess;
  while (found == kNoProcess && Process32Next(snapshot, &entry)) {
    const DWORD id = entry.th32ProcessID;
    if (id != self && id != parent && ContainsNoCase(entry.szExeFile, name) && RunsFrom(id, folder)) {
      found = id;
    }
  }
  CloseHandle(snapshot);
  return found;
}
