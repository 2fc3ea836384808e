#include "kit_actions/staged_copies.h"

#include "common/platform_probes.h"
#include "common/win32.h"
#include "kit_actions/joined_path.h"

namespace {
const char* const kInfFiles[] = {"android_usb.inf", "qcmdm.inf", "qcser.inf", "qcnet.inf"};
const char kPackage32[] = "\\Program Files\\NORDAL_5120_USB_DRIVER\\INF";
const char kPackage64[] = "\\Program Files (x86)\\NORDAL_5120_USB_DRIVER\\INF\\64_inf";

// A file's bytes, mapped for reading.
struct MappedFile {
  HANDLE file = INVALID_HANDLE_VALUE;
  HANDLE mapping = NULL;
  const void* bytes = NULL;
  DWORD size = 0;

  // Maps the file `path`, whose listing says it holds `length` bytes;
  // false when it cannot be read whole.
  bool Open(const char* path, DWORD length) {
    file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
      return false;
    }
    size = length;
    if (size == 0) {
      return true;
    }
    mapping = CreateFileMappingA(file, NULL, PAGE_READONLY, 0, size, NULL);
    bytes = mapping == NULL ? NULL : MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    return bytes != NULL;
  }

  ~MappedFile() {
    if (bytes != NULL) {
      UnmapViewOfFile(bytes);
    }
    if (mapping != NULL) {
      CloseHandle(mapping);
    }
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
    }
  }
};

bool SameBytes(const MappedFile& source, const char* path) {
  MappedFile copy;
  return copy.Open(path, source.size) &&
         (source.size == 0 || memcmp(copy.bytes, source.bytes, source.size) == 0);
}

// The size of the file `path` as its folder lists it; false for a folder,
// a missing file, or one of 4 GiB or more.
bool ListedSize(const char* path, DWORD* size) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(path, &found);
  if (find == INVALID_HANDLE_VALUE) {
    return false;
  }
  FindClose(find);
  *size = found.nFileSizeLow;
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && found.nFileSizeHigh == 0;
}

// Whether a file of the INF folder, "*.inf", holds the bytes of `source`.
bool HasCopy(const char* infFolder, const MappedFile& source) {
  char path[MAX_PATH];
  if (!JoinPath(path, infFolder, "*.inf")) {
    return false;
  }
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(path, &found);
  if (find == INVALID_HANDLE_VALUE) {
    return false;
  }
  bool copied = false;
  do {
    copied = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && found.nFileSizeHigh == 0 &&
             found.nFileSizeLow == source.size && JoinPath(path, infFolder, found.cFileName) &&
             SameBytes(source, path);
  } while (!copied && FindNextFileA(find, &found));
  FindClose(find);
  return copied;
}
}  // namespace

const char* FirstUnstagedInf() {
  char system[MAX_PATH];
  char package[MAX_PATH];
  char windows[MAX_PATH];
  char infFolder[MAX_PATH];
  const UINT systemLength = GetSystemDirectoryA(system, MAX_PATH);
  const UINT windowsLength = GetWindowsDirectoryA(windows, MAX_PATH - 4);
  if (systemLength == 0 || systemLength >= MAX_PATH || windowsLength == 0 || windowsLength >= MAX_PATH - 4) {
    return kInfFiles[0];
  }
  wsprintfA(package, "%c:%s", system[0], IsRunningOnWow64() ? kPackage64 : kPackage32);
  wsprintfA(infFolder, "%s\\inf", windows);
  for (const char* name : kInfFiles) {
    char path[MAX_PATH];
    DWORD size = 0;
    MappedFile source;
    if (!JoinPath(path, package, name) || !ListedSize(path, &size) || !source.Open(path, size) ||
        !HasCopy(infFolder, source)) {
      return name;
    }
  }
  return NULL;
}
