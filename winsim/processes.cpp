// Processes: the running processes, Tool Help snapshots of them and of a
// process's modules, and process handles.
#include <stdio.h>

#include "winsim/simulated_windows.h"

using winsim::Handle;
using winsim::machine;

namespace winsim {

Process& Machine::AddProcess(DWORD id, const std::string& exeFile) {
  Process process;
  process.id = id;
  process.exeFile = exeFile;
  processes.push_back(process);
  return processes.back();
}

Process* Machine::FindProcess(DWORD id) {
  for (Process& process : processes) {
    if (process.id == id) {
      return &process;
    }
  }
  return nullptr;
}

}  // namespace winsim

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)); }

DWORD GetCurrentProcessId() { return machine().currentProcessId; }

// A module snapshot holds the one process, whose program file is its
// first module. A process whose program file cannot be learned (a 64-bit
// one seen from WOW64) gives none, as Tool Help does.
HANDLE ModuleSnapshot(DWORD processId) {
  winsim::Machine& m = machine();
  const winsim::Process* process = m.FindProcess(processId);
  if (process == nullptr || !process->running) {
    m.lastError = ERROR_INVALID_PARAMETER;
    return INVALID_HANDLE_VALUE;
  }
  if (process->imagePath.empty()) {
    m.lastError = ERROR_PARTIAL_COPY;
    return INVALID_HANDLE_VALUE;
  }
  Handle snapshot;
  snapshot.kind = Handle::Kind::kSnapshot;
  snapshot.snapshot.push_back(*process);
  snapshot.modules = true;
  return m.Open(snapshot);
}

HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId) {
  winsim::Machine& m = machine();
  if (flags == TH32CS_SNAPMODULE && !m.snapshotFails) {
    return ModuleSnapshot(processId);
  }
  if (m.snapshotFails || flags != TH32CS_SNAPPROCESS || processId != 0) {
    m.lastError = ERROR_NOT_ENOUGH_MEMORY;
    return INVALID_HANDLE_VALUE;
  }
  Handle snapshot;
  snapshot.kind = Handle::Kind::kSnapshot;
  for (const winsim::Process& process : m.processes) {
    if (process.running) {
      snapshot.snapshot.push_back(process);
    }
  }
  return m.Open(snapshot);
}

BOOL Process32Next(HANDLE snapshot, PROCESSENTRY32* entry) {
  winsim::Machine& m = machine();
  Handle* handle = m.Lookup(snapshot, Handle::Kind::kSnapshot);
  if (handle == nullptr || handle->modules || entry->dwSize != sizeof(PROCESSENTRY32)) {
    m.lastError = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  // A fresh snapshot yields its first entry, as Process32First would.
  if (handle->position >= handle->snapshot.size()) {
    m.lastError = ERROR_NO_MORE_FILES;
    return FALSE;
  }
  const winsim::Process& process = handle->snapshot[handle->position++];
  entry->th32ProcessID = process.id;
  entry->th32ParentProcessID = process.parentId;
  snprintf(entry->szExeFile, sizeof(entry->szExeFile), "%s", process.exeFile.c_str());
  return TRUE;
}

BOOL Module32First(HANDLE snapshot, MODULEENTRY32* entry) {
  winsim::Machine& m = machine();
  Handle* handle = m.Lookup(snapshot, Handle::Kind::kSnapshot);
  if (handle == nullptr || !handle->modules || entry->dwSize != sizeof(MODULEENTRY32)) {
    m.lastError = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  const winsim::Process& process = handle->snapshot[0];
  entry->th32ProcessID = process.id;
  snprintf(entry->szModule, sizeof(entry->szModule), "%s", process.exeFile.c_str());
  snprintf(entry->szExePath, sizeof(entry->szExePath), "%s", process.imagePath.c_str());
  return TRUE;
}

HANDLE OpenProcess(DWORD access, BOOL inheritHandle, DWORD processId) {
  winsim::Machine& m = machine();
  m.openProcessCalls.push_back({access, inheritHandle, processId});
  winsim::Process* process = m.FindProcess(processId);
  if (process == nullptr || !process->running) {
    m.lastError = ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  if (process->refuseOpen) {
    m.lastError = ERROR_ACCESS_DENIED;
    return nullptr;
  }
  Handle handle;
  handle.kind = Handle::Kind::kProcess;
  handle.processId = processId;
  return m.Open(handle);
}

BOOL TerminateProcess(HANDLE process, UINT exitCode) {
  winsim::Machine& m = machine();
  Handle* handle = m.Lookup(process, Handle::Kind::kProcess);
  winsim::Process* target = handle == nullptr ? nullptr : m.FindProcess(handle->processId);
  if (target == nullptr || !target->running) {
    m.lastError = ERROR_ACCESS_DENIED;
    return FALSE;
  }
  target->running = false;
  target->terminated = true;
  target->exitCode = exitCode;
  return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
  winsim::Machine& m = machine();
  auto it = m.handles.find(reinterpret_cast<uintptr_t>(handle));
  if (it == m.handles.end() ||
      (it->second.kind != Handle::Kind::kProcess && it->second.kind != Handle::Kind::kSnapshot)) {
    m.lastError = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  m.handles.erase(it);
  return TRUE;
}
