#include "bench/child_run.h"

#include <psapi.h>

#include <vector>

namespace bench {

namespace {
// How often the working set is read while the child runs.
const DWORD kMemoryPollMilliseconds = 5;

void ReadPeakWorkingSet(HANDLE process, SIZE_T* peak) {
  PROCESS_MEMORY_COUNTERS counters;
  memset(&counters, 0, sizeof(counters));
  counters.cb = sizeof(counters);
  if (GetProcessMemoryInfo(process, &counters, sizeof(counters)) && counters.PeakWorkingSetSize > *peak) {
    *peak = counters.PeakWorkingSetSize;
  }
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}
}  // namespace

ChildRun RunChild(const std::string& commandLine) {
  ChildRun run;
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup;
  memset(&startup, 0, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process;
  memset(&process, 0, sizeof(process));
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
    return run;
  }
  run.started = true;
  while (WaitForSingleObject(process.hProcess, kMemoryPollMilliseconds) == WAIT_TIMEOUT) {
    ReadPeakWorkingSet(process.hProcess, &run.peakWorkingSet);
  }
  QueryPerformanceCounter(&end);
  ReadPeakWorkingSet(process.hProcess, &run.peakWorkingSet);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  run.milliseconds = Milliseconds(start, end);
  return run;
}

}  // namespace bench
