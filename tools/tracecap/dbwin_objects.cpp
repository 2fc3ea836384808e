#include "tools/tracecap/dbwin_objects.h"

// clang-format off
#include <sddl.h>
// clang-format on

namespace {
// The session-0 objects are written to by every account's programs,
// services and SYSTEM among them: everyone may map the buffer for writing
// (SECTION_MAP_WRITE | SECTION_MAP_READ), wait for an event and set it
// (SYNCHRONIZE | EVENT_MODIFY_STATE), and take and release the mutex
// (SYNCHRONIZE | MUTEX_MODIFY_STATE); only SYSTEM and the administrators
// may change or take the objects themselves.
const char kGlobalBufferSecurity[] = "D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x0006;;;WD)";
const char kGlobalEventSecurity[] = "D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100002;;;WD)";
const char kGlobalMutexSecurity[] = "D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;WD)";

struct DbwinNames {
  const char* buffer;
  const char* bufferReady;
  const char* dataReady;
  const char* mutex;
};
const DbwinNames kSessionNames = {"DBWIN_BUFFER", "DBWIN_BUFFER_READY", "DBWIN_DATA_READY", "DBWinMutex"};
const DbwinNames kGlobalNames = {"Global\\DBWIN_BUFFER", "Global\\DBWIN_BUFFER_READY",
                                 "Global\\DBWIN_DATA_READY", "Global\\DBWinMutex"};

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
bool MakeSecurity(bool session0, const char* descriptor, SECURITY_ATTRIBUTES* security) {
  security->nLength = sizeof(*security);
  security->lpSecurityDescriptor = NULL;
  security->bInheritHandle = FALSE;
  return !session0 || ConvertStringSecurityDescriptorToSecurityDescriptorA(
                          descriptor, SDDL_REVISION_1, &security->lpSecurityDescriptor, NULL);
}
}  // namespace

bool CreateDbwinObjects(DbwinObjects* objects, bool globalNames, bool session0, bool* other, DWORD* error) {
  const DbwinNames& names = globalNames ? kGlobalNames : kSessionNames;
  SECURITY_ATTRIBUTES buffer;
  SECURITY_ATTRIBUTES event;
  SECURITY_ATTRIBUTES mutex;
  const bool secured = MakeSecurity(session0, kGlobalBufferSecurity, &buffer) &&
                       MakeSecurity(session0, kGlobalEventSecurity, &event) &&
                       MakeSecurity(session0, kGlobalMutexSecurity, &mutex);
  if (secured) {
    objects->mapping = CreateOwn(
        CreateFileMappingA(INVALID_HANDLE_VALUE, &buffer, PAGE_READWRITE, 0, kDbwinBufferSize, names.buffer),
        other);
  }
  if (objects->mapping != NULL) {
    objects->bufferReady = CreateOwn(CreateEventA(&event, FALSE, FALSE, names.bufferReady), other);
  }
  if (objects->bufferReady != NULL) {
    objects->dataReady = CreateOwn(CreateEventA(&event, FALSE, FALSE, names.dataReady), other);
  }
  if (objects->dataReady != NULL) {
    objects->view = static_cast<const char*>(MapViewOfFile(objects->mapping, FILE_MAP_READ, 0, 0, 0));
  }
  if (objects->view != NULL) {
    objects->mutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, names.mutex);
    if (objects->mutex == NULL) {
      objects->mutex = CreateMutexA(&mutex, FALSE, names.mutex);
    }
  }
  *error = GetLastError();
  LocalFree(buffer.lpSecurityDescriptor);
  LocalFree(event.lpSecurityDescriptor);
  LocalFree(mutex.lpSecurityDescriptor);
  return objects->view != NULL;
}

void CloseDbwinObjects(DbwinObjects* objects) {
  if (objects->view != NULL) {
    UnmapViewOfFile(objects->view);
    objects->view = NULL;
  }
  CloseIf(&objects->mapping);
  CloseIf(&objects->bufferReady);
  CloseIf(&objects->dataReady);
  CloseIf(&objects->mutex);
}

void CloseIf(HANDLE* handle) {
  if (*handle != NULL) {
    CloseHandle(*handle);
    *handle = NULL;
  }
}

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

// ProcessIdToSessionId comes with Terminal Services: it is looked up by
// name, and without it there is one namespace.
bool GlobalNamesAreOthers() {
  typedef BOOL(WINAPI * SessionOf)(DWORD, DWORD*);
  const SessionOf sessionOf = reinterpret_cast<SessionOf>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "ProcessIdToSessionId")));
  DWORD session = 0;
  return sessionOf != NULL && sessionOf(GetCurrentProcessId(), &session) && session != 0;
}
