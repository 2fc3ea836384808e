#include "kit_actions/leftovers.h"

#include "common/win32.h"
#include "kit_actions/joined_path.h"

namespace {
bool IsDots(const char* name) { return strcmp(name, ".") == 0 || strcmp(name, "..") == 0; }

bool IsFolderLink(DWORD attributes) {
  const DWORD link = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  return (attributes & link) == link;
}

// Calls `visit` with the full path and attributes of each entry of
// `folder`; false when an entry's path would not fit.
template <typename Visit>
bool ForEachEntry(const char* folder, Visit visit) {
  char path[MAX_PATH];
  if (!JoinPath(path, folder, "*")) {
    return false;
  }
  bool whole = true;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(path, &found);
  if (find == INVALID_HANDLE_VALUE) {
    return true;
  }
  do {
    if (IsDots(found.cFileName)) {
      continue;
    }
    if (JoinPath(path, folder, found.cFileName)) {
      visit(path, found.dwFileAttributes);
    } else {
      whole = false;
    }
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return whole;
}

// Deletes what it can of `folder`, a folder that is not a link; true when
// something of it is still there.
bool DeleteTree(const char* folder) {
  bool left = false;
  const bool whole = ForEachEntry(folder, [&left](const char* path, DWORD attributes) {
    if (IsFolderLink(attributes)) {
      left = !RemoveDirectoryA(path) || left;
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      left = DeleteTree(path) || left;
    } else {
      SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
      left = !DeleteFileA(path) || left;
    }
  });
  return !RemoveDirectoryA(folder) || left || !whole;
}

// Registers `folder` and what is left in it for deletion at the next
// restart. A folder is registered before and after what it holds: Windows
// takes the registrations in the order they were made, Wine in the
// reverse, and the folder goes at whichever of its turns finds it empty.
void DeleteTreeAtRestart(const char* folder) {
  MoveFileExA(folder, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
  ForEachEntry(folder, [](const char* path, DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !IsFolderLink(attributes)) {
      DeleteTreeAtRestart(path);
    } else {
      MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
  });
  MoveFileExA(folder, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}
}  // namespace

bool RemoveLeftovers(const char* folder) {
  const DWORD attributes = GetFileAttributesA(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return false;
  }
  if (IsFolderLink(attributes)) {
    if (RemoveDirectoryA(folder)) {
      return false;
    }
    MoveFileExA(folder, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    return true;
  }
  if (!DeleteTree(folder)) {
    return false;
  }
  DeleteTreeAtRestart(folder);
  return true;
}
