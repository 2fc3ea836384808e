#include "tests/wine/files.h"

#include "tests/wine/long_paths_and_links.h"
#include "tests/wine/prefix.h"
#include "tests/wine/win32_failure.h"

namespace wine {

std::string JoinPath(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

std::string FolderOf(const std::string& path) {
  const size_t cut = path.find_last_of('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string FileNameOf(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ScratchFile(const std::string& name) {
  const std::string folder = JoinPath(ProgramFolder(), "e2e_scratch");
  CreateDirectoryA(folder.c_str(), NULL);
  return JoinPath(folder, name);
}

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

::testing::AssertionResult WriteWholeFile(const std::string& path, const std::string& content) {
  return WriteAndClose(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL), path,
      content);
}

::testing::AssertionResult WriteAndClose(HANDLE file, const std::string& path, const std::string& content) {
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

bool FileExists(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PathExists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

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

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const FolderEntry& entry : ListFolder(folder)) {
    names.push_back(entry.name);
  }
  return names;
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  for (const FolderEntry& entry : ListFolder(folder, pattern)) {
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      names.push_back(entry.name);
    }
  }
  return names;
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

::testing::AssertionResult DeleteTree(const std::string& path) {
  const std::wstring wide = ExtendedPath(path);
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

::testing::AssertionResult CopyOneFile(const std::string& from, const std::string& to) {
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
    return Win32Failure("copying " + from + " to " + to, GetLastError());
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult CopyAsNormalFile(const std::string& from, const std::string& to) {
  SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
  const ::testing::AssertionResult copied = CopyOneFile(from, to);
  return copied ? SetAttributes(to, FILE_ATTRIBUTE_NORMAL) : copied;
}

::testing::AssertionResult DeleteOneFile(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!DeleteFileA(path.c_str())) {
    return Win32Failure("deleting " + path, GetLastError());
  }
  return ::testing::AssertionSuccess();
}

}  // namespace wine
