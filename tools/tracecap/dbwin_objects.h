// The objects of a debug-output buffer and their security. Each set has
// four names: the session's own ("DBWIN_BUFFER", "DBWIN_BUFFER_READY",
// "DBWIN_DATA_READY", "DBWinMutex") and session 0's ("Global\DBWIN_BUFFER"
// and so on). The session's objects carry the account's default security;
// session 0's let every account's programs write, and only SYSTEM and the
// administrators change or take the objects themselves. Here too: the
// administrator probe that --global needs, and whether session 0's names
// are other objects than the session's.
#ifndef KIT_TRACECAP_DBWIN_OBJECTS_H
#define KIT_TRACECAP_DBWIN_OBJECTS_H

#include <windows.h>

// The shared section: the writer's process id, then the string and its
// terminator.
const DWORD kDbwinBufferSize = 4096;

struct DbwinObjects {
  HANDLE mapping;
  const char* view;  // the section, mapped for reading
  HANDLE bufferReady;
  HANDLE dataReady;
  HANDLE mutex;  // DBWinMutex, or null when it could not be opened
};

// Creates the objects of one buffer, which must be all null: the session's
// names, or with `globalNames` session 0's; with `session0` they get
// session 0's security. False, with *other set when another viewer owns
// them and *error the platform's error, when they cannot all be had; what
// was had is then for CloseDbwinObjects.
bool CreateDbwinObjects(DbwinObjects* objects, bool globalNames, bool session0, bool* other, DWORD* error);

// Closes whatever of the objects is open.
void CloseDbwinObjects(DbwinObjects* objects);

// Closes a handle unless it is null, and makes it null.
void CloseIf(HANDLE* handle);

// Whether this program runs for an administrator (elevated, on Windows
// Vista and 7).
bool IsAdministrator();

// Whether the session-0 names are other objects than the session's own:
// not in session 0 itself, nor on Windows 2000 without Terminal Services,
// where there is no other session and "Global\" means nothing.
bool GlobalNamesAreOthers();

#endif
