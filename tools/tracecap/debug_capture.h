// Runs a program under the Win32 debugger API and collects every string it
// sends to the debugger output, in order: the test programs' view of the
// debug loop.
#ifndef KIT_TRACECAP_DEBUG_CAPTURE_H
#define KIT_TRACECAP_DEBUG_CAPTURE_H

#include <windows.h>

#include <string>
#include <vector>

struct CaptureResult {
  bool started = false;              // the program could be started
  DWORD startError = 0;              // GetLastError() of CreateProcessA when not
  DWORD exitCode = 0;                // the program's exit code
  std::vector<std::string> strings;  // every debug string, exactly
};

// Starts `commandLine` (program path first, quoted as needed) under the
// debug loop and runs it until the program ends.
CaptureResult CaptureDebugOutput(const std::string& commandLine);

// One debug string as one printable line: \n, \r and \\ as escapes, every
// byte outside printable ASCII as \xHH.
std::string EscapeDebugString(const std::string& text);

#endif
