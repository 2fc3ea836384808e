#include "tools/tracecap/process_names.h"

#include <stdlib.h>
#include <string.h>
#include <tlhelp32.h>

namespace {
const char kUnknown[] = "unknown";

// Looks the process up in a fresh snapshot; "unknown" when it is not there.
void LookUp(DWORD pid, char* name) {
  memcpy(name, kUnknown, sizeof(kUnknown));
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return;
  }
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  // The walk starts with Process32Next on the fresh snapshot, which gives
  // its first entry.
  while (Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == pid) {
      CopyName(entry.szExeFile, name);
      break;
    }
  }
  CloseHandle(snapshot);
}
}  // namespace

void InitProcessNames(ProcessNames* names) {
  names->known = NULL;
  names->count = 0;
  names->capacity = 0;
}

void FreeProcessNames(ProcessNames* names) {
  free(names->known);
  InitProcessNames(names);
}

const char* ProcessName(ProcessNames* names, DWORD pid) {
  for (size_t i = 0; i < names->count; ++i) {
    if (names->known[i].pid == pid) {
      return names->known[i].name;
    }
  }
  if (names->count == names->capacity) {
    const size_t capacity = names->capacity == 0 ? 16 : names->capacity * 2;
    KnownProcess* bigger = static_cast<KnownProcess*>(malloc(capacity * sizeof(KnownProcess)));
    if (bigger == NULL) {
      return kUnknown;
    }
    if (names->count > 0) {
      memcpy(bigger, names->known, names->count * sizeof(KnownProcess));
    }
    free(names->known);
    names->known = bigger;
    names->capacity = capacity;
  }
  KnownProcess* process = &names->known[names->count++];
  process->pid = pid;
  LookUp(pid, process->name);
  return process->name;
}

void ForgetProcess(ProcessNames* names, DWORD pid) {
  for (size_t i = 0; i < names->count; ++i) {
    if (names->known[i].pid == pid) {
      names->known[i] = names->known[--names->count];
      return;
    }
  }
}
