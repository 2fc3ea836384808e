// Files and folders: finding, attributes and deleting, on one NTFS-like drive
// set where names are case-insensitive and junctions link folders.
#include <ctype.h>
#include <stdio.h>

#include "winsim/machine.h"

using winsim::FileEntry;
using winsim::Handle;
using winsim::machine;

namespace {
const DWORD kKindBits = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;

bool IsDriveRoot(const std::string& path) { return path.size() == 2 && path[1] == ':'; }

std::string StripSlashes(std::string path) {
  while (!path.empty() && path.back() == '\\') {
    path.pop_back();
  }
  return path;
}

// Creates the folders above a path that are missing.
void AddParents(winsim::Machine& m, const std::string& path) {
  for (size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1)) {
    const std::string folder = path.substr(0, cut);
    if (!IsDriveRoot(folder) && m.files.count(folder) == 0) {
      m.files[folder].attributes = FILE_ATTRIBUTE_DIRECTORY;
    }
  }
}

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
    if (*name == '\0' || (*mask != '?' && toupper(static_cast<unsigned char>(*mask)) !=
                                              toupper(static_cast<unsigned char>(*name)))) {
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

namespace winsim {

std::string Machine::Resolve(const std::string& path, bool followLast) const {
  std::string resolved = StripSlashes(path);
  // A bounded number of links, so that a junction loop ends somewhere.
  for (int hops = 0; hops < 32; ++hops) {
    bool followed = false;
    for (size_t cut = resolved.find('\\');; cut = resolved.find('\\', cut + 1)) {
      const bool last = cut == std::string::npos;
      if (last && !followLast) {
        break;
      }
      auto it = files.find(last ? resolved : resolved.substr(0, cut));
      if (it != files.end() && (it->second.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        resolved = StripSlashes(it->second.target) + (last ? std::string() : resolved.substr(cut));
        followed = true;
        break;
      }
      if (last) {
        break;
      }
    }
    if (!followed) {
      break;
    }
  }
  return resolved;
}

FileEntry& Machine::AddFolder(const std::string& path) {
  const std::string resolved = Resolve(path, false);
  AddParents(*this, resolved);
  FileEntry& entry = files[resolved];
  entry.attributes |= FILE_ATTRIBUTE_DIRECTORY;
  return entry;
}

FileEntry& Machine::AddFile(const std::string& path, const std::string& content, DWORD attributes) {
  const std::string resolved = Resolve(path, false);
  AddParents(*this, resolved);
  FileEntry& entry = files[resolved];
  entry.attributes = attributes;
  entry.content = content;
  return entry;
}

FileEntry& Machine::AddJunction(const std::string& path, const std::string& target) {
  const std::string resolved = Resolve(path, false);
  AddParents(*this, resolved);
  FileEntry& entry = files[resolved];
  entry.attributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  entry.target = target;
  return entry;
}

bool Machine::Exists(const std::string& path) const {
  const std::string resolved = Resolve(path, false);
  return IsDriveRoot(resolved) || files.count(resolved) != 0;
}

DWORD Machine::Attributes(const std::string& path) const {
  const std::string resolved = Resolve(path, false);
  if (IsDriveRoot(resolved)) {
    return FILE_ATTRIBUTE_DIRECTORY;
  }
  auto it = files.find(resolved);
  return it == files.end() ? INVALID_FILE_ATTRIBUTES : it->second.attributes;
}

std::string Machine::FileContent(const std::string& path) const {
  auto it = files.find(Resolve(path, false));
  return it == files.end() ? std::string() : it->second.content;
}

}  // namespace winsim

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
  const std::string prefix = winsim::Upper(folder) + "\\";
  for (const auto& file : m.files) {
    const std::string key = winsim::Upper(file.first);
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
    const std::string prefix = winsim::Upper(resolved) + "\\";
    for (const auto& file : m.files) {
      if (winsim::Upper(file.first).compare(0, prefix.size(), prefix) == 0) {
        return Fail(ERROR_DIR_NOT_EMPTY);
      }
    }
  }
  m.files.erase(resolved);
  return TRUE;
}
