// One timed run of a program as a child process.
#ifndef KIT_BENCH_CHILD_RUN_H
#define KIT_BENCH_CHILD_RUN_H

#include <windows.h>

#include <string>

namespace bench {

struct ChildRun {
  bool started = false;
  DWORD exitCode = 0;
  // From just before CreateProcessA to the moment the process has ended.
  double milliseconds = 0;
  // PeakWorkingSetSize of the child, in bytes; 0 when it could not be read.
  SIZE_T peakWorkingSet = 0;
};

// Starts the command line, waits for the process to end and measures it.
// The peak working set is read after the end (Windows keeps the counters
// of an ended process while a handle is open) and, for platforms that
// drop them at the end, every few milliseconds while the child runs; the
// largest value read is kept.
ChildRun RunChild(const std::string& commandLine);

}  // namespace bench

#endif
