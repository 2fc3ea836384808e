// Baseline of the OEM INF scan: lists "*.inf" in the Windows INF directory
// and opens and closes each file as an INF, nothing else.
#include <windows.h>
// setupapi.h needs windows.h first.
#include <setupapi.h>

int main() {
  char folder[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
  if (length == 0 || length + sizeof("\\inf\\*.inf") > MAX_PATH) {
    return 1;
  }
  char path[MAX_PATH];
  wsprintfA(path, "%s\\inf\\*.inf", folder);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) {
    return 1;
  }
  do {
    if (length + sizeof("\\inf\\") + lstrlenA(found.cFileName) > MAX_PATH) {
      continue;
    }
    wsprintfA(path, "%s\\inf\\%s", folder, found.cFileName);
    HINF inf = SetupOpenInfFileA(path, NULL, INF_STYLE_OLDNT | INF_STYLE_WIN4, NULL);
    if (inf != INVALID_HANDLE_VALUE) {
      SetupCloseInfFile(inf);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return 0;
}
