#include "tests/e2e/machine.h"

#include <tlhelp32.h>
#include <winioctl.h>

namespace e2e {

namespace {
::testing::AssertionResult Win32Failure(const std::string& what, DWORD error) {
  return ::testing::AssertionFailure() << what << " failed with error " << error;
}

// Writes `data` as it is, as the value `name` of `type` under `subKey`,
// which is made when missing.
::testing::AssertionResult WriteValue(HKEY root, const std::string& subKey, const std::string& name,
                                      DWORD type, const std::string& data) {
  HKEY key = NULL;
  LONG status = RegCreateKeyExA(root, subKey.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL);
  if (status != ERROR_SUCCESS) {
    return Win32Failure("creating key " + subKey, status);
  }
  status = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) {
    return Win32Failure("writing value " + name + " of " + subKey, status);
  }
  return ::testing::AssertionSuccess();
}

std::string FileNameOf(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Whether a process with this id shows in a fresh process list under the
// given executable name.
bool ProcessListed(DWORD processId, const std::string& exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return false;
  }
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  bool listed = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !listed;
       more = Process32Next(snapshot, &entry)) {
    listed = entry.th32ProcessID == processId && lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0;
  }
  CloseHandle(snapshot);
  return listed;
}
}  // namespace

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
  std::string full(path, length < MAX_PATH ? length : 0);
  const size_t cut = full.find_last_of('\\');
  return cut == std::string::npos ? std::string() : full.substr(0, cut);
}

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll"), "wine_get_version") != NULL; }

std::string SystemDirectory() {
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

std::string WindowsFolder() {
  char path[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

std::string InfStoreFolder() { return JoinPath(WindowsFolder(), "inf"); }

std::string JoinPath(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

::testing::AssertionResult ReadWholeFile(const std::string& path, std::string* content) {
  // Others may still hold it open for writing: a console host keeps the
  // handles a program was started with for a moment after it ends.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    return Win32Failure("opening " + path, GetLastError());
  }
  content->clear();
  char buffer[4096];
  DWORD read = 0;
  BOOL ok = TRUE;
  while ((ok = ReadFile(file, buffer, sizeof(buffer), &read, NULL)) && read > 0) {
    content->append(buffer, read);
  }
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!ok) {
    return Win32Failure("reading " + path, error);
  }
  return ::testing::AssertionSuccess();
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
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

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

::testing::AssertionResult WriteWholeFile(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    return Win32Failure("creating " + path, GetLastError());
  }
  DWORD written = 0;
  const BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, NULL);
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!ok || written != content.size()) {
    return Win32Failure("writing " + path, error);
  }
  return ::testing::AssertionSuccess();
}

DWORD AttributesOf(const std::string& path) { return GetFileAttributesA(path.c_str()); }

::testing::AssertionResult SetAttributes(const std::string& path, DWORD attributes) {
  if (!SetFileAttributesA(path.c_str(), attributes)) {
    return Win32Failure("setting the attributes of " + path, GetLastError());
  }
  return ::testing::AssertionSuccess();
}

std::vector<FolderEntry> ListFolder(const std::string& folder, const std::string& pattern) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(JoinPath(folder, pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return entries;
  }
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") {
      FolderEntry entry;
      entry.name = name;
      entry.attributes = found.dwFileAttributes;
      entries.push_back(entry);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return entries;
}

::testing::AssertionResult MakeFolders(const std::string& path) {
  for (size_t cut = path.find('\\', 3);; cut = path.find('\\', cut + 1)) {
    const std::string part = cut == std::string::npos ? path : path.substr(0, cut);
    if (!CreateDirectoryA(part.c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return Win32Failure("creating folder " + part, GetLastError());
    }
    if (cut == std::string::npos) {
      return ::testing::AssertionSuccess();
    }
  }
}

std::string Quote(const std::string& argument) { return "\"" + argument + "\""; }

CaptureResult RunTraced(const std::string& path, const std::vector<std::string>& arguments,
                        DWORD expectedExitCode) {
  std::string commandLine = Quote(path);
  for (const std::string& argument : arguments) {
    commandLine += " " + argument;
  }
  CaptureResult result = CaptureDebugOutput(commandLine);
  EXPECT_TRUE(result.started) << "cannot start " << commandLine << ": error " << result.startError;
  EXPECT_EQ(result.exitCode, expectedExitCode);
  return result;
}

::testing::AssertionResult CopyOneFile(const std::string& from, const std::string& to) {
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
    return Win32Failure("copying " + from + " to " + to, GetLastError());
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult DeleteOneFile(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!DeleteFileA(path.c_str())) {
    return Win32Failure("deleting " + path, GetLastError());
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult DeleteKey(HKEY root, const std::string& subKey) {
  const LONG status = RegDeleteKeyA(root, subKey.c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
    return Win32Failure("deleting key " + subKey, status);
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult DeleteKeyTree(HKEY root, const std::string& subKey) {
  for (const std::string& child : SubKeys(root, subKey)) {
    ::testing::AssertionResult done = DeleteKeyTree(root, subKey + "\\" + child);
    if (!done) {
      return done;
    }
  }
  return DeleteKey(root, subKey);
}

bool KeyExists(HKEY root, const std::string& subKey) {
  HKEY key = NULL;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
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

std::vector<std::string> ValueNames(HKEY root, const std::string& subKey) {
  std::vector<std::string> names;
  HKEY key = NULL;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return names;
  }
  char name[16384];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof(name);
    if (RegEnumValueA(key, index, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS) {
      break;
    }
    names.push_back(std::string(name, length));
  }
  RegCloseKey(key);
  return names;
}

::testing::AssertionResult CreateKey(HKEY root, const std::string& subKey) {
  HKEY key = NULL;
  const LONG status = RegCreateKeyExA(root, subKey.c_str(), 0, NULL, 0, KEY_READ, NULL, &key, NULL);
  if (status != ERROR_SUCCESS) {
    return Win32Failure("creating key " + subKey, status);
  }
  RegCloseKey(key);
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult WriteStringValue(HKEY root, const std::string& subKey, const std::string& name,
                                            const std::string& text) {
  return WriteValue(root, subKey, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

::testing::AssertionResult WriteUnterminatedStringValue(HKEY root, const std::string& subKey,
                                                        const std::string& name, const std::string& text) {
  return WriteValue(root, subKey, name, REG_SZ, text);
}

::testing::AssertionResult WriteMultiStringValue(HKEY root, const std::string& subKey,
                                                 const std::string& name,
                                                 const std::vector<std::string>& entries) {
  std::string data;
  for (const std::string& entry : entries) {
    data += entry;
    data += '\0';
  }
  data += '\0';
  return WriteValue(root, subKey, name, REG_MULTI_SZ, data);
}

::testing::AssertionResult DeleteValue(HKEY root, const std::string& subKey, const std::string& name) {
  HKEY key = NULL;
  LONG status = RegOpenKeyExA(root, subKey.c_str(), 0, KEY_SET_VALUE, &key);
  if (status == ERROR_FILE_NOT_FOUND) {
    return ::testing::AssertionSuccess();
  }
  if (status != ERROR_SUCCESS) {
    return Win32Failure("opening key " + subKey, status);
  }
  status = RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
    return Win32Failure("deleting value " + name + " of " + subKey, status);
  }
  return ::testing::AssertionSuccess();
}

RegistryValue ReadValue(HKEY root, const std::string& subKey, const std::string& name) {
  RegistryValue value;
  HKEY key = NULL;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return value;
  }
  DWORD size = 0;
  if (RegQueryValueExA(key, name.c_str(), NULL, &value.type, NULL, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> data(size);
    if (RegQueryValueExA(key, name.c_str(), NULL, &value.type, data.data(), &size) == ERROR_SUCCESS) {
      value.present = true;
      value.data.assign(data.begin(), data.begin() + size);
    }
  }
  RegCloseKey(key);
  return value;
}

BackgroundProgram::~BackgroundProgram() { Stop(); }

::testing::AssertionResult BackgroundProgram::Start(const std::string& path, bool inheritHandles) {
  Stop();
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof(info));
  std::string commandLine = "\"" + path + "\"";
  if (!CreateProcessA(path.c_str(), &commandLine[0], NULL, NULL, inheritHandles ? TRUE : FALSE, 0, NULL, NULL,
                      &startup, &info)) {
    return Win32Failure("starting " + path, GetLastError());
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
  const std::string exeName = FileNameOf(path);
  for (int tries = 0; tries < 200; ++tries) {
    if (ProcessListed(processId_, exeName)) {
      return ::testing::AssertionSuccess();
    }
    Sleep(50);
  }
  return ::testing::AssertionFailure() << path << " never showed in the process list";
}

bool BackgroundProgram::WaitForEnd(DWORD milliseconds, DWORD* exitCode) {
  if (process_ == NULL || WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) {
    return false;
  }
  return GetExitCodeProcess(process_, exitCode) != 0;
}

bool BackgroundProgram::Running() {
  return process_ != NULL && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void BackgroundProgram::Stop() {
  if (process_ == NULL) {
    return;
  }
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 10000);
  }
  CloseHandle(process_);
  process_ = NULL;
  processId_ = 0;
}

namespace {
std::wstring Extended(const std::string& path) {
  std::wstring wide(path.size(), L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), &wide[0],
                                         static_cast<int>(wide.size()));
  wide.resize(length > 0 ? length : 0);
  return L"\\\\?\\" + wide;
}
}  // namespace

::testing::AssertionResult MakeLongFolder(const std::string& path) {
  for (size_t cut = path.find('\\', 3);; cut = path.find('\\', cut + 1)) {
    const std::string part = cut == std::string::npos ? path : path.substr(0, cut);
    if (!CreateDirectoryW(Extended(part).c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return Win32Failure("creating folder " + part, GetLastError());
    }
    if (cut == std::string::npos) {
      return ::testing::AssertionSuccess();
    }
  }
}

::testing::AssertionResult WriteLongFile(const std::string& path, const std::string& content) {
  HANDLE file =
      CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    return Win32Failure("creating " + path, GetLastError());
  }
  DWORD written = 0;
  const BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, NULL);
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!ok) {
    return Win32Failure("writing " + path, error);
  }
  return ::testing::AssertionSuccess();
}

bool LongPathExists(const std::string& path) {
  return GetFileAttributesW(Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

::testing::AssertionResult DeleteTree(const std::string& path) {
  const std::wstring wide = Extended(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return ::testing::AssertionSuccess();
  }
  // A junction goes by itself; what it points to stays.
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
      RemoveDirectoryW(wide.c_str())) {
    return ::testing::AssertionSuccess();
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(wide.c_str())) {
      return Win32Failure("deleting " + path, GetLastError());
    }
    return ::testing::AssertionSuccess();
  }
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((wide + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") {
        continue;
      }
      char narrow[MAX_PATH];
      const int length = WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, narrow, sizeof(narrow), NULL, NULL);
      ::testing::AssertionResult done =
          DeleteTree(JoinPath(path, std::string(narrow, length > 0 ? length - 1 : 0)));
      if (!done) {
        FindClose(search);
        return done;
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  if (!RemoveDirectoryW(wide.c_str())) {
    return Win32Failure("removing folder " + path, GetLastError());
  }
  return ::testing::AssertionSuccess();
}

namespace {
// The mount-point form of REPARSE_DATA_BUFFER, which user-mode headers do
// not declare.
struct MountPointReparseBuffer {
  DWORD ReparseTag;
  WORD ReparseDataLength;
  WORD Reserved;
  WORD SubstituteNameOffset;
  WORD SubstituteNameLength;
  WORD PrintNameOffset;
  WORD PrintNameLength;
  WCHAR PathBuffer[2 * MAX_PATH + 8];
};
}  // namespace

::testing::AssertionResult MakeJunction(const std::string& link, const std::string& target, DWORD* error) {
  *error = ERROR_SUCCESS;
  if (!CreateDirectoryA(link.c_str(), NULL)) {
    *error = GetLastError();
    return Win32Failure("creating folder " + link, *error);
  }
  HANDLE folder = CreateFileA(link.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
  if (folder == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    RemoveDirectoryA(link.c_str());
    return Win32Failure("opening folder " + link, *error);
  }
  const std::wstring substitute = L"\\??\\" + Extended(target).substr(4);
  const std::wstring print = Extended(target).substr(4);
  MountPointReparseBuffer buffer;
  ZeroMemory(&buffer, sizeof(buffer));
  buffer.ReparseTag = IO_REPARSE_TAG_MOUNT_POINT;
  buffer.SubstituteNameOffset = 0;
  buffer.SubstituteNameLength = static_cast<WORD>(substitute.size() * sizeof(WCHAR));
  buffer.PrintNameOffset = static_cast<WORD>(buffer.SubstituteNameLength + sizeof(WCHAR));
  buffer.PrintNameLength = static_cast<WORD>(print.size() * sizeof(WCHAR));
  memcpy(buffer.PathBuffer, substitute.c_str(), buffer.SubstituteNameLength + sizeof(WCHAR));
  memcpy(reinterpret_cast<BYTE*>(buffer.PathBuffer) + buffer.PrintNameOffset, print.c_str(),
         buffer.PrintNameLength + sizeof(WCHAR));
  buffer.ReparseDataLength =
      static_cast<WORD>(4 * sizeof(WORD) + buffer.PrintNameOffset + buffer.PrintNameLength + sizeof(WCHAR));
  DWORD returned = 0;
  const BOOL made = DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, &buffer, buffer.ReparseDataLength + 8,
                                    NULL, 0, &returned, NULL);
  *error = made ? ERROR_SUCCESS : GetLastError();
  CloseHandle(folder);
  if (!made) {
    RemoveDirectoryA(link.c_str());
    return Win32Failure("making " + link + " a junction", *error);
  }
  return ::testing::AssertionSuccess();
}

namespace {
typedef char*(CDECL* UnixFileNameFunction)(LPCWSTR);

// The Unix name Wine gives a Windows path; empty when there is none.
std::string UnixFileName(const std::string& path) {
  const UnixFileNameFunction unixFileName = reinterpret_cast<UnixFileNameFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  if (unixFileName == NULL) {
    return std::string();
  }
  char* name = unixFileName(Extended(path).substr(4).c_str());
  if (name == NULL) {
    return std::string();
  }
  const std::string text = name;
  HeapFree(GetProcessHeap(), 0, name);
  return text;
}

// Starts a Unix program by its Unix path. Wine hands it to the system
// without a process handle to wait on: the caller waits for its effect.
::testing::AssertionResult StartUnixProgram(const std::string& program,
                                            const std::vector<std::string>& arguments) {
  const std::string windowsName = "Z:" + program;
  std::string commandLine = Quote(program);
  for (const std::string& argument : arguments) {
    commandLine += " " + Quote(argument);
  }
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof(info));
  if (!CreateProcessA(windowsName.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                      &info)) {
    return Win32Failure("starting " + commandLine, GetLastError());
  }
  for (HANDLE handle : {info.hThread, info.hProcess}) {
    if (handle != NULL) {
      CloseHandle(handle);
    }
  }
  return ::testing::AssertionSuccess();
}

// Waits up to ten seconds for `path` to be a folder link (or, with
// `present` false, to be gone).
bool WaitForLink(const std::string& path, bool present) {
  for (int tries = 0; tries < 200; ++tries) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const bool link =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (present ? link : attributes == INVALID_FILE_ATTRIBUTES) {
      return true;
    }
    Sleep(50);
  }
  return false;
}
}  // namespace

::testing::AssertionResult MakeNumberedFiles(const std::string& folder, const std::string& prefix,
                                             const std::string& suffix, int count) {
  if (!UnderWine()) {
    for (int number = 0; number < count; ++number) {
      char name[16];
      wsprintfA(name, "%04d", number);
      const ::testing::AssertionResult written =
          WriteWholeFile(JoinPath(folder, prefix + name + suffix), "x");
      if (!written) {
        return written;
      }
    }
    return ::testing::AssertionSuccess();
  }
  char temp[MAX_PATH];
  const DWORD length = GetTempPathA(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) {
    return Win32Failure("asking for the temporary folder", GetLastError());
  }
  const std::string source = JoinPath(std::string(temp, length - 1), "numbered_files.bin");
  const ::testing::AssertionResult written = WriteWholeFile(source, std::string(count, 'x'));
  if (!written) {
    return written;
  }
  const std::string unixSource = UnixFileName(source);
  const std::string unixFolder = UnixFileName(folder);
  if (unixSource.empty() || unixFolder.empty()) {
    return ::testing::AssertionFailure() << "no Unix name for " << source << " or " << folder;
  }
  const ::testing::AssertionResult started = StartUnixProgram(
      "/usr/bin/split",
      {"-b", "1", "-a", "4", "-d", "--additional-suffix=" + suffix, unixSource, unixFolder + "/" + prefix});
  if (!started) {
    return started;
  }
  char last[16];
  wsprintfA(last, "%04d", count - 1);
  const std::string lastFile = JoinPath(folder, prefix + last + suffix);
  bool made = false;
  for (int tries = 0; tries < 1200 && !made; ++tries) {
    made = FileExists(lastFile);
    if (!made) {
      Sleep(50);
    }
  }
  DeleteFileA(source.c_str());
  if (!made) {
    return ::testing::AssertionFailure() << "split made no " << lastFile;
  }
  return ::testing::AssertionSuccess();
}

UnixFolderLink::~UnixFolderLink() { EXPECT_TRUE(Remove()); }

::testing::AssertionResult UnixFolderLink::Make(const std::string& link, const std::string& target) {
  const std::string unixTarget = UnixFileName(target);
  const std::string unixLink = UnixFileName(link);
  if (unixTarget.empty() || unixLink.empty()) {
    return ::testing::AssertionFailure() << "no Unix name for " << target << " or " << link;
  }
  const ::testing::AssertionResult started = StartUnixProgram("/bin/ln", {"-s", "--", unixTarget, unixLink});
  if (!started) {
    return started;
  }
  link_ = link;
  unixLink_ = unixLink;
  if (!WaitForLink(link, true)) {
    return ::testing::AssertionFailure() << "ln made no link " << unixLink << " to " << unixTarget;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult UnixFolderLink::Remove() {
  if (unixLink_.empty()) {
    return ::testing::AssertionSuccess();
  }
  const ::testing::AssertionResult started = StartUnixProgram("/bin/rm", {"-f", "--", unixLink_});
  unixLink_.clear();
  if (!started) {
    return started;
  }
  if (!WaitForLink(link_, false)) {
    return ::testing::AssertionFailure() << "rm left the link " << link_;
  }
  return ::testing::AssertionSuccess();
}

std::map<DWORD, std::string> RunningProcesses() {
  std::map<DWORD, std::string> processes;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return processes;
  }
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    processes[entry.th32ProcessID] = entry.szExeFile;
  }
  CloseHandle(snapshot);
  return processes;
}

HeldOpenFile::~HeldOpenFile() { Close(); }

::testing::AssertionResult HeldOpenFile::Open(const std::string& path, bool inheritable) {
  Close();
  SECURITY_ATTRIBUTES security;
  ZeroMemory(&security, sizeof(security));
  security.nLength = sizeof(security);
  security.bInheritHandle = inheritable ? TRUE : FALSE;
  file_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, &security, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, NULL);
  if (file_ == INVALID_HANDLE_VALUE) {
    return Win32Failure("opening " + path, GetLastError());
  }
  return ::testing::AssertionSuccess();
}

void HeldOpenFile::Close() {
  if (file_ != INVALID_HANDLE_VALUE) {
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
  }
}

}  // namespace e2e
