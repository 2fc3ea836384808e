#include "uninstaller/sys_info.h"

#include "common/platform_probes.h"
#include "common/trace.h"
#include "common/win32.h"

namespace {
// The releases the classification knows, in the order they are tested;
// the 64-bit edition's code follows the 32-bit one's.
struct Release {
  DWORD major;
  DWORD firstMinor;
  DWORD lastMinor;
  int code32;
  const char* line32;
  const char* line64;
};

const Release kReleases[] = {
    {5, 0, 0, kOsWindows2000, "Curretn system is Windows 2K\n", NULL},
    {5, 1, 2, 1, "Curretn system is Windows XP32 Bit \n", "Curretn system is Windows XP 64\n"},
    {6, 0, 0, 3, "Curretn system is Windows Vista32\n", "Curretn system is Windows Vista64\n"},
    {6, 1, 1, 5, "Curretn system is Windows Win7 32\n", "Curretn system is Windows Win7 64\n"},
};
}  // namespace

int PkgGetSysInfo(int* osCode) {
  OSVERSIONINFOA version;
  memset(&version, 0, sizeof(version));
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExA(&version)) {
    Trace("Can't get system version, line: %d\n", 1133);
    *osCode = kOsWindows2000;
    return 0;
  }
  const DWORD major = version.dwMajorVersion;
  const DWORD minor = version.dwMinorVersion;
  Trace("OS  version:MajorVersion= %d,MinorVersion= %d\n", major, minor);
  for (const Release& release : kReleases) {
    if (major != release.major || minor < release.firstMinor || minor > release.lastMinor) {
      continue;
    }
    // Windows 2000 has no 64-bit edition: WOW64 is not asked there.
    const bool wow64 = release.line64 != NULL && IsRunningOnWow64();
    Trace(wow64 ? release.line64 : release.line32);
    *osCode = wow64 ? release.code32 + 1 : release.code32;
    return 1;
  }
  return 1;
}
