// A writer to the debugger output for the tests of tracecap, run as a
// program of its own so that its strings come from another process:
//
//   e2e_dbwin_writer send TAG COUNT [SIZE]
//       sends COUNT strings "TAG 000001", "TAG 000002", ... (each filled up
//       with '.' to SIZE bytes when SIZE is given), after the event
//       "e2e_writers_go" is set if it exists, and prints the longest time
//       one OutputDebugStringA call took: "longest wait: N us".
//   e2e_dbwin_writer bytes HEX
//       sends one string of the bytes HEX spells, two digits a byte.
//   e2e_dbwin_writer fill LENGTH
//       sends one string of LENGTH letters, "abc...zabc...".
//   e2e_dbwin_writer global TAG COUNT
//       sends COUNT strings "TAG 000001", ... as OutputDebugStringA does, but
//       to the buffer of session 0 ("Global\DBWIN_BUFFER" and its objects),
//       as a service's strings go; prints "no listener" when none owns it.
//   e2e_dbwin_writer die
//       takes the debug-output buffer as OutputDebugStringA does, writes
//       half a string into it without its terminator, and ends before it
//       tells the listener: a writer that died mid-string.
//   e2e_dbwin_writer start COMMAND...
//       sends "starter: starting", runs COMMAND and waits for it, and
//       exits with its exit code.
//   e2e_dbwin_writer interrupt PID
//       presses Ctrl+C in the console of process PID, as a person at it
//       would; from a program of its own, so that the test program keeps
//       its console, if it has one.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <string>

namespace {
// A writer stays this long after its last string, so that a listener
// looks its name up while it runs (one that ends at once may show as
// "unknown").
const DWORD kLinger = 500;

int Send(const char* tag, long count, size_t size) {
  HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, "e2e_writers_go");
  if (go != NULL) {
    WaitForSingleObject(go, 60000);
    CloseHandle(go);
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  LONGLONG longest = 0;
  for (long i = 1; i <= count; ++i) {
    char number[16];
    snprintf(number, sizeof(number), " %06ld", i);
    std::string text = std::string(tag) + number;
    if (text.size() < size) {
      text.append(size - text.size(), '.');
    }
    LARGE_INTEGER before;
    LARGE_INTEGER after;
    QueryPerformanceCounter(&before);
    OutputDebugStringA(text.c_str());
    QueryPerformanceCounter(&after);
    if (after.QuadPart - before.QuadPart > longest) {
      longest = after.QuadPart - before.QuadPart;
    }
  }
  printf("longest wait: %lld us\n", longest * 1000000 / frequency.QuadPart);
  Sleep(kLinger);
  return 0;
}

int SendBytes(const char* hex) {
  std::string text;
  for (const char* c = hex; c[0] != '\0' && c[1] != '\0'; c += 2) {
    const char digits[3] = {c[0], c[1], '\0'};
    text.push_back(static_cast<char>(strtoul(digits, NULL, 16)));
  }
  OutputDebugStringA(text.c_str());
  Sleep(kLinger);
  return 0;
}

int Fill(size_t length) {
  std::string text;
  for (size_t i = 0; i < length; ++i) {
    text.push_back(static_cast<char>('a' + i % 26));
  }
  OutputDebugStringA(text.c_str());
  Sleep(kLinger);
  return 0;
}

int SendGlobal(const char* tag, long count) {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, "Global\\DBWinMutex");
  HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, "Global\\DBWIN_BUFFER");
  HANDLE bufferReady = OpenEventA(SYNCHRONIZE, FALSE, "Global\\DBWIN_BUFFER_READY");
  HANDLE dataReady = OpenEventA(EVENT_MODIFY_STATE, FALSE, "Global\\DBWIN_DATA_READY");
  char* buffer = mapping == NULL ? NULL : static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  if (mutex == NULL || buffer == NULL || bufferReady == NULL || dataReady == NULL) {
    printf("no listener\n");
    return 0;
  }
  const DWORD pid = GetCurrentProcessId();
  for (long i = 1; i <= count; ++i) {
    char text[64];
    snprintf(text, sizeof(text), "%s %06ld", tag, i);
    WaitForSingleObject(mutex, INFINITE);
    if (WaitForSingleObject(bufferReady, 10000) == WAIT_OBJECT_0) {
      memcpy(buffer, &pid, sizeof(pid));
      memcpy(buffer + sizeof(pid), text, strlen(text) + 1);
      SetEvent(dataReady);
    }
    ReleaseMutex(mutex);
  }
  Sleep(kLinger);
  return 0;
}

int Die() {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, "DBWinMutex");
  HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, "DBWIN_BUFFER");
  HANDLE bufferReady = OpenEventA(SYNCHRONIZE, FALSE, "DBWIN_BUFFER_READY");
  if (mutex == NULL || mapping == NULL || bufferReady == NULL) {
    fprintf(stderr, "no listener to die on\n");
    return 1;
  }
  char* buffer = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  WaitForSingleObject(mutex, INFINITE);
  if (buffer == NULL || WaitForSingleObject(bufferReady, 10000) != WAIT_OBJECT_0) {
    fprintf(stderr, "the buffer was not free\n");
    return 1;
  }
  const DWORD pid = GetCurrentProcessId();
  memcpy(buffer, &pid, sizeof(pid));
  memset(buffer + sizeof(pid), 'x', 2000);
  // Ends without DBWIN_DATA_READY and without releasing DBWinMutex.
  TerminateProcess(GetCurrentProcess(), 3);
  return 3;
}

int Start() {
  OutputDebugStringA("starter: starting");
  // The command follows the word "start" on this program's command line.
  const char* line = GetCommandLineA();
  const char* command = strstr(line, " start ");
  if (command == NULL) {
    return 2;
  }
  std::string commandLine = command + 7;
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info;
  if (!CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info)) {
    fprintf(stderr, "cannot start %s: %lu\n", commandLine.c_str(), GetLastError());
    return 2;
  }
  WaitForSingleObject(info.hProcess, INFINITE);
  DWORD exitCode = 0;
  GetExitCodeProcess(info.hProcess, &exitCode);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return static_cast<int>(exitCode);
}
int Interrupt(DWORD pid) {
  FreeConsole();
  if (!AttachConsole(pid)) {
    fprintf(stderr, "cannot attach to the console of %lu: %lu\n", pid, GetLastError());
    return 1;
  }
  SetConsoleCtrlHandler(NULL, TRUE);
  if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
    fprintf(stderr, "cannot press Ctrl+C: %lu\n", GetLastError());
    return 1;
  }
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "send" && (argc == 4 || argc == 5)) {
    return Send(argv[2], atol(argv[3]), argc == 5 ? strtoul(argv[4], NULL, 10) : 0);
  }
  if (mode == "global" && argc == 4) {
    return SendGlobal(argv[2], atol(argv[3]));
  }
  if (mode == "bytes" && argc == 3) {
    return SendBytes(argv[2]);
  }
  if (mode == "fill" && argc == 3) {
    return Fill(strtoul(argv[2], NULL, 10));
  }
  if (mode == "die" && argc == 2) {
    return Die();
  }
  if (mode == "start" && argc > 2) {
    return Start();
  }
  if (mode == "interrupt" && argc == 3) {
    return Interrupt(strtoul(argv[2], NULL, 10));
  }
  fprintf(
      stderr,
      "usage: e2e_dbwin_writer send TAG COUNT [SIZE] | global TAG COUNT | bytes HEX | fill LENGTH | die | "
      "start COMMAND | interrupt PID\n");
  return 2;
}
