#include "tools/tracecap/listen_mode.h"

#include <stdio.h>
#include <stdlib.h>

#include "tools/tracecap/dbwin_listener.h"
#include "tools/tracecap/line_format.h"
#include "tools/tracecap/output.h"
#include "tools/tracecap/rolling_file.h"

namespace {
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
}  // namespace

int Listen(const TracecapOptions& options) {
  ListenRun* run = static_cast<ListenRun*>(malloc(sizeof(ListenRun)));
  if (run == NULL) {
    OutOfMemory();
  }
  const int exitCode = ListenWith(run, options);
  free(run);
  return exitCode;
}
