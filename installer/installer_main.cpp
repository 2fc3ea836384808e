#include "installer/installer_main.h"

#include "common/path_compat.h"
#include "common/platform_probes.h"
#include "common/trace.h"
#include "common/win32.h"
#include "installer/close_autorun.h"
#include "installer/inf_staging.h"

namespace {
const char kProductKey[] = "SOFTWARE\\Orvane_M4730_Driver";
const DWORD kVersionBufferSize = 60;

const char kBase32[] = "\\Program Files\\NORDAL_5120_USB_DRIVER";
const char kBase64[] = "\\Program Files (x86)\\NORDAL_5120_USB_DRIVER";
const char kInf32[] = "\\INF";
const char kInf64[] = "\\INF\\64_inf";

const char* const kInfFiles[] = {"android_usb.inf", "qcmdm.inf", "qcser.inf", "qcnet.inf"};

// The drive that holds Windows, taken once from the system directory.
char g_systemDriveLetter = '\0';

void ScanArguments(int argc, char* argv[]) {
  for (int i = 0; i < argc; ++i) {
    const char* pResult = strstr(argv[i], "interactive");
    Trace("compare driver version!line:%d,pResult is %s", 1675, pResult);
    if (pResult != NULL) {
      break;
    }
    // "/Action" is accepted and changes nothing.
  }
}

// Reports whether a driver version is recorded; nothing depends on it.
void CheckStoredVersion(char* pValue) {
  memset(pValue, 0, kVersionBufferSize);
  Trace("RegOpenKeyEx Operation .as follow:line:%d", 1694);
  HKEY hDriverVer = NULL;
  const LONG dwErrorCode = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_ALL_ACCESS, &hDriverVer);
  if (dwErrorCode != ERROR_SUCCESS) {
    Trace("Open registry for set driver ver failed, error code 0x:%x", GetLastError());
    Trace("dwErrorCode: [%d], hDriverVer: [%x]", dwErrorCode,
          static_cast<unsigned int>(reinterpret_cast<UINT_PTR>(hDriverVer)));
  } else {
    Trace("RegOpenKeyEx Operation success.as follow RegQueryValueEx:line:%d", 1708);
    DWORD type = REG_SZ;
    DWORD size = kVersionBufferSize;
    if (RegQueryValueExA(hDriverVer, "version", NULL, &type, reinterpret_cast<BYTE*>(pValue), &size) !=
        ERROR_SUCCESS) {
      Trace("RegQueryValue failed, error code 0x:%x", GetLastError());
    }
    RegCloseKey(hDriverVer);
    // A value that fills the buffer may lack its terminator.
    pValue[kVersionBufferSize - 1] = '\0';
    Trace("RegQueryValueEx Operation success.as follow :line:%d,pValue is %s", 1719, pValue);
  }
  Trace("Start comparel driver vertion\n");
  if (strcmp(pValue, "") == 0) {
    Trace("You had not install driver");
  }
}

// The releases the package has a folder for, in the order they are
// tested. Windows 2000 has no 64-bit edition: WOW64 is not asked there.
struct Release {
  DWORD major;
  DWORD firstMinor;
  DWORD lastMinor;
  const char* line32;
  const char* line64;
};

const Release kReleases[] = {
    {5, 0, 0, "Setup device for Windows 2K\n", NULL},
    {5, 1, 2, "Setup device for Windows XP 32 Bit \n", "Setup device for Windows XP 64 Bit\n"},
    {6, 0, 0, "Setup device for Windows Vista32\n", "Setup device for Windows Vista64\n"},
    {6, 1, 1, "Setup device for Wind7 32BIT\n", "Setup device for Wind7 64BIT\n"},
};

// Picks the package's INF folder for the running Windows and formats it
// into pInfDir. Returns 0, with nothing traced or written, for a Windows
// release the package has no folder for.
int ChooseInfFolder(DWORD major, DWORD minor, char* pInfDir) {
  for (const Release& release : kReleases) {
    if (major != release.major || minor < release.firstMinor || minor > release.lastMinor) {
      continue;
    }
    const bool wow64 = release.line64 != NULL && IsRunningOnWow64();
    Trace(wow64 ? release.line64 : release.line32);
    wsprintfA(pInfDir, "%c:%s%s", g_systemDriveLetter, wow64 ? kBase64 : kBase32, wow64 ? kInf64 : kInf32);
    return 1;
  }
  return 0;
}

// The buffers of one run, each taken at the step that first needs it and
// all released together at its end.
struct RunBuffers {
  char* pValue;
  char* pSysDir;
  char* pInfDir;
};

// Everything after the version is known and "autorun" is closed.
void StageFromPackage(DWORD major, DWORD minor, RunBuffers& buffers) {
  buffers.pValue = static_cast<char*>(malloc(kVersionBufferSize));
  if (buffers.pValue == NULL) {
    // The version check only reports; the run goes on without it.
    Trace("Malloc failed!\n");
  } else {
    CheckStoredVersion(buffers.pValue);
  }
  buffers.pSysDir = static_cast<char*>(malloc(MAX_PATH));
  if (buffers.pSysDir == NULL) {
    Trace("Malloc for system dir failed!\n");
    return;
  }
  const UINT length = GetSystemDirectoryA(buffers.pSysDir, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    Trace("Get system dir failed!\n");
    return;
  }
  Trace("System path: %s", buffers.pSysDir);
  g_systemDriveLetter = buffers.pSysDir[0];
  Trace("Lumlog1\n");
  buffers.pInfDir = static_cast<char*>(malloc(MAX_PATH));
  if (buffers.pInfDir == NULL) {
    Trace("Malloc failed!\n");
    return;
  }
  if (!ChooseInfFolder(major, minor, buffers.pInfDir)) {
    return;
  }
  for (const char* infFile : kInfFiles) {
    PkgCopyInf(buffers.pInfDir, infFile);
  }
}
}  // namespace

int InstallerMain(int argc, char* argv[]) {
  SetVistaRight();
  Trace("Setup Device\n");
  Trace("argc = [%d]\n", argc);
  OSVERSIONINFOA version;
  memset(&version, 0, sizeof(version));
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExA(&version)) {
    Trace("Can't get system version\n");
    return 1;
  }
  Trace("OS  version:MajorVersion= %d,MinorVersion= %d\n", version.dwMajorVersion, version.dwMinorVersion);
  CloseAutorun();
  ScanArguments(argc, argv);
  RunBuffers buffers = {NULL, NULL, NULL};
  StageFromPackage(version.dwMajorVersion, version.dwMinorVersion, buffers);
  free(buffers.pInfDir);
  free(buffers.pSysDir);
  free(buffers.pValue);
  return 1;
}
