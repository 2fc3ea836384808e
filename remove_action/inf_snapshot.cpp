#include "remove_action/inf_snapshot.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

namespace {
const char kInfExtension[] = ".inf";
const size_t kExtensionLength = sizeof(kInfExtension) - 1;

bool Keep(InfSnapshot* snapshot, const char* name, size_t length) {
  if (snapshot->used + length + 1 > snapshot->capacity) {
    const size_t capacity = snapshot->capacity * 2 + length + 1 + 4096;
    char* bigger = static_cast<char*>(realloc(snapshot->names, capacity));
    if (bigger == NULL) {
      return false;
    }
    snapshot->names = bigger;
    snapshot->capacity = capacity;
  }
  memcpy(snapshot->names + snapshot->used, name, length);
  snapshot->names[snapshot->used + length] = '\0';
  snapshot->used += length + 1;
  return true;
}

// The folder and a name in it, when the two fit into MAX_PATH.
bool Join(const InfSnapshot* snapshot, const char* name, const char* extension, char* path) {
  if (strlen(snapshot->folder) + strlen(name) + strlen(extension) >= MAX_PATH) {
    return false;
  }
  wsprintfA(path, "%s%s%s", snapshot->folder, name, extension);
  return true;
}
}  // namespace

void TakeInfSnapshot(InfSnapshot* snapshot) {
  snapshot->names = NULL;
  snapshot->used = 0;
  snapshot->capacity = 0;
  char pattern[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(snapshot->folder, MAX_PATH - 16);
  if (length == 0 || length >= MAX_PATH - 16) {
    snapshot->folder[0] = '\0';
    return;
  }
  const char* const inf = snapshot->folder[length - 1] == '\\' ? "inf\\" : "\\inf\\";
  memcpy(snapshot->folder + length, inf, strlen(inf) + 1);
  if (!Join(snapshot, "*", kInfExtension, pattern)) {
    return;
  }
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(pattern, &found);
  if (find == INVALID_HANDLE_VALUE) {
    return;
  }
  bool whole = true;
  do {
    // The search also gives names whose short form ends in ".inf".
    const size_t nameLength = strlen(found.cFileName);
    if (nameLength > kExtensionLength &&
        lstrcmpiA(found.cFileName + nameLength - kExtensionLength, kInfExtension) == 0) {
      whole = Keep(snapshot, found.cFileName, nameLength - kExtensionLength);
    }
  } while (whole && FindNextFileA(find, &found));
  FindClose(find);
  if (!whole) {
    snapshot->used = 0;
  }
}

void DeletePnfOfRemovedInfs(const InfSnapshot* snapshot) {
  char path[MAX_PATH];
  for (size_t offset = 0; offset < snapshot->used; offset += strlen(snapshot->names + offset) + 1) {
    const char* name = snapshot->names + offset;
    if (!Join(snapshot, name, kInfExtension, path) || GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ||
        GetLastError() != ERROR_FILE_NOT_FOUND) {
      continue;
    }
    if (Join(snapshot, name, ".pnf", path)) {
      DeleteFileA(path);
    }
  }
}

void FreeInfSnapshot(InfSnapshot* snapshot) {
  free(snapshot->names);
  snapshot->names = NULL;
  snapshot->used = 0;
  snapshot->capacity = 0;
}
