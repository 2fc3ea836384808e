#include "tools/tracecap/dbwin_listener.h"

#include <string.h>

#include "tools/tracecap/name_filter.h"

namespace {
// The string's room in the buffer, after the writer's process id.
const DWORD kTextSize = kDbwinBufferSize - sizeof(DWORD);
// A buffer that stays unasked for this long is made sure to be free: a
// writer that died after taking it and before handing over its string
// would leave it taken, and every later writer would wait 10 seconds.
const DWORD kIdleMilliseconds = 500;
// A writer that holds DBWinMutex this long without handing over a string
// is waiting for a buffer that such a dead writer took.
const DWORD kStuckMilliseconds = 1000;

// Copies the string out, frees the buffer for the next writer at once,
// and only then looks the writer's name up and files the copy.
void Take(DbwinChannel* channel) {
  DbwinListener* listener = channel->listener;
  char text[kTextSize + 1];
  DWORD pid = 0;
  memcpy(&pid, channel->objects.view, sizeof(pid));
  const char* from = channel->objects.view + sizeof(DWORD);
  size_t length = 0;
  while (length < kTextSize && from[length] != '\0') {
    ++length;
  }
  memcpy(text, from, length);
  text[length] = '\0';
  const DWORD time = GetTickCount() - listener->start;
  SetEvent(channel->objects.bufferReady);
  const CaughtString string = {time, pid, ProcessName(&channel->writers, pid), text, length};
  if (!NameIsListed(listener->only, string.name)) {
    return;
  }
  EnterCriticalSection(&listener->lock);
  // The printing side takes the whole batch once woken: it needs waking
  // only for a batch that was empty.
  const bool first = listener->filling.used == 0 && listener->dropped == 0;
  if (listener->dropped > 0 || !AppendToBatch(&listener->filling, string)) {
    ++listener->dropped;
  }
  LeaveCriticalSection(&listener->lock);
  if (first) {
    SetEvent(listener->available);
  }
}

// Makes sure the buffer is free after a quiet spell, between two writers.
void FreeBufferWhenIdle(DbwinChannel* channel) {
  if (channel->objects.mutex == NULL) {
    SetEvent(channel->objects.bufferReady);
    return;
  }
  HANDLE waits[3] = {channel->listener->stop, channel->objects.dataReady, channel->objects.mutex};
  const DWORD woke = WaitForMultipleObjects(3, waits, FALSE, kStuckMilliseconds);
  if (woke == WAIT_OBJECT_0 + 1) {
    Take(channel);
  } else if (woke == WAIT_OBJECT_0 + 2 || woke == WAIT_ABANDONED_0 + 2) {
    // No writer is inside now: whatever the last one left, the buffer is
    // free once its string, if any, is taken.
    if (WaitForSingleObject(channel->objects.dataReady, 0) == WAIT_OBJECT_0) {
      Take(channel);
    } else {
      SetEvent(channel->objects.bufferReady);
    }
    ReleaseMutex(channel->objects.mutex);
  } else if (woke == WAIT_TIMEOUT) {
    SetEvent(channel->objects.bufferReady);
  }
}

// Takes DBWinMutex, answering the writers ahead, so that no writer is
// inside while the shared objects go; then closes them.
void ReleaseSharedObjects(DbwinChannel* channel) {
  bool owned = false;
  if (channel->objects.mutex != NULL) {
    HANDLE waits[2] = {channel->objects.dataReady, channel->objects.mutex};
    for (int stuck = 0; !owned && stuck < 3;) {
      const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kStuckMilliseconds);
      if (woke == WAIT_OBJECT_0) {
        Take(channel);
      } else if (woke == WAIT_OBJECT_0 + 1 || woke == WAIT_ABANDONED_0 + 1) {
        owned = true;
      } else {
        SetEvent(channel->objects.bufferReady);
        ++stuck;
      }
    }
  }
  if (WaitForSingleObject(channel->objects.dataReady, 0) == WAIT_OBJECT_0) {
    Take(channel);
  }
  HANDLE mutex = channel->objects.mutex;
  channel->objects.mutex = NULL;
  CloseDbwinObjects(&channel->objects);
  if (owned) {
    ReleaseMutex(mutex);
  }
  if (mutex != NULL) {
    CloseHandle(mutex);
  }
}

DWORD WINAPI Answer(void* parameter) {
  DbwinChannel* channel = static_cast<DbwinChannel*>(parameter);
  // The buffer is free from now on: a writer before this waited for it.
  SetEvent(channel->objects.bufferReady);
  HANDLE waits[2] = {channel->listener->stop, channel->objects.dataReady};
  for (;;) {
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kIdleMilliseconds);
    if (woke == WAIT_OBJECT_0 + 1) {
      Take(channel);
    } else if (woke == WAIT_TIMEOUT) {
      FreeBufferWhenIdle(channel);
    } else {
      break;
    }
  }
  ReleaseSharedObjects(channel);
  return 0;
}
}  // namespace

ListenStart StartListening(DbwinListener* listener, bool global, const char* only, DWORD* error) {
  ZeroMemory(listener, sizeof(*listener));
  *error = 0;
  listener->only = only;
  if (global && !IsAdministrator()) {
    return kNotAdministrator;
  }
  // The lock. Every way on from here ends in FreeListener, which deletes it:
  // below when listening fails, and the caller's once it is done.
  InitializeCriticalSection(&listener->lock);
  const bool both = global && GlobalNamesAreOthers();
  listener->channelCount = both ? 2 : 1;
  bool other = false;
  bool created = true;
  for (int i = 0; i < listener->channelCount && created; ++i) {
    DbwinChannel* channel = &listener->channels[i];
    channel->listener = listener;
    InitProcessTable(&channel->writers);
    // With one set of names for both, the session's are session 0's.
    const bool session0 = i == 1 || (global && !both);
    created = CreateDbwinObjects(&channel->objects, i == 1, session0, &other, error);
  }
  if (created) {
    listener->stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    listener->available = CreateEventA(NULL, FALSE, FALSE, NULL);
  }
  bool started =
      listener->stop != NULL && listener->available != NULL && InitBatch(&listener->filling, kBatchBytes);
  if (started) {
    listener->start = GetTickCount();
  }
  for (int i = 0; i < listener->channelCount && started; ++i) {
    DbwinChannel* channel = &listener->channels[i];
    channel->thread = CreateThread(NULL, 0, Answer, channel, 0, NULL);
    started = channel->thread != NULL;
    if (started) {
      SetThreadPriority(channel->thread, THREAD_PRIORITY_HIGHEST);
    }
  }
  if (started) {
    return kListening;
  }
  if (created) {
    *error = GetLastError();
  }
  StopListening(listener);
  for (int i = 0; i < listener->channelCount; ++i) {
    CloseDbwinObjects(&listener->channels[i].objects);
  }
  FreeListener(listener);
  return other ? kOtherListener : kListenFailed;
}

void TakeStrings(DbwinListener* listener, StringBatch* empty, unsigned long* dropped) {
  EnterCriticalSection(&listener->lock);
  const StringBatch full = listener->filling;
  listener->filling = *empty;
  *empty = full;
  *dropped = listener->dropped;
  listener->dropped = 0;
  LeaveCriticalSection(&listener->lock);
}

void StopListening(DbwinListener* listener) {
  if (listener->stop != NULL) {
    SetEvent(listener->stop);
  }
  for (int i = 0; i < listener->channelCount; ++i) {
    if (listener->channels[i].thread != NULL) {
      WaitForSingleObject(listener->channels[i].thread, INFINITE);
    }
  }
}

void FreeListener(DbwinListener* listener) {
  DeleteCriticalSection(&listener->lock);
  FreeBatch(&listener->filling);
  for (int i = 0; i < listener->channelCount; ++i) {
    FreeProcessTable(&listener->channels[i].writers);
    CloseIf(&listener->channels[i].thread);
  }
  CloseIf(&listener->stop);
  CloseIf(&listener->available);
}
