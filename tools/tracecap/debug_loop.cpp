#include "tools/tracecap/debug_loop.h"

#include <stdlib.h>

#include "tools/tracecap/process_table.h"

namespace {
// Reads the string an OUTPUT_DEBUG_STRING_EVENT points at out of the
// debuggee. ANSI strings only: the kit's programs send single-byte text.
// A string that cannot be read is passed on empty.
void ForwardDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info, DWORD pid, bool started,
                        const char* name, DebugStringSink sink, void* context) {
  // nDebugStringLength counts the terminator.
  char* buffer = info.nDebugStringLength == 0 ? NULL : static_cast<char*>(malloc(info.nDebugStringLength));
  SIZE_T read = 0;
  if (buffer == NULL || process == NULL ||
      !ReadProcessMemory(process, info.lpDebugStringData, buffer, info.nDebugStringLength, &read)) {
    read = 0;
  }
  size_t length = 0;
  while (length < read && buffer[length] != '\0') {
    ++length;
  }
  sink(kDebugString, pid, started, name, length == 0 ? "" : buffer, length, context);
  free(buffer);
}
}  // namespace

BOOL RunUnderDebugger(char* commandLine, DebugStringSink sink, void* context, DWORD* exitCode, DWORD* error) {
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof(info));
  *exitCode = 0;
  *error = 0;
  if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, DEBUG_PROCESS, NULL, NULL, &startup, &info)) {
    *error = GetLastError();
    return FALSE;
  }
  ProcessTable processes;
  InitProcessTable(&processes);
  // Runs until the started program and each program it started, as far
  // as the loop heard of their start, have ended.
  bool running = true;
  while (running) {
    DEBUG_EVENT event;
    if (!WaitForDebugEvent(&event, INFINITE)) {
      break;
    }
    const DWORD pid = event.dwProcessId;
    const bool started = pid == info.dwProcessId;
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT:
        ForwardDebugString(ProcessHandle(&processes, pid), event.u.DebugString, pid, started,
                           started ? NULL : ProcessName(&processes, pid), sink, context);
        break;
      case EXCEPTION_DEBUG_EVENT:
        // The loader's first breakpoint in each process is ours to pass;
        // everything else goes back to the program unhandled.
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
          status = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile != NULL) {
          CloseHandle(event.u.CreateProcessInfo.hFile);
        }
        KeepProcessHandle(&processes, pid, event.u.CreateProcessInfo.hProcess);
        // The name is looked up while the process surely runs.
        if (!started) {
          ProcessName(&processes, pid);
        }
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile != NULL) {
          CloseHandle(event.u.LoadDll.hFile);
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        sink(kProcessEnded, pid, started, started ? NULL : ProcessName(&processes, pid), "", 0, context);
        if (started) {
          *exitCode = event.u.ExitProcess.dwExitCode;
        }
        ForgetProcess(&processes, pid);
        running = processes.count > 0;
        break;
      default:
        break;
    }
    ContinueDebugEvent(pid, event.dwThreadId, status);
  }
  FreeProcessTable(&processes);
  WaitForSingleObject(info.hProcess, INFINITE);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return TRUE;
}
