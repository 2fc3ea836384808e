#include "tools/tracecap/debug_capture.h"

#include <stdio.h>

namespace {
// Reads the string an OUTPUT_DEBUG_STRING_EVENT points at out of the
// debuggee. ANSI strings only: both programs send single-byte text.
std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  std::string text;
  if (info.nDebugStringLength == 0) {
    return text;
  }
  std::vector<char> buffer(info.nDebugStringLength);
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, info.lpDebugStringData, buffer.data(), buffer.size(), &read)) {
    return text;
  }
  // nDebugStringLength counts the terminator.
  size_t length = 0;
  while (length < read && buffer[length] != '\0') {
    ++length;
  }
  text.assign(buffer.data(), length);
  return text;
}
}  // namespace

CaptureResult CaptureDebugOutput(const std::string& commandLine) {
  CaptureResult result;
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof(info));
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, DEBUG_ONLY_THIS_PROCESS, NULL, NULL, &startup,
                      &info)) {
    result.startError = GetLastError();
    return result;
  }
  result.started = true;
  bool running = true;
  while (running) {
    DEBUG_EVENT event;
    if (!WaitForDebugEvent(&event, INFINITE)) {
      break;
    }
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT:
        result.strings.push_back(ReadDebugString(info.hProcess, event.u.DebugString));
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
        result.exitCode = event.u.ExitProcess.dwExitCode;
        running = false;
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
  WaitForSingleObject(info.hProcess, INFINITE);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return result;
}

std::string EscapeDebugString(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c < 0x20 || c > 0x7E) {
      char hex[5];
      snprintf(hex, sizeof(hex), "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}
