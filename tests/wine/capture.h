// A program run under the Win32 debugger API with every string it sends to
// the debugger output collected in order, through tracecap's debug loop;
// and the comparison of such strings with what a test expects.
#ifndef KIT_TESTS_WINE_CAPTURE_H
#define KIT_TESTS_WINE_CAPTURE_H

#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace wine {

struct CaptureResult {
  bool started = false;              // the program could be started
  DWORD startError = 0;              // GetLastError() of CreateProcessA when not
  DWORD exitCode = 0;                // the program's exit code
  std::vector<std::string> strings;  // every debug string, exactly
};

// Starts `commandLine` (program path first, quoted as needed) under the
// debug loop and runs it until the program ends.
CaptureResult CaptureDebugOutput(const std::string& commandLine);

// One debug string as one printable line, as tracecap prints it: \n, \r
// and \\ as escapes, every byte outside printable ASCII as \xHH.
std::string EscapeDebugString(const std::string& text);

// Each string escaped.
std::vector<std::string> Escaped(const std::vector<std::string>& strings);

// Runs the program at `path` with `arguments` under the debugger and
// checks that it started and ended with `expectedExitCode`.
CaptureResult RunTraced(const std::string& path, const std::vector<std::string>& arguments,
                        DWORD expectedExitCode);

// Compares two sequences of debug strings in full and, on a difference,
// prints both, escaped, one string a line, with the first difference
// marked.
::testing::AssertionResult SameDebugStrings(const std::vector<std::string>& expected,
                                            const std::vector<std::string>& actual);

}  // namespace wine

#endif
