#include "uninstaller/tree_deletion.h"

#include "common/process_helpers.h"
#include "common/trace.h"
#include "common/win32.h"
#include "uninstaller/kit_programs.h"

namespace {
// PROCESS_ALL_ACCESS as defined before Windows Vista.
const DWORD kProcessAllAccessXp = 0x1F0FFF;
const DWORD kHolderExitWait = 200;

// The second try at a file that could not be deleted: the program that
// holds it is ended first, when it is one of the kit's, going by its name,
// that runs from `root`, the folder being deleted.
void DeleteHeldFile(const char* fullPath, const char* root) {
  char name[MAX_PATH];
  memset(name, 0, sizeof(name));
  Trace("Delete file failed, try late, file: [%s], line: %d", fullPath, 1054);
  Transf2FileName(name, fullPath);
  const DWORD processId = FindKitProgram(name, root);
  Trace("Buf: %s", name);
  if (processId != kNoProcess) {
    HANDLE process = OpenProcess(kProcessAllAccessXp, TRUE, processId);
    if (process == NULL) {
      Trace("Cannot open process, line: %d", 1066);
    } else {
      TerminateProcess(process, 0);
      CloseHandle(process);
    }
  }
  Sleep(kHolderExitWait);
  if (!DeleteFileA(fullPath)) {
    Trace("Delete file failed, file: [%s], line: %d", fullPath, 1074);
  }
}

// Whether `path` names a folder that is itself a link (a junction), as
// its own listing entry says.
bool IsFolderLink(const char* path) {
  WIN32_FIND_DATAA self;
  HANDLE find = FindFirstFileA(path, &self);
  if (find == INVALID_HANDLE_VALUE) {
    return false;
  }
  FindClose(find);
  const DWORD linkBits = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  return (self.dwFileAttributes & linkBits) == linkBits;
}

// Deletes `path`, a folder inside `root` or `root` itself.
int DeleteTree(const char* path, const char* root) {
  char* work = static_cast<char*>(malloc(MAX_PATH));
  if (work == NULL) {
    Trace("Malloc failed, line: %d", 1003);
    return 0;
  }
  const size_t length = strlen(path);
  const bool endsWithBackslash = length != 0 && path[length - 1] == '\\';
  const size_t separator = endsWithBackslash ? 0 : 1;
  if (length + separator + strlen("*.*") >= MAX_PATH) {
    Trace("Path too long, passed over: [%s]\n", path);
    free(work);
    return 1;
  }
  wsprintfA(work, endsWithBackslash ? "%s*.*" : "%s\\*.*", path);
  Trace("Get file name 32 bit: [%s], line: %d", work, 1014);
  WIN32_FIND_DATAA findData;
  HANDLE find = FindFirstFileA(work, &findData);
  if (find == INVALID_HANDLE_VALUE) {
    Trace("Find first file failed, Path[%s], line: %d", work, 1019);
    free(work);
    return 1;
  }
  do {
    memset(work, 0, MAX_PATH);
    const char* name = findData.cFileName;
    if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) {
      continue;
    }
    if (length + separator + strlen(name) >= MAX_PATH) {
      Trace("Path too long, passed over: [%s%s%s]\n", path, endsWithBackslash ? "" : "\\", name);
      continue;
    }
    wsprintfA(work, endsWithBackslash ? "%s%s" : "%s\\%s", path, name);
    const DWORD attributes = findData.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // A junction: the link goes, what it points to stays.
        RemoveDirectoryA(work);
      } else {
        DeleteTree(work, root);
      }
      continue;
    }
    SetFileAttributesA(work, FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(work)) {
      DeleteHeldFile(work, root);
    }
  } while (FindNextFileA(find, &findData));
  FindClose(find);
  RemoveDirectoryA(path);
  free(work);
  return 1;
}
}  // namespace

int PkgDeleteFile(const char* path) {
  // A folder that is a link goes as a link, as the links inside a folder
  // do: what it points to is not the kit's to delete.
  if (IsFolderLink(path)) {
    Trace("Folder is a link, removed and not entered: [%s]\n", path);
    RemoveDirectoryA(path);
    return 1;
  }
  return DeleteTree(path, path);
}

int Transf2FileName(char* out, const char* path) {
  if (out == NULL || path == NULL) {
    Trace("Transf2Path is null, line: %d", 971);
    return 0;
  }
  const char* end = path + strlen(path);
  const char* name = end;
  while (name != path && name[-1] != '\\') {
    --name;
  }
  memset(out, 0, MAX_PATH);
  const size_t nameLength = static_cast<size_t>(end - name);
  // A name that would not fit is not cut into another file's name.
  if (nameLength >= MAX_PATH) {
    return 0;
  }
  memcpy(out, name, nameLength);
  return 1;
}
