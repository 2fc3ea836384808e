#include "tools/tracecap/launch_mode.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tools/tracecap/debug_loop.h"
#include "tools/tracecap/line_format.h"
#include "tools/tracecap/output.h"

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

void OnDebugNews(DebugNews news, DWORD pid, bool started, const char* name, const char* text, size_t length,
                 void* context) {
  LineJoiner* joiner = static_cast<LineJoiner*>(context);
  bool written = true;
  if (news == kDebugString) {
    const CaughtString string = {0, pid, started ? NULL : name, text, length};
    written = JoinString(joiner, string);
  } else {
    written = FlushHeldTags(joiner, pid);
  }
  if (!written) {
    OutOfMemory();
  }
}
}  // namespace

int Launch(int argc, char* argv[], const TracecapOptions& options) {
  size_t size = 1;
  for (int i = options.program; i < argc; ++i) {
    size += QuotedLength(argv[i]);
  }
  char* commandLine = static_cast<char*>(malloc(size));
  if (commandLine == NULL) {
    OutOfMemory();
  }
  char* end = commandLine;
  for (int i = options.program; i < argc; ++i) {
    if (i > options.program) {
      *end++ = ' ';
    }
    end = AppendArgument(end, argv[i]);
  }
  *end = '\0';
  LineWriter writer;
  InitLineWriter(&writer, kLineLaunch, PrintLine, NULL);
  LineJoiner joiner;
  InitLineJoiner(&joiner, options.joined, &writer);
  DWORD exitCode = 0;
  DWORD error = 0;
  const BOOL started = RunUnderDebugger(commandLine, OnDebugNews, &joiner, &exitCode, &error);
  free(commandLine);
  const bool flushed = FlushHeldTags(&joiner, kEveryProcess);
  FreeLineWriter(&writer);
  if (!started) {
    fprintf(stderr, "tracecap: cannot start %s (error %lu)\n", argv[options.program], error);
    return 2;
  }
  if (!flushed) {
    OutOfMemory();
  }
  fprintf(stdout, "exit code: %lu\n", exitCode);
  fflush(stdout);
  return static_cast<int>(exitCode);
}
