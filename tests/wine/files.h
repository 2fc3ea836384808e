// Files and folders as the tests lay them out and read them back, through
// the ANSI calls; DeleteTree also goes past MAX_PATH (long_paths_and_links.h
// has the rest of that).
#ifndef KIT_TESTS_WINE_FILES_H
#define KIT_TESTS_WINE_FILES_H

#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace wine {

// The full name of `name` inside `folder`.
std::string JoinPath(const std::string& folder, const std::string& name);

// The folder part of a path, without a trailing backslash; empty for a
// bare name.
std::string FolderOf(const std::string& path);

// The last part of a path.
std::string FileNameOf(const std::string& path);

// A file of the test's own beside the test program, in its scratch folder,
// which is made when missing.
std::string ScratchFile(const std::string& name);

// The whole content of a file, byte for byte.
::testing::AssertionResult ReadWholeFile(const std::string& path, std::string* content);

// Writes `content` as the whole file, replacing any earlier one.
::testing::AssertionResult WriteWholeFile(const std::string& path, const std::string& content);
// Writes `content` into `file`, just created at `path` (or
// INVALID_HANDLE_VALUE if that failed), and closes it.
::testing::AssertionResult WriteAndClose(HANDLE file, const std::string& path, const std::string& content);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// A file or a folder.
bool PathExists(const std::string& path);

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

// The names of the entries of a folder, in the order of ListFolder.
std::vector<std::string> NamesIn(const std::string& folder);

// The names (not paths) of the files in `folder` that match `pattern`.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern);

// Creates `path`, an absolute path with its drive ("C:\a\b"), and every
// missing folder above it; a folder that is there already is no error.
::testing::AssertionResult MakeFolders(const std::string& path);

// Deletes `path` with everything in it, also past MAX_PATH, attributes
// notwithstanding; a missing path is no error, and a junction goes without
// what it points to. Stops at the first entry that cannot be deleted.
::testing::AssertionResult DeleteTree(const std::string& path);

// Copies a file over any earlier one, as it is, attributes included.
::testing::AssertionResult CopyOneFile(const std::string& from, const std::string& to);

// Copies a file over any earlier one, whatever that one's attributes, and
// leaves the copy with normal attributes.
::testing::AssertionResult CopyAsNormalFile(const std::string& from, const std::string& to);

// The precompiled companion Windows keeps beside an INF file "x.inf":
// "x.pnf".
inline std::string PnfOf(const std::string& inf) { return inf.substr(0, inf.size() - 4) + ".pnf"; }

// Deletes one file, attributes notwithstanding.
::testing::AssertionResult DeleteOneFile(const std::string& path);

}  // namespace wine

#endif
