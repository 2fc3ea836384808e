// Win32 helpers that put the Wine machine into the state a test needs and read
// back what the programs left on it. Each helper reports a failure with
// its reason as a gtest assertion result.
#ifndef KIT_TESTS_E2E_MACHINE_H
#define KIT_TESTS_E2E_MACHINE_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tools/tracecap/debug_capture.h"

namespace e2e {

// The folder of the running test program, without a trailing backslash.
std::string ProgramFolder();

// Whether the tests run under Wine rather than on Windows itself.
bool UnderWine();

// GetSystemDirectoryA as this 32-bit process sees it.
std::string SystemDirectory();

// GetWindowsDirectoryA as this process sees it.
std::string WindowsFolder();

// The Windows INF store: GetWindowsDirectoryA followed by "\inf".
std::string InfStoreFolder();

// The full name of `name` inside `folder`.
std::string JoinPath(const std::string& folder, const std::string& name);

// The whole content of a file, byte for byte.
::testing::AssertionResult ReadWholeFile(const std::string& path, std::string* content);

bool FileExists(const std::string& path);

bool FolderExists(const std::string& path);

// Writes `content` as the whole file, replacing any earlier one.
::testing::AssertionResult WriteWholeFile(const std::string& path, const std::string& content);

// The file attributes, INVALID_FILE_ATTRIBUTES for a missing entry.
DWORD AttributesOf(const std::string& path);

::testing::AssertionResult SetAttributes(const std::string& path, DWORD attributes);

// One entry of a folder listing: its name and attributes.
struct FolderEntry {
  std::string name;
  DWORD attributes = 0;
};

// The entries of `folder` that match `pattern` (files and folders, without
// "." and ".."), in the order in which the file system lists them.
std::vector<FolderEntry> ListFolder(const std::string& folder, const std::string& pattern = "*");

// The names (not paths) of the files in `folder` that match `pattern`.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern);

// Creates `path` and every missing folder above it.
::testing::AssertionResult MakeFolders(const std::string& path);

// Deletes `path` with everything in it, also past MAX_PATH; a missing
// folder is no error, and a junction goes without what it points to.
::testing::AssertionResult DeleteTree(const std::string& path);

::testing::AssertionResult CopyOneFile(const std::string& from, const std::string& to);

::testing::AssertionResult DeleteOneFile(const std::string& path);

// Deletes the key `subKey` of `root` (it must have no subkeys); a missing
// key is no error.
::testing::AssertionResult DeleteKey(HKEY root, const std::string& subKey);

// Deletes the key with all its subkeys; a missing key is no error.
::testing::AssertionResult DeleteKeyTree(HKEY root, const std::string& subKey);

bool KeyExists(HKEY root, const std::string& subKey);

// The names of the direct subkeys of a key, none when it is missing.
std::vector<std::string> SubKeys(HKEY root, const std::string& subKey);

// The names of the values of a key, none when it is missing.
std::vector<std::string> ValueNames(HKEY root, const std::string& subKey);

// Creates the key and every missing key above it.
::testing::AssertionResult CreateKey(HKEY root, const std::string& subKey);

// Creates the key if needed and writes the REG_SZ value `name`.
::testing::AssertionResult WriteStringValue(HKEY root, const std::string& subKey, const std::string& name,
                                            const std::string& text);

// Creates the key if needed and writes the REG_SZ value `name` with the
// text's bytes only, without a terminator.
::testing::AssertionResult WriteUnterminatedStringValue(HKEY root, const std::string& subKey,
                                                        const std::string& name, const std::string& text);

// Creates the key if needed and writes the REG_MULTI_SZ value `name`.
::testing::AssertionResult WriteMultiStringValue(HKEY root, const std::string& subKey,
                                                 const std::string& name,
                                                 const std::vector<std::string>& entries);

// Deletes one value; a missing key or value is no error.
::testing::AssertionResult DeleteValue(HKEY root, const std::string& subKey, const std::string& name);

// A registry value as stored: its type and its data bytes.
struct RegistryValue {
  bool present = false;
  DWORD type = REG_NONE;
  std::string data;
};

RegistryValue ReadValue(HKEY root, const std::string& subKey, const std::string& name);

// `argument` in double quotes, for a path with blanks on a command line.
std::string Quote(const std::string& argument);

// Runs the program at `path` with `arguments` under the debugger and
// checks that it started and ended with `expectedExitCode`.
CaptureResult RunTraced(const std::string& path, const std::vector<std::string>& arguments,
                        DWORD expectedExitCode);

// A program of ours started in the background, for the installer to find.
class BackgroundProgram {
 public:
  BackgroundProgram() = default;
  ~BackgroundProgram();
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  // Starts `path` and waits until the process list shows it under its
  // file name, so that a process walk started afterwards meets it. With
  // `inheritHandles` it gets this process's inheritable handles.
  ::testing::AssertionResult Start(const std::string& path, bool inheritHandles = false);

  // Whether it still runs.
  bool Running();

  // Waits up to `milliseconds` for the program to end; true with its exit
  // code when it did.
  bool WaitForEnd(DWORD milliseconds, DWORD* exitCode);

  // Ends the program if it still runs and forgets it.
  void Stop();

 private:
  HANDLE process_ = NULL;
  DWORD processId_ = 0;
};

// Paths past MAX_PATH, reached through the "\\?\" form of the wide
// functions. `path` is an absolute ANSI path such as "C:\\a\\b".
::testing::AssertionResult MakeLongFolder(const std::string& path);
::testing::AssertionResult WriteLongFile(const std::string& path, const std::string& content);
bool LongPathExists(const std::string& path);

// Makes the empty folder `link` a junction to the folder `target`. The
// error is the platform's answer when it cannot.
::testing::AssertionResult MakeJunction(const std::string& link, const std::string& target, DWORD* error);

// A link to a folder made on the Unix side with ln, which Wine runs like
// a Windows program: Wine lists it as a folder with
// FILE_ATTRIBUTE_REPARSE_POINT, as Windows lists a junction (which Wine 8
// cannot make). It is taken away with rm when the object goes.
class UnixFolderLink {
 public:
  UnixFolderLink() = default;
  ~UnixFolderLink();
  UnixFolderLink(const UnixFolderLink&) = delete;
  UnixFolderLink& operator=(const UnixFolderLink&) = delete;

  ::testing::AssertionResult Make(const std::string& link, const std::string& target);
  ::testing::AssertionResult Remove();

 private:
  std::string link_;
  std::string unixLink_;
};

// Makes `count` (at most 10000) files of one byte in the existing folder
// `folder`, named `prefix` with four digits from 0000 and `suffix`. Under
// Wine in one go with split on the Unix side, waiting until the last one
// is there: Wine looks every new name up against the whole folder, so that
// making thousands of files through Win32 takes minutes; once the names
// are there, files written over them through Win32 are quick. On Windows
// through Win32.
::testing::AssertionResult MakeNumberedFiles(const std::string& folder, const std::string& prefix,
                                             const std::string& suffix, int count);

// The running processes: id and executable name.
std::map<DWORD, std::string> RunningProcesses();

// A file kept open without delete sharing, as an editor holds a document:
// no one can delete it until it is closed. An inheritable handle passes to
// the programs started with inheritHandles.
class HeldOpenFile {
 public:
  HeldOpenFile() = default;
  ~HeldOpenFile();
  HeldOpenFile(const HeldOpenFile&) = delete;
  HeldOpenFile& operator=(const HeldOpenFile&) = delete;

  ::testing::AssertionResult Open(const std::string& path, bool inheritable = false);
  void Close();

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

}  // namespace e2e

#endif
