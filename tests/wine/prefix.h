// The Wine prefix, or the Windows machine, a test program runs on: which
// kind of Windows it is, its folders as a 32-bit program sees them, and
// the Windows release Wine reports to a program.
//
// The end-to-end tests run in two prefixes, named by KIT_E2E_PREFIX:
// "win32" (32-bit Windows) and "wow64" (64-bit Windows, where the 32-bit
// test programs and the kit's programs run under WOW64 and see the 32-bit
// registry view).
#ifndef KIT_TESTS_WINE_PREFIX_H
#define KIT_TESTS_WINE_PREFIX_H

#include <windows.h>

#include <string>

#include "gtest/gtest.h"

namespace wine {

// The folder of the running program, without a trailing backslash.
std::string ProgramFolder();

// Whether the program runs under Wine rather than on Windows itself.
bool UnderWine();

// Whether this 32-bit program runs on 64-bit Windows. Asked through
// GetProcAddress: Windows 2000 has no IsWow64Process.
bool UnderWow64();

enum class PrefixKind { kWin32, kWow64 };

// The kind KIT_E2E_PREFIX names, checked against what the machine is.
::testing::AssertionResult ReadPrefixKind(PrefixKind* kind);

// GetSystemDirectoryA as this 32-bit process sees it.
std::string SystemDirectory();

// "C:" and the like: the drive that holds the system directory ("C:" when
// it cannot be read).
std::string SystemDrive();

// GetWindowsDirectoryA as this process sees it.
std::string WindowsFolder();

// The Windows INF store: GetWindowsDirectoryA followed by "\inf".
std::string InfStoreFolder();

// Where the kit's programs look for the product: Program Files on 32-bit
// Windows, Program Files (x86) on 64-bit Windows, on the system drive.
std::string ProgramFilesFolder();

// This program's temporary folder, without a trailing backslash.
std::string TemporaryFolder();

// The Windows release Wine reports to the program file named `program`
// (such as "Veskot.exe") from now on, by Wine's name of it ("win7"); with
// an empty name, to every program without a release of its own.
::testing::AssertionResult SelectWindows(const std::string& program, const std::string& wineVersion);

// Takes such a choice away again; none made is no error.
::testing::AssertionResult ForgetWindows(const std::string& program);

}  // namespace wine

#endif
