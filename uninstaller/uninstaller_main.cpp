#include "uninstaller/uninstaller_main.h"

#include "common/completion_prompt.h"
#include "common/path_compat.h"
#include "common/platform_probes.h"
#include "common/trace.h"
#include "uninstaller/device_removal.h"
#include "uninstaller/inf_scan.h"
#include "uninstaller/sys_info.h"
#include "uninstaller/tree_deletion.h"

DWORD g_uiLanguage = 0;

namespace {
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane_M4730_Driver";
const char kProductKey[] = "SOFTWARE\\Orvane_M4730_Driver";
const char kProductDir32[] = "\\Program Files\\NORDAL_5120_USB_DRIVER";
const char kProductDir64[] = "\\Program Files (x86)\\NORDAL_5120_USB_DRIVER";
const char kTempDir32[] = "\\Program Files\\Orvane_M4730_Temp";
const char kTempDir64[] = "\\Program Files (x86)\\Orvane_M4730_Temp";
const char kUninstaller64[] = "Veskot64.exe";

// The OS code before the classification, and after it for a Windows
// release it does not know: none of the codes.
const int kOsUnknown = -1;
// The drive of the folder paths when the system directory cannot be read.
const char kFallbackDrive = 'C';

bool ScanForShowMessage(int argc, char* argv[]) {
  for (int i = 0; i < argc; ++i) {
    const char* pResult = strstr(argv[i], "showmessage");
    Trace("compare driver version!line:%d,pResult is %s", 1296, pResult);
    if (pResult != NULL) {
      Trace("===========bShow is TRUE======, line: %d\n", 1300);
      return true;
    }
  }
  return false;
}

// The 64-bit edition of the uninstaller would sit beside this one; its
// path is only traced. 0 when a buffer cannot be taken: the run ends.
int TraceUninstaller64() {
  Trace("Start uninstall 64bit driver, line: %d", 1322);
  char* ownFolder = static_cast<char*>(malloc(MAX_PATH));
  if (ownFolder == NULL) {
    Trace("Malloc failed, line: %d", 1326);
    return 0;
  }
  memset(ownFolder, 0, MAX_PATH);
  const DWORD length = GetModuleFileNameA(NULL, ownFolder, MAX_PATH);
  ownFolder[MAX_PATH - 1] = '\0';
  // A path cut short by the buffer names another folder: nothing to trace.
  if (length >= MAX_PATH) {
    free(ownFolder);
    return 1;
  }
  Transf2Path(ownFolder);
  char* fullName = static_cast<char*>(malloc(MAX_PATH));
  if (fullName == NULL) {
    Trace("Malloc failed, line: %d", 1334);
    free(ownFolder);
    return 0;
  }
  if (strlen(ownFolder) + 1 + strlen(kUninstaller64) < MAX_PATH) {
    wsprintfA(fullName, "%s\\%s", ownFolder, kUninstaller64);
    Trace("Uninstall full name: [%s], line: %d", fullName, 1338);
  } else {
    Trace("Path too long, passed over: [%s\\%s]\n", ownFolder, kUninstaller64);
  }
  free(fullName);
  free(ownFolder);
  return 1;
}

// Opens the key to see whether it is there, then deletes it from the
// root. 1 when deleted, 0 when it cannot be opened, -1 when it opened but
// could not be deleted (traced).
int DeleteProductKey(const char* path, bool announceDeletion) {
  HKEY key = NULL;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return 0;
  }
  RegCloseKey(key);
  if (announceDeletion) {
    Trace("===============>>>>>32bit Veskot::Start RegDeleteKey <<<<<==============\n");
  }
  const LONG status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
  if (status != ERROR_SUCCESS) {
    Trace("Dlete key fail!errorvalue is :%d", status);
    return -1;
  }
  return 1;
}

void ShowPrompt(int line) {
  Trace("=============Start present a prompt: %d\n=====", line);
  const bool chinese = g_uiLanguage == kLanguageChinesePrc;
  MessageBoxA(NULL, chinese ? kPromptTextChinese : kPromptText,
              chinese ? kPromptCaptionChinese : kPromptCaption, MB_OK);
}

// Keys, prompt and folders. Ends early, with the prompt not shown, when a
// key that opened cannot be deleted.
void CleanUp(bool bShow, const char* pDir, const char* pTempDir) {
  Trace("===============>>>>>32bit Veskot::Start RegOpenKeyEx<<<<<==============\n");
  const int uninstallKey = DeleteProductKey(kUninstallKey, true);
  if (uninstallKey < 0 || DeleteProductKey(kProductKey, false) < 0) {
    return;
  }
  // Shown only once both keys are gone, so that success is never followed
  // by a failure that ends the run.
  if (bShow) {
    ShowPrompt(uninstallKey > 0 ? 1427 : 1440);
  }
  Trace("==============Start PkgDeleteFile pDir, line: %d", 1467);
  PkgDeleteFile(pDir);
  Trace("===============Over PkgDeleteFile pDir, line: %d", 1469);
  Trace("============Start PkgDeleteFile pTempDir, line: %d", 1471);
  PkgDeleteFile(pTempDir);
  Trace("===========Over PkgDeleteFile pTempDir, line: %d", 1473);
}
}  // namespace

int UninstallerMain(int argc, char* argv[]) {
  Trace("Uninstall Device\n");
  SetVistaRight();
  const bool bShow = ScanForShowMessage(argc, argv);
  g_uiLanguage = GetSystemDefaultUILanguage();
  int osCode = kOsUnknown;
  Trace("Start PkgGetSysInfo, line: %d", 1314);
  PkgGetSysInfo(&osCode);
  Trace("Over PkgGetSysInfo, line: %d", 1316);
  if (osCode == kOsVista64 || osCode == kOsWin7_64 || osCode == kOsXp64) {
    if (!TraceUninstaller64()) {
      return 0;
    }
  }
  RemoveHandsetDevices();
  if (nDeletedInf != 2) {
    Trace("Need search..\n");
    SearchInfDirectory();
  }
  char* pSysDir = static_cast<char*>(malloc(MAX_PATH));
  if (pSysDir == NULL) {
    Trace("Malloc failed, line: %d", 1373);
    return 0;
  }
  char* pDir = static_cast<char*>(malloc(MAX_PATH));
  if (pDir == NULL) {
    Trace("Malloc failed, line: %d", 1379);
    free(pSysDir);
    return 0;
  }
  char* pTempDir = static_cast<char*>(malloc(MAX_PATH));
  if (pTempDir == NULL) {
    Trace("Malloc failed, line: %d", 1386);
    free(pDir);
    free(pSysDir);
    return 0;
  }
  const UINT length = GetSystemDirectoryA(pSysDir, MAX_PATH);
  const char drive = length != 0 && length < MAX_PATH ? pSysDir[0] : kFallbackDrive;
  memset(pDir, 0, MAX_PATH);
  memset(pTempDir, 0, MAX_PATH);
  const BOOL wow64 = IsRunningOnWow64();
  wsprintfA(pDir, "%c:%s", drive, wow64 ? kProductDir64 : kProductDir32);
  wsprintfA(pTempDir, "%c:%s", drive, wow64 ? kTempDir64 : kTempDir32);
  CleanUp(bShow, pDir, pTempDir);
  free(pDir);
  free(pTempDir);
  free(pSysDir);
  return 0;
}
