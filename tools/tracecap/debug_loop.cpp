#include "tools/tracecap/debug_loop.h"

#include <stdlib.h>

namespace {
// Reads the string an OUTPUT_DEBUG_STRING_EVENT points at out of the
// debuggee and passes it on. ANSI strings only: both programs send
// single-byte text. A string that cannot be read is passed on empty.
void ForwardDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info, DebugStringSink sink,
                        void* context) {
  // nDebugStringLength counts the terminator.
  char* buffer = info.nDebugStringLength == 0 ? NULL : static_cast<char*>(malloc(info.nDebugStringLength));
  SIZE_T read = 0;
  if (buffer == NULL ||
      !ReadProcessMemory(process, info.lpDebugStringData, buffer, info.nDebugStringLength, &read)) {
    read = 0;
  }
  size_t length = 0;
  while (length < read && buffer[length] != '\0') {
    ++length;
  }
  sink(length == 0 ? "" : buffer, length, context);
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
  if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, DEBUG_ONLY_THIS_PROCESS, NULL, NULL, &startup,
                      &info)) {
    *error = GetLastError();
    return FALSE;
  }
  BOOL running = TRUE;
  while (running) {
    DEBUG_EVENT event;
    if (!WaitForDebugEvent(&event, INFINITE)) {
      break;
    }
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT:
        ForwardDebugString(info.hProcess, event.u.DebugString, sink, context);
        break;
      case EXCEPTION_DEBUG_EVENT:
        // The loader's first breakpoint is ours to pass; everything else
        // goes back to the program unhandled.
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
          status = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile != NULL) {
          CloseHandle(event.u.CreateProcessInfo.hFile);
        }
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile != NULL) {
          CloseHandle(event.u.LoadDll.hFile);
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        *exitCode = event.u.ExitProcess.dwExitCode;
        running = FALSE;
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
  WaitForSingleObject(info.hProcess, INFINITE);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return TRUE;
}

size_t EscapedLength(size_t length) { return length * 4; }

size_t EscapeDebugBytes(const char* text, size_t length, char* out) {
  static const char kHex[] = "0123456789ABCDEF";
  size_t n = 0;
  for (size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n' || c == '\r' || c == '\\') {
      out[n++] = '\\';
      out[n++] = c == '\n' ? 'n' : c == '\r' ? 'r' : '\\';
    } else if (c < 0x20 || c > 0x7E) {
      out[n++] = '\\';
      out[n++] = 'x';
      out[n++] = kHex[c >> 4];
      out[n++] = kHex[c & 0xF];
    } else {
      out[n++] = static_cast<char>(c);
    }
  }
  out[n] = '\0';
  return n;
}
