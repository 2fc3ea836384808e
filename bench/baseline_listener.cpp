// The baseline of the listening case, bench_listener.exe: the least a
// debug-output listener can do. It owns the buffer, answers each string
// at once and keeps nothing but their count, until the event
// "kitbench_listener_stop" is set; then it writes the count to COUNT_FILE.
//
//   bench_listener.exe COUNT_FILE
#include <windows.h>

int main(int argc, char* argv[]) {
  if (argc != 2) {
    return 2;
  }
  HANDLE stop = OpenEventA(SYNCHRONIZE, FALSE, "kitbench_listener_stop");
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER");
  HANDLE bufferReady = CreateEventA(NULL, FALSE, FALSE, "DBWIN_BUFFER_READY");
  HANDLE dataReady = CreateEventA(NULL, FALSE, FALSE, "DBWIN_DATA_READY");
  if (stop == NULL || mapping == NULL || bufferReady == NULL || dataReady == NULL ||
      MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) == NULL) {
    return 1;
  }
  unsigned long count = 0;
  SetEvent(bufferReady);
  HANDLE waits[2] = {stop, dataReady};
  while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
    ++count;
    SetEvent(bufferReady);
  }
  char text[16];
  const int length = wsprintfA(text, "%lu", count);
  HANDLE file = CreateFileA(argv[1], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  DWORD written = 0;
  const bool saved = file != INVALID_HANDLE_VALUE && WriteFile(file, text, length, &written, NULL);
  CloseHandle(file);
  return saved ? 0 : 1;
}
