#include "tools/tracecap/dbwin_listener.h"

#include <string.h>

namespace {
const DWORD kBufferSize = 4096;
// The string's room in the buffer, after the writer's process id.
const DWORD kTextSize = kBufferSize - sizeof(DWORD);
// A buffer that stays unasked for this long is made sure to be free: a
// writer that died after taking it and before handing over its string
// would leave it taken, and every later writer would wait 10 seconds.
const DWORD kIdleMilliseconds = 500;
// A writer that holds DBWinMutex this long without handing over a string
// is waiting for a buffer that such a dead writer took.
const DWORD kStuckMilliseconds = 1000;

void Lock(DbwinListener* listener) {
  while (__atomic_exchange_n(&listener->lock, 1, __ATOMIC_ACQUIRE) != 0) {
    // The answering thread runs at a higher priority than the printing
    // one: it waits a whole tick, so that the other gets to let go.
    Sleep(1);
  }
}

void Unlock(DbwinListener* listener) { __atomic_store_n(&listener->lock, 0, __ATOMIC_RELEASE); }

// Copies the string out, frees the buffer for the next writer at once,
// and only then looks the writer's name up and files the copy.
void Take(DbwinListener* listener) {
  char text[kTextSize + 1];
  DWORD pid = 0;
  memcpy(&pid, listener->view, sizeof(pid));
  const char* from = listener->view + sizeof(DWORD);
  size_t length = 0;
  while (length < kTextSize && from[length] != '\0') {
    ++length;
  }
  memcpy(text, from, length);
  text[length] = '\0';
  const DWORD time = GetTickCount() - listener->start;
  SetEvent(listener->bufferReady);
  const CaughtString string = {time, pid, ProcessName(&listener->names, pid), text, length};
  Lock(listener);
  // The printing side takes the whole batch once woken: it needs waking
  // only for a batch that was empty.
  const bool first = listener->filling.used == 0 && listener->dropped == 0;
  if (listener->dropped > 0 || !AppendToBatch(&listener->filling, string)) {
    ++listener->dropped;
  }
  Unlock(listener);
  if (first) {
    SetEvent(listener->available);
  }
}

// Makes sure the buffer is free after a quiet spell, between two writers.
void FreeBufferWhenIdle(DbwinListener* listener) {
  if (listener->mutex == NULL) {
    SetEvent(listener->bufferReady);
    return;
  }
  HANDLE waits[3] = {listener->stop, listener->dataReady, listener->mutex};
  const DWORD woke = WaitForMultipleObjects(3, waits, FALSE, kStuckMilliseconds);
  if (woke == WAIT_OBJECT_0 + 1) {
    Take(listener);
  } else if (woke == WAIT_OBJECT_0 + 2 || woke == WAIT_ABANDONED_0 + 2) {
    // No writer is inside now: whatever the last one left, the buffer is
    // free once its string, if any, is taken.
    if (WaitForSingleObject(listener->dataReady, 0) == WAIT_OBJECT_0) {
      Take(listener);
    } else {
      SetEvent(listener->bufferReady);
    }
    ReleaseMutex(listener->mutex);
  } else if (woke == WAIT_TIMEOUT) {
    SetEvent(listener->bufferReady);
  }
}

// Takes DBWinMutex, answering the writers ahead, so that no writer is
// inside while the shared objects go; then closes them.
void ReleaseSharedObjects(DbwinListener* listener) {
  bool owned = false;
  if (listener->mutex != NULL) {
    HANDLE waits[2] = {listener->dataReady, listener->mutex};
    for (int stuck = 0; !owned && stuck < 3;) {
      const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kStuckMilliseconds);
      if (woke == WAIT_OBJECT_0) {
        Take(listener);
      } else if (woke == WAIT_OBJECT_0 + 1 || woke == WAIT_ABANDONED_0 + 1) {
        owned = true;
      } else {
        SetEvent(listener->bufferReady);
        ++stuck;
      }
    }
  }
  if (WaitForSingleObject(listener->dataReady, 0) == WAIT_OBJECT_0) {
    Take(listener);
  }
  UnmapViewOfFile(listener->view);
  CloseHandle(listener->mapping);
  CloseHandle(listener->bufferReady);
  CloseHandle(listener->dataReady);
  listener->view = NULL;
  listener->mapping = listener->bufferReady = listener->dataReady = NULL;
  if (owned) {
    ReleaseMutex(listener->mutex);
  }
  if (listener->mutex != NULL) {
    CloseHandle(listener->mutex);
    listener->mutex = NULL;
  }
}

DWORD WINAPI Answer(void* parameter) {
  DbwinListener* listener = static_cast<DbwinListener*>(parameter);
  // The buffer is free from now on: a writer before this waited for it.
  SetEvent(listener->bufferReady);
  HANDLE waits[2] = {listener->stop, listener->dataReady};
  for (;;) {
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kIdleMilliseconds);
    if (woke == WAIT_OBJECT_0 + 1) {
      Take(listener);
    } else if (woke == WAIT_TIMEOUT) {
      FreeBufferWhenIdle(listener);
    } else {
      break;
    }
  }
  ReleaseSharedObjects(listener);
  return 0;
}

// Creates one named object; an object of that name that already exists
// belongs to another viewer, and is let go of at once.
HANDLE CreateOwn(HANDLE object, bool* other) {
  if (object != NULL && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(object);
    *other = true;
    return NULL;
  }
  return object;
}

void CloseIf(HANDLE* handle) {
  if (*handle != NULL) {
    CloseHandle(*handle);
    *handle = NULL;
  }
}
}  // namespace

ListenStart StartListening(DbwinListener* listener, DWORD* error) {
  ZeroMemory(listener, sizeof(*listener));
  *error = 0;
  InitProcessNames(&listener->names);
  // The objects take the default security of tracecap's account: the
  // programs of that account, and of the administrators, can write.
  bool other = false;
  listener->mapping = CreateOwn(
      CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, kBufferSize, "DBWIN_BUFFER"), &other);
  if (listener->mapping != NULL) {
    listener->bufferReady = CreateOwn(CreateEventA(NULL, FALSE, FALSE, "DBWIN_BUFFER_READY"), &other);
  }
  if (listener->bufferReady != NULL) {
    listener->dataReady = CreateOwn(CreateEventA(NULL, FALSE, FALSE, "DBWIN_DATA_READY"), &other);
  }
  if (listener->dataReady != NULL) {
    listener->view = static_cast<const char*>(MapViewOfFile(listener->mapping, FILE_MAP_READ, 0, 0, 0));
  }
  if (listener->view != NULL) {
    listener->mutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, "DBWinMutex");
    if (listener->mutex == NULL) {
      listener->mutex = CreateMutexA(NULL, FALSE, "DBWinMutex");
    }
    listener->stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    listener->available = CreateEventA(NULL, FALSE, FALSE, NULL);
  }
  if (listener->stop != NULL && listener->available != NULL && InitBatch(&listener->filling, kBatchBytes)) {
    listener->start = GetTickCount();
    listener->thread = CreateThread(NULL, 0, Answer, listener, 0, NULL);
  }
  if (listener->thread != NULL) {
    SetThreadPriority(listener->thread, THREAD_PRIORITY_HIGHEST);
    return kListening;
  }
  *error = GetLastError();
  if (listener->view != NULL) {
    UnmapViewOfFile(listener->view);
  }
  CloseIf(&listener->mapping);
  CloseIf(&listener->bufferReady);
  CloseIf(&listener->dataReady);
  CloseIf(&listener->mutex);
  FreeListener(listener);
  return other ? kOtherListener : kListenFailed;
}

void TakeStrings(DbwinListener* listener, StringBatch* empty, unsigned long* dropped) {
  Lock(listener);
  const StringBatch full = listener->filling;
  listener->filling = *empty;
  *empty = full;
  *dropped = listener->dropped;
  listener->dropped = 0;
  Unlock(listener);
}

void StopListening(DbwinListener* listener) {
  SetEvent(listener->stop);
  WaitForSingleObject(listener->thread, INFINITE);
}

void FreeListener(DbwinListener* listener) {
  FreeBatch(&listener->filling);
  FreeProcessNames(&listener->names);
  CloseIf(&listener->thread);
  CloseIf(&listener->stop);
  CloseIf(&listener->available);
}
