// Where Wine answers otherwise than Windows and the kit's programs follow
// it, each as a named value with its reason. The tests check the programs
// against these answers exactly; what Wine cannot do at all is in
// known_wine_gap.h instead.
#ifndef KIT_TESTS_WINE_WINE_ANSWERS_H
#define KIT_TESTS_WINE_WINE_ANSWERS_H

#include <windows.h>

#include "tests/wine/prefix.h"

namespace wine {

// The last error Quorlin reports after a registry call that does not set
// it (RegOpenKeyExA and RegQueryValueExA return their status and leave the
// last error alone): whatever an earlier call of the run left there. With
// no "autorun" running, the process walk ends when Process32Next reports
// ERROR_NO_MORE_FILES, and nothing after it changes the value; when
// "autorun" was found, the walk stopped before its end, and no call of the
// run has failed by then (seen: 0).
inline constexpr DWORD kLastErrorAfterFullProcessWalk = ERROR_NO_MORE_FILES;
inline constexpr DWORD kLastErrorAfterAutorunClosed = ERROR_SUCCESS;

// The errors Wine's SetupCopyOEMInfA fails with when the INF file is
// missing from an existing folder, and when the folder itself is missing.
inline constexpr DWORD kCopyErrorFileMissing = ERROR_FILE_NOT_FOUND;
inline constexpr DWORD kCopyErrorFolderMissing = ERROR_PATH_NOT_FOUND;

// A REG_SZ value without a terminator that fills the reader's buffer: Wine
// asks for one byte more, for the terminator it would add
// (ERROR_MORE_DATA); Windows hands the bytes over as they are.
inline bool UnterminatedStringRefused() { return UnderWine(); }
inline constexpr LONG kUnterminatedStringError = ERROR_MORE_DATA;

// Wine's stand-in for a junction, a Unix link to a folder
// (UnixFolderLink), cannot be removed while that folder holds files
// (ERROR_DIR_NOT_EMPTY); Windows removes a junction. An uninstall that
// meets one leaves it behind.
inline bool FolderLinksStay() { return UnderWine(); }

// What msiexec answers for an install that a failing custom action rolled
// back: ERROR_INSTALL_FAILURE (1603) on Windows, 1627
// (ERROR_FUNCTION_FAILED) from Wine's msiexec.
inline DWORD RolledBackInstallExitCode() { return UnderWine() ? 1627 : 1603; }

}  // namespace wine

#endif
