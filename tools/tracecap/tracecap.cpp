// tracecap: shows what programs send to the debugger output, escaped, one
// string a line.
//
// tracecap [--joined] PROGRAM [ARGUMENTS...] runs PROGRAM under the
// debugger, prints every string it sends on a line of its own and every
// string of the programs it starts on a line marked with their process id
// and name, then "exit code: N", and exits with PROGRAM's exit code.
//
// tracecap --listen [--global] [--joined] [--only NAMES] [--out FILE
// [--max-size SIZE]] [--seconds N] prints the strings of every process in
// the session (with --global, of session 0's services too), whoever
// started it, with the time since listening began, the process id and the
// program's name, until N seconds have passed or Ctrl+C, Ctrl+Break or the
// closing of the console stops it; with --max-size the --out file rolls
// over to its older part. Exit code 0, or 1 when it cannot listen, or the --out file
// could not take every line or roll over every time.
//
// Bad command lines get the usage text and exit code 2.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tools/tracecap/dbwin_listener.h"
#include "tools/tracecap/debug_loop.h"
#include "tools/tracecap/line_format.h"
#include "tools/tracecap/options.h"
#include "tools/tracecap/rolling_file.h"

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

void OutOfMemory() {
  fprintf(stderr, "tracecap: out of memory\n");
  exit(2);
}

// Each line goes to the --out file first, in listen mode, and then to the
// console (or whatever standard output is).
void PrintLine(const char* line, size_t length, void* context) {
  if (context != NULL) {
    WriteRolling(static_cast<RollingFile*>(context), line, length);
  }
  fwrite(line, 1, length, stdout);
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

// How long the strings after the first of a batch are gathered.
const DWORD kGatherMilliseconds = 50;

// Set by Ctrl+C, Ctrl+Break, the closing of the console, a log-off or a
// shutdown; `g_done` once what was caught is written.
HANDLE g_stop = NULL;
HANDLE g_done = NULL;

BOOL WINAPI OnConsoleControl(DWORD /*event*/) {
  // A second Ctrl+C, while the first is still writing out what was
  // caught, ends tracecap at once.
  if (WaitForSingleObject(g_stop, 0) == WAIT_OBJECT_0) {
    return FALSE;
  }
  SetEvent(g_stop);
  // For a closing console the process ends when this returns.
  WaitForSingleObject(g_done, INFINITE);
  return TRUE;
}

struct ListenRun {
  DbwinListener listener;
  StringBatch spare;
  LineWriter writer;
  LineJoiner joiner;
  RollingFile out;
  unsigned long dropped;
};

// Prints what waits, outside the listener's lock, and flushes it out.
void PrintWaiting(ListenRun* run) {
  unsigned long dropped = 0;
  TakeStrings(&run->listener, &run->spare, &dropped);
  size_t offset = 0;
  CaughtString string;
  bool written = true;
  while (NextInBatch(&run->spare, &offset, &string)) {
    written = JoinString(&run->joiner, string) && written;
  }
  run->spare.used = 0;
  if (dropped > 0) {
    char text[kDropNoteSize];
    const size_t length = FormatDropNote(dropped, text);
    const CaughtString note = {GetTickCount() - run->listener.start, 0, "tracecap", text, length};
    written = WriteLine(&run->writer, note, NULL) && written;
    run->dropped += dropped;
  }
  if (!written) {
    OutOfMemory();
  }
  FlushRolling(&run->out);
  fflush(stdout);
}

int ListenWith(ListenRun* run, const TracecapOptions& options) {
  // The events live as long as the process: a control handler may still
  // be waiting on g_done when the run ends.
  g_stop = CreateEventA(NULL, TRUE, FALSE, NULL);
  g_done = CreateEventA(NULL, TRUE, FALSE, NULL);
  if (g_stop == NULL || g_done == NULL || !InitBatch(&run->spare, kBatchBytes)) {
    OutOfMemory();
  }
  DWORD error = 0;
  const ListenStart start = StartListening(&run->listener, options.global, options.only, &error);
  if (start != kListening) {
    FreeBatch(&run->spare);
    if (start == kOtherListener) {
      fprintf(stderr,
              "tracecap: another debug-output viewer is listening already; only one can at a time, so "
              "close it first\n");
    } else if (start == kNotAdministrator) {
      fprintf(stderr,
              "tracecap: --global needs an administrator (on Windows Vista and 7, a command prompt run as "
              "administrator)\n");
    } else {
      fprintf(stderr, "tracecap: cannot listen to the debug output (error %lu)\n", error);
    }
    return 1;
  }
  // The --out file is opened once the buffers are tracecap's, so that a
  // viewer that is refused leaves it as it was.
  if (!OpenRollingFile(&run->out, options.outPath, options.maxSize, options.global)) {
    StopListening(&run->listener);
    FreeListener(&run->listener);
    FreeBatch(&run->spare);
    fprintf(stderr, "tracecap: cannot write to %s\n%s", options.outPath, kUsage);
    return 2;
  }
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  fprintf(stderr, options.global
                      ? "tracecap: listening to the debug output of every process and service; "
                        "Ctrl+C stops\n"
                      : "tracecap: listening to the debug output of every process; Ctrl+C stops\n");
  InitLineWriter(&run->writer, kLineListen, PrintLine, &run->out);
  InitLineJoiner(&run->joiner, options.joined, &run->writer);
  run->dropped = 0;
  const DWORD limit = static_cast<DWORD>(options.seconds * 1000);
  HANDLE waits[2] = {g_stop, run->listener.available};
  for (;;) {
    DWORD wait = INFINITE;
    if (options.seconds > 0) {
      const DWORD passed = GetTickCount() - run->listener.start;
      if (passed >= limit) {
        break;
      }
      wait = limit - passed;
    }
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, wait);
    if (woke == WAIT_OBJECT_0 + 1) {
      // The strings that follow the first are gathered for a moment and
      // printed together: the answering threads then wake this one, and
      // the output is written, once a batch rather than once a string,
      // which would slow every writer on the machine.
      WaitForSingleObject(g_stop, kGatherMilliseconds);
      PrintWaiting(run);
    } else if (woke != WAIT_TIMEOUT) {
      break;
    }
  }
  StopListening(&run->listener);
  PrintWaiting(run);
  if (!FlushHeldTags(&run->joiner, kEveryProcess)) {
    OutOfMemory();
  }
  const bool fileWhole = CloseRollingFile(&run->out);
  fflush(stdout);
  if (run->dropped > 0) {
    fprintf(stderr, "tracecap: %lu strings dropped: the output was not read fast enough\n", run->dropped);
  }
  FreeListener(&run->listener);
  FreeBatch(&run->spare);
  FreeLineWriter(&run->writer);
  SetEvent(g_done);
  return fileWhole ? 0 : 1;
}

int Listen(const TracecapOptions& options) {
  ListenRun* run = static_cast<ListenRun*>(malloc(sizeof(ListenRun)));
  if (run == NULL) {
    OutOfMemory();
  }
  const int exitCode = ListenWith(run, options);
  free(run);
  return exitCode;
}
}  // namespace

int main(int argc, char* argv[]) {
  TracecapOptions options;
  OptionsProblem problem;
  if (!ParseOptions(argc, argv, &options, &problem)) {
    if (problem.argument != NULL) {
      fprintf(stderr, "tracecap: %s: %s\n%s", problem.problem, problem.argument, kUsage);
    } else {
      fprintf(stderr, "tracecap: %s\n%s", problem.problem, kUsage);
    }
    return 2;
  }
  return options.listen ? Listen(options) : Launch(argc, argv, options);
}
