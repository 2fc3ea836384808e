// File management: finding files, setting attributes, deleting files and
// removing folders, on the drives of file_system.cpp.
#include <stdio.h>

#include "tests/kit_facts/letter_case.h"
#include "winsim/simulated_windows.h"

using winsim::FileEntry;
using winsim::Handle;
using winsim::IsDriveRoot;
using winsim::machine;

namespace {
const DWORD kKindBits = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;

FileEntry* Find(const std::string& resolved) {
  auto it = machine().files.find(resolved);
  return it == machine().files.end() ? nullptr : &it->second;
}

bool HeldOpen(const FileEntry& entry) {
  const winsim::Process* process = entry.heldBy == 0 ? nullptr : machine().FindProcess(entry.heldBy);
  return process != nullptr && process->running;
}

// The checks every call taking a path makes first: false with lastError set
// when the path is unusable.
bool UsablePath(LPCSTR path) {
  if (path == nullptr || path[0] == '\0') {
    machine().lastError = ERROR_PATH_NOT_FOUND;
    return false;
  }
  if (strlen(path) >= MAX_PATH) {
    machine().lastError = ERROR_FILENAME_EXCED_RANGE;
    return false;
  }
  return true;
}

bool Matches(const char* mask, const char* name) {
  for (; *mask != '\0'; ++mask, ++name) {
    if (*mask == '*') {
      for (const char* rest = name;; ++rest) {
        if (Matches(mask + 1, rest)) {
          return true;
        }
        if (*rest == '\0') {
          return false;
        }
      }
    }
    if (*name == '\0' || (*mask != '?' && kit::UpperAscii(*mask) != kit::UpperAscii(*name))) {
      return false;
    }
  }
  return *name == '\0';
}

void Fill(const Handle& find, WIN32_FIND_DATAA* data) {
  const FileEntry& entry = find.entries[find.position];
  memset(data, 0, sizeof(*data));
  data->dwFileAttributes = entry.attributes == 0 ? FILE_ATTRIBUTE_NORMAL : entry.attributes;
  if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    data->nFileSizeLow = static_cast<DWORD>(entry.content.size());
  }
  snprintf(data->cFileName, sizeof(data->cFileName), "%s", find.names[find.position].c_str());
}

BOOL Fail(DWORD error) {
  machine().lastError = error;
  return FALSE;
}
}  // namespace

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data) {
  winsim::Machine& m = machine();
  if (!UsablePath(pattern)) {
    return INVALID_HANDLE_VALUE;
  }
  const std::string text = pattern;
  const size_t cut = text.rfind('\\');
  if (cut == std::string::npos) {
    m.lastError = ERROR_PATH_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  const std::string folder = m.Resolve(text.substr(0, cut), true);
  std::string mask = text.substr(cut + 1);
  if (mask == "*.*") {
    mask = "*";
  }
  const bool root = IsDriveRoot(folder);
  if (!root) {
    const FileEntry* entry = Find(folder);
    if (entry == nullptr) {
      m.lastError = ERROR_PATH_NOT_FOUND;
      return INVALID_HANDLE_VALUE;
    }
    if ((entry->attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      m.lastError = ERROR_DIRECTORY;
      return INVALID_HANDLE_VALUE;
    }
  }
  // The listing is taken now, in NTFS order; later changes do not show.
  Handle find;
  find.kind = Handle::Kind::kFind;
  find.path = folder;
  FileEntry dots;
  dots.attributes = FILE_ATTRIBUTE_DIRECTORY;
  for (const char* name : {".", ".."}) {
    if (!root && Matches(mask.c_str(), name)) {
      find.names.push_back(name);
      find.entries.push_back(dots);
    }
  }
  const std::string prefix = kit::UpperAscii(folder) + "\\";
  for (const auto& file : m.files) {
    const std::string key = kit::UpperAscii(file.first);
    if (key.size() > prefix.size() && key.compare(0, prefix.size(), prefix) == 0 &&
        key.find('\\', prefix.size()) == std::string::npos) {
      const std::string name = file.first.substr(prefix.size());
      if (Matches(mask.c_str(), name.c_str())) {
        find.names.push_back(name);
        find.entries.push_back(file.second);
      }
    }
  }
  if (find.names.empty()) {
    m.lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  Fill(find, data);
  find.position = 1;
  return m.Open(find);
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data) {
  Handle* handle = machine().Lookup(find, Handle::Kind::kFind);
  if (handle == nullptr) {
    return Fail(ERROR_INVALID_HANDLE);
  }
  if (handle->position >= handle->names.size()) {
    return Fail(ERROR_NO_MORE_FILES);
  }
  Fill(*handle, data);
  ++handle->position;
  return TRUE;
}

BOOL FindClose(HANDLE find) {
  winsim::Machine& m = machine();
  if (m.Lookup(find, Handle::Kind::kFind) == nullptr) {
    return Fail(ERROR_INVALID_HANDLE);
  }
  m.handles.erase(reinterpret_cast<uintptr_t>(find));
  return TRUE;
}

BOOL SetFileAttributesA(LPCSTR path, DWORD attributes) {
  if (!UsablePath(path)) {
    return FALSE;
  }
  const std::string resolved = machine().Resolve(path, false);
  FileEntry* entry = Find(resolved);
  if (entry == nullptr) {
    return IsDriveRoot(resolved) ? TRUE : Fail(ERROR_FILE_NOT_FOUND);
  }
  // FILE_ATTRIBUTE_NORMAL alone clears the others; what an entry is stays.
  entry->attributes = (entry->attributes & kKindBits) | (attributes & ~(kKindBits | FILE_ATTRIBUTE_NORMAL));
  return TRUE;
}

BOOL DeleteFileA(LPCSTR path) {
  winsim::Machine& m = machine();
  if (!UsablePath(path)) {
    return FALSE;
  }
  const std::string resolved = m.Resolve(path, false);
  for (const std::string& name : {std::string(path), resolved}) {
    auto refused = m.refusedDeletes.find(name);
    if (refused != m.refusedDeletes.end()) {
      return Fail(refused->second);
    }
  }
  FileEntry* entry = Find(resolved);
  if (entry == nullptr) {
    return Fail(IsDriveRoot(resolved) ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
  }
  if ((entry->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return Fail(ERROR_ACCESS_DENIED);
  }
  if (HeldOpen(*entry)) {
    return Fail(ERROR_SHARING_VIOLATION);
  }
  if ((entry->attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return Fail(ERROR_ACCESS_DENIED);
  }
  m.files.erase(resolved);
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR path) {
  winsim::Machine& m = machine();
  if (!UsablePath(path)) {
    return FALSE;
  }
  const std::string resolved = m.Resolve(path, false);
  FileEntry* entry = Find(resolved);
  if (entry == nullptr) {
    return Fail(IsDriveRoot(resolved) ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
  }
  if ((entry->attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return Fail(ERROR_DIRECTORY);
  }
  if (HeldOpen(*entry)) {
    return Fail(ERROR_SHARING_VIOLATION);
  }
  if ((entry->attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return Fail(ERROR_ACCESS_DENIED);
  }
  // A junction goes as a link; its target and what is in it stay.
  if ((entry->attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    const std::string prefix = kit::UpperAscii(resolved) + "\\";
    for (const auto& file : m.files) {
      if (kit::UpperAscii(file.first).compare(0, prefix.size(), prefix) == 0) {
        return Fail(ERROR_DIR_NOT_EMPTY);
      }
    }
  }
  m.files.erase(resolved);
  return TRUE;
}
