#include "tools/tracecap/dbwin_listener.h"

// clang-format off
#include <sddl.h>
// clang-format on
#include <string.h>

#include "tools/tracecap/name_filter.h"

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

// The session-0 objects are written to by every account's programs,
// services and SYSTEM among them: everyone may map the buffer for writing
// (SECTION_MAP_WRITE | SECTION_MAP_READ), wait for an event and set it
// (SYNCHRONIZE | EVENT_MODIFY_STATE), and take and release the mutex
// (SYNCHRONIZE | MUTEX_MODIFY_STATE); only SYSTEM and the administrators
// may change or take the objects themselves.
const char kGlobalBufferSecurity[] = "D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x0006;;;WD)";
const char kGlobalEventSecurity[] = "D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100002;;;WD)";
const char kGlobalMutexSecurity[] = "D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;WD)";

struct ChannelNames {
  const char* buffer;
  const char* bufferReady;
  const char* dataReady;
  const char* mutex;
};
const ChannelNames kSessionNames = {"DBWIN_BUFFER", "DBWIN_BUFFER_READY", "DBWIN_DATA_READY", "DBWinMutex"};
const ChannelNames kGlobalNames = {"Global\\DBWIN_BUFFER", "Global\\DBWIN_BUFFER_READY",
                                   "Global\\DBWIN_DATA_READY", "Global\\DBWinMutex"};

void Lock(DbwinListener* listener) {
  while (__atomic_exchange_n(&listener->lock, 1, __ATOMIC_ACQUIRE) != 0) {
    // The answering threads run at a higher priority than the printing
    // one: they wait a whole tick, so that the other gets to let go.
    Sleep(1);
  }
}

void Unlock(DbwinListener* listener) { __atomic_store_n(&listener->lock, 0, __ATOMIC_RELEASE); }

// Copies the string out, frees the buffer for the next writer at once,
// and only then looks the writer's name up and files the copy.
void Take(DbwinChannel* channel) {
  DbwinListener* listener = channel->listener;
  char text[kTextSize + 1];
  DWORD pid = 0;
  memcpy(&pid, channel->view, sizeof(pid));
  const char* from = channel->view + sizeof(DWORD);
  size_t length = 0;
  while (length < kTextSize && from[length] != '\0') {
    ++length;
  }
  memcpy(text, from, length);
  text[length] = '\0';
  const DWORD time = GetTickCount() - listener->start;
  SetEvent(channel->bufferReady);
  const CaughtString string = {time, pid, ProcessName(&channel->writers, pid), text, length};
  if (!NameIsListed(listener->only, string.name)) {
    return;
  }
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
void FreeBufferWhenIdle(DbwinChannel* channel) {
  if (channel->mutex == NULL) {
    SetEvent(channel->bufferReady);
    return;
  }
  HANDLE waits[3] = {channel->listener->stop, channel->dataReady, channel->mutex};
  const DWORD woke = WaitForMultipleObjects(3, waits, FALSE, kStuckMilliseconds);
  if (woke == WAIT_OBJECT_0 + 1) {
    Take(channel);
  } else if (woke == WAIT_OBJECT_0 + 2 || woke == WAIT_ABANDONED_0 + 2) {
    // No writer is inside now: whatever the last one left, the buffer is
    // free once its string, if any, is taken.
    if (WaitForSingleObject(channel->dataReady, 0) == WAIT_OBJECT_0) {
      Take(channel);
    } else {
      SetEvent(channel->bufferReady);
    }
    ReleaseMutex(channel->mutex);
  } else if (woke == WAIT_TIMEOUT) {
    SetEvent(channel->bufferReady);
  }
}

void CloseIf(HANDLE* handle) {
  if (*handle != NULL) {
    CloseHandle(*handle);
    *handle = NULL;
  }
}

void CloseChannel(DbwinChannel* channel) {
  if (channel->view != NULL) {
    UnmapViewOfFile(channel->view);
    channel->view = NULL;
  }
  CloseIf(&channel->mapping);
  CloseIf(&channel->bufferReady);
  CloseIf(&channel->dataReady);
  CloseIf(&channel->mutex);
}

// Takes DBWinMutex, answering the writers ahead, so that no writer is
// inside while the shared objects go; then closes them.
void ReleaseSharedObjects(DbwinChannel* channel) {
  bool owned = false;
  if (channel->mutex != NULL) {
    HANDLE waits[2] = {channel->dataReady, channel->mutex};
    for (int stuck = 0; !owned && stuck < 3;) {
      const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kStuckMilliseconds);
      if (woke == WAIT_OBJECT_0) {
        Take(channel);
      } else if (woke == WAIT_OBJECT_0 + 1 || woke == WAIT_ABANDONED_0 + 1) {
        owned = true;
      } else {
        SetEvent(channel->bufferReady);
        ++stuck;
      }
    }
  }
  if (WaitForSingleObject(channel->dataReady, 0) == WAIT_OBJECT_0) {
    Take(channel);
  }
  HANDLE mutex = channel->mutex;
  channel->mutex = NULL;
  CloseChannel(channel);
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
  SetEvent(channel->bufferReady);
  HANDLE waits[2] = {channel->listener->stop, channel->dataReady};
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

// The security of one kind of session-0 object, or none (the account's
// default) for the session's own; false when it cannot be made.
bool MakeSecurity(bool global, const char* descriptor, SECURITY_ATTRIBUTES* security) {
  security->nLength = sizeof(*security);
  security->lpSecurityDescriptor = NULL;
  security->bInheritHandle = FALSE;
  return !global || ConvertStringSecurityDescriptorToSecurityDescriptorA(
                        descriptor, SDDL_REVISION_1, &security->lpSecurityDescriptor, NULL);
}

// Creates the objects of one buffer. False, with *other set when another
// viewer owns them and *error the platform's error, when they cannot all
// be had.
bool CreateChannel(DbwinChannel* channel, const ChannelNames& names, bool global, bool* other, DWORD* error) {
  SECURITY_ATTRIBUTES buffer;
  SECURITY_ATTRIBUTES event;
  SECURITY_ATTRIBUTES mutex;
  const bool secured = MakeSecurity(global, kGlobalBufferSecurity, &buffer) &&
                       MakeSecurity(global, kGlobalEventSecurity, &event) &&
                       MakeSecurity(global, kGlobalMutexSecurity, &mutex);
  if (secured) {
    channel->mapping = CreateOwn(
        CreateFileMappingA(INVALID_HANDLE_VALUE, &buffer, PAGE_READWRITE, 0, kBufferSize, names.buffer),
        other);
  }
  if (channel->mapping != NULL) {
    channel->bufferReady = CreateOwn(CreateEventA(&event, FALSE, FALSE, names.bufferReady), other);
  }
  if (channel->bufferReady != NULL) {
    channel->dataReady = CreateOwn(CreateEventA(&event, FALSE, FALSE, names.dataReady), other);
  }
  if (channel->dataReady != NULL) {
    channel->view = static_cast<const char*>(MapViewOfFile(channel->mapping, FILE_MAP_READ, 0, 0, 0));
  }
  if (channel->view != NULL) {
    channel->mutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, names.mutex);
    if (channel->mutex == NULL) {
      channel->mutex = CreateMutexA(&mutex, FALSE, names.mutex);
    }
  }
  *error = GetLastError();
  LocalFree(buffer.lpSecurityDescriptor);
  LocalFree(event.lpSecurityDescriptor);
  LocalFree(mutex.lpSecurityDescriptor);
  return channel->view != NULL;
}

// Whether this program runs for an administrator (elevated, on Windows
// Vista and 7).
bool IsAdministrator() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = NULL;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                0, &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  const bool checked = CheckTokenMembership(NULL, administrators, &member) != FALSE;
  FreeSid(administrators);
  return checked && member != FALSE;
}

// Whether the session-0 names are other objects than the session's own:
// not in session 0 itself, nor on Windows 2000 without Terminal Services,
// where there is no other session and "Global\" means nothing.
// ProcessIdToSessionId comes with Terminal Services: it is looked up by
// name, and without it there is one namespace.
bool GlobalNamesAreOthers() {
  typedef BOOL(WINAPI * SessionOf)(DWORD, DWORD*);
  const SessionOf sessionOf = reinterpret_cast<SessionOf>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "ProcessIdToSessionId")));
  DWORD session = 0;
  return sessionOf != NULL && sessionOf(GetCurrentProcessId(), &session) && session != 0;
}
}  // namespace

ListenStart StartListening(DbwinListener* listener, bool global, const char* only, DWORD* error) {
  ZeroMemory(listener, sizeof(*listener));
  *error = 0;
  listener->only = only;
  if (global && !IsAdministrator()) {
    return kNotAdministrator;
  }
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
    created = CreateChannel(channel, i == 0 ? kSessionNames : kGlobalNames, session0, &other, error);
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
    CloseChannel(&listener->channels[i]);
  }
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
  FreeBatch(&listener->filling);
  for (int i = 0; i < listener->channelCount; ++i) {
    FreeProcessTable(&listener->channels[i].writers);
    CloseIf(&listener->channels[i].thread);
  }
  CloseIf(&listener->stop);
  CloseIf(&listener->available);
}
