#include "common/path_compat.h"

#include "common/program.h"
#include "common/trace.h"
#include "common/win32.h"

namespace {
const char kLayersKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
const char kRunAsAdmin[] = "RUNASADMIN";
}  // namespace

int Transf2Path(char* path) {
  if (path == NULL) {
    Trace("Transf2Path is null, line: %d", kLineTransf2PathNull);
    return 0;
  }
  char* cut = path + strlen(path);
  while (cut != path && *cut != '\\') {
    --cut;
  }
  if (*cut != '\\') {
    return 0;
  }
  *cut = '\0';
  char work[MAX_PATH];
  memset(work, 0, sizeof(work));
  wsprintfA(work, "%s", path);
  memset(path, 0, MAX_PATH);
  wsprintfA(path, "%s", work);
  return 1;
}

int SetVistaRight() {
  Trace("Start set vista right, line: %d", kLineSetVistaRightStart);
  HKEY hVistaRight = NULL;
  const LONG dwErrorCode = RegCreateKeyA(HKEY_CURRENT_USER, kLayersKey, &hVistaRight);
  if (dwErrorCode != ERROR_SUCCESS) {
    Trace("Open registry for set feature failed, error code 0x:%x", GetLastError());
    Trace("dwErrorCode: [%d], hVistaRight: [%x]", dwErrorCode,
          static_cast<unsigned int>(reinterpret_cast<UINT_PTR>(hVistaRight)));
    return 0;
  }
  char fullPath[MAX_PATH];
  memset(fullPath, 0, sizeof(fullPath));
  const DWORD length = GetModuleFileNameA(NULL, fullPath, MAX_PATH);
  // A path cut short by the buffer names another file: record nothing.
  if (length >= MAX_PATH) {
    RegCloseKey(hVistaRight);
    return 0;
  }
  if (RegSetValueExA(hVistaRight, fullPath, 0, REG_SZ, reinterpret_cast<const BYTE*>(kRunAsAdmin),
                     sizeof(kRunAsAdmin)) == ERROR_SUCCESS) {
    RegCloseKey(hVistaRight);
    return 1;
  }
  Trace("Set registry value failed, error code 0x:%x", GetLastError());
  RegCloseKey(hVistaRight);
  return 0;
}
