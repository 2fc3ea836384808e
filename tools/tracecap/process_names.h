// The program names of process ids, looked up once per id in a process
// snapshot and kept for the rest of the run.
#ifndef KIT_TRACECAP_PROCESS_NAMES_H
#define KIT_TRACECAP_PROCESS_NAMES_H

#include <windows.h>

#include "tools/tracecap/line_format.h"

struct KnownProcess {
  DWORD pid;
  char name[kNameSize];
};

struct ProcessNames {
  KnownProcess* known;
  size_t count;
  size_t capacity;
};

void InitProcessNames(ProcessNames* names);
void FreeProcessNames(ProcessNames* names);

// The file name of the program that process `pid` runs, or "unknown" when
// it had ended before it could be looked up (or no memory was left to keep
// it). The text stays valid until the next call.
const char* ProcessName(ProcessNames* names, DWORD pid);

// Drops what is kept for `pid`: its process has ended, and the id may
// come back for another program.
void ForgetProcess(ProcessNames* names, DWORD pid);

#endif
