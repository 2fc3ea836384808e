#include "common/process_helpers.h"

namespace {
// Capitals keep their value, every other byte is lowered by 32: two bytes
// then fold alike exactly when they are equal or are one ASCII letter in
// its two cases.
int Fold(char c) {
  const signed char value = static_cast<signed char>(c);
  if (value >= 'A' && value <= 'Z') {
    return value;
  }
  return value - 32;
}
}  // namespace

int ContainsNoCase(const char* searched, const char* wanted) {
  if (searched == NULL || wanted == NULL || wanted[0] == '\0') {
    return 0;
  }
  for (const char* start = searched; *start != '\0'; ++start) {
    int i = 0;
    while (wanted[i] != '\0' && start[i] != '\0' && Fold(start[i]) == Fold(wanted[i])) {
      ++i;
    }
    if (wanted[i] == '\0') {
      return 1;
    }
  }
  return 0;
}

int SameNoCase(const char* a, const char* b, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (Fold(a[i]) != Fold(b[i])) {
      return 0;
    }
    if (a[i] == '\0') {
      return 1;
    }
  }
  return 1;
}

DWORD FindProcessByName(const char* text) {
  const DWORD self = GetCurrentProcessId();
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return kNoProcess;
  }
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  // The walk starts with Process32Next on the fresh snapshot.
  while (Process32Next(snapshot, &entry)) {
    // A program never picks itself, whatever its own file is called.
    if (entry.th32ProcessID != self && ContainsNoCase(entry.szExeFile, text)) {
      CloseHandle(snapshot);
      return entry.th32ProcessID;
    }
  }
  CloseHandle(snapshot);
  return kNoProcess;
}
