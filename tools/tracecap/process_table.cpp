#include "tools/tracecap/process_table.h"

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

KnownProcess* Find(const ProcessTable* table, DWORD pid) {
  for (size_t i = 0; i < table->count; ++i) {
    if (table->known[i].pid == pid) {
      return &table->known[i];
    }
  }
  return NULL;
}

// The entry of `pid`, made (without a handle or a name) when there is
// none; null when no memory was left for it.
KnownProcess* FindOrAdd(ProcessTable* table, DWORD pid) {
  KnownProcess* found = Find(table, pid);
  if (found != NULL) {
    return found;
  }
  if (table->count == table->capacity) {
    const size_t capacity = table->capacity == 0 ? 16 : table->capacity * 2;
    KnownProcess* bigger = static_cast<KnownProcess*>(malloc(capacity * sizeof(KnownProcess)));
    if (bigger == NULL) {
      return NULL;
    }
    if (table->count > 0) {
      memcpy(bigger, table->known, table->count * sizeof(KnownProcess));
    }
    free(table->known);
    table->known = bigger;
    table->capacity = capacity;
  }
  KnownProcess* process = &table->known[table->count++];
  process->pid = pid;
  process->process = NULL;
  process->named = false;
  return process;
}
}  // namespace

void InitProcessTable(ProcessTable* table) {
  table->known = NULL;
  table->count = 0;
  table->capacity = 0;
}

void FreeProcessTable(ProcessTable* table) {
  free(table->known);
  InitProcessTable(table);
}

void KeepProcessHandle(ProcessTable* table, DWORD pid, HANDLE process) {
  KnownProcess* known = FindOrAdd(table, pid);
  if (known != NULL) {
    known->process = process;
  }
}

HANDLE ProcessHandle(const ProcessTable* table, DWORD pid) {
  const KnownProcess* known = Find(table, pid);
  return known == NULL ? NULL : known->process;
}

const char* ProcessName(ProcessTable* table, DWORD pid) {
  KnownProcess* known = FindOrAdd(table, pid);
  if (known == NULL) {
    return kUnknown;
  }
  if (!known->named) {
    LookUp(pid, known->name);
    known->named = true;
  }
  return known->name;
}

void ForgetProcess(ProcessTable* table, DWORD pid) {
  KnownProcess* known = Find(table, pid);
  if (known != NULL) {
    *known = table->known[--table->count];
  }
}
