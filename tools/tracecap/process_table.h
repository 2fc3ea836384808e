// One table of the processes tracecap hears from, by process id: the
// program's file name, looked up once in a process snapshot and kept for
// the rest of the run, and in launch mode the handle that the debug loop
// reads the process's strings through. Each answering thread of the
// listener keeps one of its own, and so does the debug loop.
#ifndef KIT_TRACECAP_PROCESS_TABLE_H
#define KIT_TRACECAP_PROCESS_TABLE_H

#include <windows.h>

#include "tools/tracecap/line_format.h"

struct KnownProcess {
  DWORD pid;
  // The debug loop's handle of the process (closed by the system at the
  // loop's end), or null.
  HANDLE process;
  bool named;  // whether `name` has been looked up
  char name[kNameSize];
};

struct ProcessTable {
  KnownProcess* known;
  size_t count;
  size_t capacity;
};

void InitProcessTable(ProcessTable* table);
void FreeProcessTable(ProcessTable* table);

// Keeps `process`, the handle that the strings of `pid` are read through.
// Without room to keep it, the process's strings come out empty.
void KeepProcessHandle(ProcessTable* table, DWORD pid, HANDLE process);

// The handle kept for `pid`, or null.
HANDLE ProcessHandle(const ProcessTable* table, DWORD pid);

// The file name of the program that process `pid` runs, or "unknown" when
// it had ended before it could be looked up (or no memory was left to keep
// it). The text stays valid until the table next grows.
const char* ProcessName(ProcessTable* table, DWORD pid);

// Drops what is kept for `pid`: its process has ended, and the id may
// come back for another program.
void ForgetProcess(ProcessTable* table, DWORD pid);

#endif
