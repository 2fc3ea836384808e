#include "tools/tracecap/capture_header.h"

#include <string.h>
#include <windows.h>

#include "common/platform_probes.h"

size_t FormatHeaderOfNow(bool global, char* out) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  // UTC is local time plus the bias of the zone's standard or daylight time.
  TIME_ZONE_INFORMATION zone;
  const DWORD which = GetTimeZoneInformation(&zone);
  long bias = zone.Bias;
  if (which == TIME_ZONE_ID_DAYLIGHT) {
    bias += zone.DaylightBias;
  } else if (which == TIME_ZONE_ID_STANDARD) {
    bias += zone.StandardBias;
  } else if (which == TIME_ZONE_ID_INVALID) {
    bias = 0;
  }
  char computer[MAX_COMPUTERNAME_LENGTH + 1] = "unknown";
  DWORD size = sizeof(computer);
  if (!GetComputerNameA(computer, &size)) {
    memcpy(computer, "unknown", sizeof("unknown"));
  }
  OSVERSIONINFOA version;
  ZeroMemory(&version, sizeof(version));
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExA(&version);
  CaptureFacts facts = {now.wYear,
                        now.wMonth,
                        now.wDay,
                        now.wHour,
                        now.wMinute,
                        now.wSecond,
                        now.wMilliseconds,
                        -bias,
                        computer,
                        version.dwMajorVersion,
                        version.dwMinorVersion,
                        version.dwBuildNumber & 0xFFFF,
                        version.szCSDVersion,
                        IsRunningOnWow64() != FALSE,
                        global};
  return FormatCaptureHeader(facts, out);
}
