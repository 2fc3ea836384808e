// tracecap PROGRAM [ARGUMENTS...]
// Runs PROGRAM under the debugger, prints every string it sends to the
// debugger output on a line of its own (escaped), then "exit code: N", and
// exits with the program's exit code.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tools/tracecap/debug_loop.h"

namespace {
// The most one argument can take once quoted: every byte doubled, the
// two quotes and the separating space.
size_t QuotedLength(const char* argument) { return strlen(argument) * 2 + 3; }

// Appends one argument at `out`, quoted the way the C runtime splits it
// again. Returns the end of what was written.
char* AppendArgument(char* out, const char* argument) {
  if (argument[0] != '\0' && strpbrk(argument, " \t\"") == NULL) {
    const size_t length = strlen(argument);
    memcpy(out, argument, length);
    return out + length;
  }
  *out++ = '"';
  size_t backslashes = 0;
  for (const char* c = argument; *c != '\0'; ++c) {
    if (*c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled and the quote escaped;
    // elsewhere they stand as they are.
    const size_t count = *c == '"' ? backslashes * 2 + 1 : backslashes;
    memset(out, '\\', count);
    out += count;
    backslashes = 0;
    *out++ = *c;
  }
  memset(out, '\\', backslashes * 2);
  out += backslashes * 2;
  *out++ = '"';
  return out;
}

void PrintEscaped(const char* text, size_t length, void*) {
  char* line = static_cast<char*>(malloc(EscapedLength(length) + 1));
  if (line == NULL) {
    fprintf(stderr, "tracecap: out of memory for a string of %lu bytes\n",
            static_cast<unsigned long>(length));
    exit(2);
  }
  const size_t written = EscapeDebugBytes(text, length, line);
  line[written] = '\n';
  fwrite(line, 1, written + 1, stdout);
  free(line);
}
}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    fprintf(stderr, "usage: tracecap PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  size_t size = 1;
  for (int i = 1; i < argc; ++i) {
    size += QuotedLength(argv[i]);
  }
  char* commandLine = static_cast<char*>(malloc(size));
  if (commandLine == NULL) {
    fprintf(stderr, "tracecap: out of memory for the command line\n");
    return 2;
  }
  char* end = commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) {
      *end++ = ' ';
    }
    end = AppendArgument(end, argv[i]);
  }
  *end = '\0';
  DWORD exitCode = 0;
  DWORD error = 0;
  const BOOL started = RunUnderDebugger(commandLine, PrintEscaped, NULL, &exitCode, &error);
  free(commandLine);
  if (!started) {
    fprintf(stderr, "tracecap: cannot start %s (error %lu)\n", argv[1], error);
    return 2;
  }
  fprintf(stdout, "exit code: %lu\n", exitCode);
  fflush(stdout);
  return static_cast<int>(exitCode);
}
