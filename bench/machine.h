// Win32 helpers with which the benchmark lays out the machine a case runs
// on and puts it back between runs.
#ifndef KIT_BENCH_MACHINE_H
#define KIT_BENCH_MACHINE_H

#include <windows.h>

#include <string>
#include <vector>

namespace bench {

// The folder of the running program, without a trailing backslash.
std::string ProgramFolder();

// GetWindowsDirectoryA followed by "\inf".
std::string InfFolder();

// "C:" and the like: the drive that holds the system directory.
std::string SystemDrive();

// Whether this 32-bit program runs on 64-bit Windows.
bool UnderWow64();

std::string JoinPath(const std::string& folder, const std::string& name);

// The text in double quotes, for a command line.
std::string Quote(const std::string& text);

bool PathExists(const std::string& path);

// Creates `path` and every missing folder above it.
bool MakeFolders(const std::string& path);

bool WriteWholeFile(const std::string& path, const std::string& content);

// Copies a file over any earlier one and leaves it with normal attributes.
bool CopyOneFile(const std::string& from, const std::string& to);

// Deletes `path` with everything in it; a missing path is no error.
bool DeleteTree(const std::string& path);

// The names of the files (not folders) in `folder` that match `pattern`.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern);

bool WriteStringValue(HKEY root, const std::string& key, const std::string& name, const std::string& value);

bool WriteMultiStringValue(HKEY root, const std::string& key, const std::string& name,
                           const std::vector<std::string>& values);

// Deletes the key with all its subkeys; a missing key is no error.
bool DeleteKeyTree(HKEY root, const std::string& key);

}  // namespace bench

#endif
