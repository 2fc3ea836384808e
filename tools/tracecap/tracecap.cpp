// tracecap PROGRAM [ARGUMENTS...]
// Runs PROGRAM under the debugger, prints every string it sends to the
// debugger output on a line of its own (escaped), then "exit code: N", and
// exits with the program's exit code.
#include <stdio.h>

#include <string>

#include "tools/tracecap/debug_capture.h"

namespace {
// Quotes one argument the way the C runtime splits it again.
std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
    return argument;
  }
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      quoted.append(backslashes * 2 + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}
}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    fprintf(stderr, "usage: tracecap PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) {
      commandLine += ' ';
    }
    commandLine += QuoteArgument(argv[i]);
  }
  const CaptureResult result = CaptureDebugOutput(commandLine);
  if (!result.started) {
    fprintf(stderr, "tracecap: cannot start %s (error %lu)\n", argv[1], result.startError);
    return 2;
  }
  for (const std::string& text : result.strings) {
    printf("%s\n", EscapeDebugString(text).c_str());
  }
  printf("exit code: %lu\n", result.exitCode);
  fflush(stdout);
  return static_cast<int>(result.exitCode);
}
