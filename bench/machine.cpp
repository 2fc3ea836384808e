#include "bench/machine.h"

namespace bench {

namespace {
typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE, PBOOL);

std::string FolderOf(const std::string& path) {
  const size_t cut = path.find_last_of('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::vector<std::string> SubKeys(HKEY root, const std::string& subKey) {
  std::vector<std::string> names;
  HKEY key = NULL;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return names;
  }
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof(name);
    if (RegEnumKeyExA(key, index, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS) {
      break;
    }
    names.push_back(std::string(name, length));
  }
  RegCloseKey(key);
  return names;
}

bool WriteValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                const std::string& data) {
  HKEY handle = NULL;
  if (RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &handle, NULL) != ERROR_SUCCESS) {
    return false;
  }
  const LONG status =
      RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                     static_cast<DWORD>(data.size()));
  RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}
}  // namespace

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
  return FolderOf(std::string(path, length < MAX_PATH ? length : 0));
}

std::string InfFolder() {
  char path[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
  return JoinPath(std::string(path, length < MAX_PATH ? length : 0), "inf");
}

std::string SystemDrive() {
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  return length >= 2 && length < MAX_PATH ? std::string(path, 2) : std::string("C:");
}

bool UnderWow64() {
  IsWow64ProcessFn isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "IsWow64Process")));
  BOOL answer = FALSE;
  return isWow64Process != NULL && isWow64Process(GetCurrentProcess(), &answer) && answer;
}

std::string JoinPath(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolders(const std::string& path) {
  if (path.empty() || PathExists(path)) {
    return true;
  }
  if (!MakeFolders(FolderOf(path))) {
    return false;
  }
  return CreateDirectoryA(path.c_str(), NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WriteWholeFile(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  const BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, NULL);
  CloseHandle(file);
  return ok && written == content.size();
}

bool CopyOneFile(const std::string& from, const std::string& to) {
  SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
  return CopyFileA(from.c_str(), to.c_str(), FALSE) && SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool DeleteTree(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return true;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != FALSE;
  }
  bool done = true;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(JoinPath(path, "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != "..") {
        done = DeleteTree(JoinPath(path, name)) && done;
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryA(path.c_str()) && done;
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(JoinPath(folder, pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return names;
  }
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      names.push_back(found.cFileName);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

bool WriteStringValue(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
  return WriteValue(root, key, name, REG_SZ, value + '\0');
}

bool WriteMultiStringValue(HKEY root, const std::string& key, const std::string& name,
                           const std::vector<std::string>& values) {
  std::string data;
  for (const std::string& value : values) {
    data += value + '\0';
  }
  return WriteValue(root, key, name, REG_MULTI_SZ, data + '\0');
}

bool DeleteKeyTree(HKEY root, const std::string& key) {
  bool done = true;
  for (const std::string& child : SubKeys(root, key)) {
    done = DeleteKeyTree(root, key + "\\" + child) && done;
  }
  const LONG status = RegDeleteKeyA(root, key.c_str());
  return (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) && done;
}

}  // namespace bench
