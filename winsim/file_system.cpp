// The file system: the simulated drives, where names are alike in either
// case and junctions link folders. Paths resolve through junctions; tests
// add folders, files and junctions and read back what is left.
#include "winsim/simulated_windows.h"

namespace {
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
    if (!winsim::IsDriveRoot(folder) && m.files.count(folder) == 0) {
      m.files[folder].attributes = FILE_ATTRIBUTE_DIRECTORY;
    }
  }
}
}  // namespace

namespace winsim {

bool IsDriveRoot(const std::string& path) { return path.size() == 2 && path[1] == ':'; }

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
