// The writers of the listening case, bench_writers.exe: WRITERS programs
// that each send COUNT strings to the debugger output at once, "W1 000001"
// and so on, as programs on a busy machine do; it ends when all have sent
// theirs. The listener gets them whichever side of the case it is.
//
//   bench_writers.exe WRITERS COUNT
//   bench_writers.exe write NUMBER COUNT     (one writer, started by it)
#include <stdlib.h>
#include <string.h>
#include <windows.h>

namespace {
const int kMostWriters = 16;

int Write(int number, long count) {
  char text[32];
  for (long i = 1; i <= count; ++i) {
    wsprintfA(text, "W%d %06ld", number, i);
    OutputDebugStringA(text);
  }
  return 0;
}
}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 4 && strcmp(argv[1], "write") == 0) {
    return Write(atoi(argv[2]), atol(argv[3]));
  }
  const int writers = argc == 3 ? atoi(argv[1]) : 0;
  const long count = argc == 3 ? atol(argv[2]) : 0;
  if (writers < 1 || writers > kMostWriters || count < 1) {
    return 2;
  }
  char self[MAX_PATH];
  if (GetModuleFileNameA(NULL, self, sizeof(self)) == 0) {
    return 1;
  }
  HANDLE running[kMostWriters];
  for (int i = 0; i < writers; ++i) {
    char commandLine[MAX_PATH + 64];
    wsprintfA(commandLine, "\"%s\" write %d %ld", self, i + 1, count);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
      return 1;
    }
    CloseHandle(process.hThread);
    running[i] = process.hProcess;
  }
  WaitForMultipleObjects(static_cast<DWORD>(writers), running, TRUE, INFINITE);
  return 0;
}
