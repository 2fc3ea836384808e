// The listening side of the system-wide debug-output buffer: while no
// debugger is attached, OutputDebugStringA hands its string to whoever
// owns the shared section "DBWIN_BUFFER" (the writer's process id, then
// the string and its terminator, 4096 bytes in all), taking turns through
// the mutex "DBWinMutex" and the events "DBWIN_BUFFER_READY" (the buffer
// is free) and "DBWIN_DATA_READY" (a string is in it). Those names are
// the session's own; services and the programs they start (fleet tools
// among them) write to the same names in session 0, "Global\DBWIN_BUFFER"
// and so on, on Windows with Terminal Services.
//
// Every writer waits for the listener, up to 10 seconds a string, so a
// thread of its own for each buffer answers it at once and does nothing
// slow: it copies each string into memory, where the printing side takes
// it from, the strings of both buffers in the order they arrived. The
// objects themselves, and their security, are dbwin_objects.h's.
#ifndef KIT_TRACECAP_DBWIN_LISTENER_H
#define KIT_TRACECAP_DBWIN_LISTENER_H

#include <windows.h>

#include "tools/tracecap/dbwin_objects.h"
#include "tools/tracecap/process_table.h"
#include "tools/tracecap/string_store.h"

// The room for strings waiting to be printed, in each of the two batches.
const size_t kBatchBytes = 2 * 1024 * 1024;

struct DbwinListener;

// One buffer with its objects, and the thread that answers it.
struct DbwinChannel {
  DbwinListener* listener;
  DbwinObjects objects;
  HANDLE thread;
  ProcessTable writers;  // looked up by its thread only
};

struct DbwinListener {
  DbwinChannel channels[2];  // the session's, and session 0's with --global
  int channelCount;
  const char* only;  // --only, or null: the names whose strings are kept
  HANDLE stop;
  HANDLE available;  // set when strings wait in the filling batch
  DWORD start;       // GetTickCount() when listening began
  // Taken only to append one string or to trade the batches. Initialised
  // once the administrator check has passed; FreeListener deletes it.
  CRITICAL_SECTION lock;
  // Guarded by lock: the batch being filled, and the strings dropped
  // after it filled up. Once one is dropped, the batch takes no more until
  // it is traded, so that the dropped ones always come after its strings.
  StringBatch filling;
  unsigned long dropped;
};

enum ListenStart {
  kListening,
  kOtherListener,     // another viewer owns a buffer
  kNotAdministrator,  // --global, and this is no administrator
  kListenFailed,
};

// Creates the shared objects of the session's buffer, and with `global`
// those of session 0 (one set where the two are the same: Windows 2000
// without Terminal Services, and session 0 itself), and starts answering
// them. Only the strings of programs named in `only` are kept, when it is
// not null. On kListenFailed, *error holds the platform's error.
ListenStart StartListening(DbwinListener* listener, bool global, const char* only, DWORD* error);

// Trades the batch of waiting strings for `empty`, which must be empty
// and as large as the listener's; *dropped then holds the count of the
// strings that came after them and were not kept.
void TakeStrings(DbwinListener* listener, StringBatch* empty, unsigned long* dropped);

// Answers what writers have already handed over, then releases the
// shared objects between two writers and ends the answering threads. What
// it caught stays for TakeStrings.
void StopListening(DbwinListener* listener);

// Frees what is left once the strings have been taken, the lock among it:
// for a listener that StartListening started (it frees the others itself).
void FreeListener(DbwinListener* listener);

#endif
