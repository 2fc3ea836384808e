#include "tests/wine/long_paths_and_links.h"

#include <winioctl.h>

#include <vector>

#include "tests/wine/files.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"
#include "tests/wine/win32_failure.h"

namespace wine {

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

typedef char*(CDECL* UnixFileNameFunction)(LPCWSTR);

// The Unix name Wine gives a Windows path; empty when there is none.
std::string UnixFileName(const std::string& path) {
  const UnixFileNameFunction unixFileName = reinterpret_cast<UnixFileNameFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  if (unixFileName == NULL) {
    return std::string();
  }
  char* name = unixFileName(ExtendedPath(path).substr(4).c_str());
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
    const DWORD attributes = AttributesOf(path);
    const bool link =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (present ? link : attributes == INVALID_FILE_ATTRIBUTES) {
      return true;
    }
    Sleep(50);
  }
  return false;
}

// Four digits, from 0000.
std::string Numbered(int number) {
  char digits[16];
  wsprintfA(digits, "%04d", number);
  return digits;
}
}  // namespace

std::wstring ExtendedPath(const std::string& path) {
  std::wstring wide(path.size(), L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), &wide[0],
                                         static_cast<int>(wide.size()));
  wide.resize(length > 0 ? length : 0);
  return L"\\\\?\\" + wide;
}

::testing::AssertionResult MakeLongFolder(const std::string& path) {
  for (size_t cut = path.find('\\', 3);; cut = path.find('\\', cut + 1)) {
    const std::string part = cut == std::string::npos ? path : path.substr(0, cut);
    if (!CreateDirectoryW(ExtendedPath(part).c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return Win32Failure("creating folder " + part, GetLastError());
    }
    if (cut == std::string::npos) {
      return ::testing::AssertionSuccess();
    }
  }
}

::testing::AssertionResult WriteLongFile(const std::string& path, const std::string& content) {
  return WriteAndClose(CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, NULL),
                       path, content);
}

bool LongPathExists(const std::string& path) {
  return GetFileAttributesW(ExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

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
  const std::wstring print = ExtendedPath(target).substr(4);
  const std::wstring substitute = L"\\??\\" + print;
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

::testing::AssertionResult MakeNumberedFiles(const std::string& folder, const std::string& prefix,
                                             const std::string& suffix, int count) {
  if (!UnderWine()) {
    for (int number = 0; number < count; ++number) {
      const ::testing::AssertionResult written =
          WriteWholeFile(JoinPath(folder, prefix + Numbered(number) + suffix), "x");
      if (!written) {
        return written;
      }
    }
    return ::testing::AssertionSuccess();
  }
  const std::string source = JoinPath(TemporaryFolder(), "numbered_files.bin");
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
  const std::string lastFile = JoinPath(folder, prefix + Numbered(count - 1) + suffix);
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

}  // namespace wine
