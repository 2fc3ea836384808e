// System information: the Windows version, the system and Windows
// folders, and the UI language.
#include "winsim/simulated_windows.h"

using winsim::machine;

namespace {
UINT CopyFolder(const std::string& folder, LPSTR buffer, UINT size) {
  // As Windows does: the length without the terminator when it fits, else
  // the size needed with it and the buffer left alone.
  if (folder.size() + 1 > size) {
    return static_cast<UINT>(folder.size() + 1);
  }
  memcpy(buffer, folder.c_str(), folder.size() + 1);
  return static_cast<UINT>(folder.size());
}
}  // namespace

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  winsim::Machine& m = machine();
  if (m.versionFails || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
    m.lastError = ERROR_INSUFFICIENT_BUFFER;
    return FALSE;
  }
  info->dwMajorVersion = m.majorVersion;
  info->dwMinorVersion = m.minorVersion;
  info->dwBuildNumber = 2600;
  info->dwPlatformId = 2;
  info->szCSDVersion[0] = '\0';
  return TRUE;
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
  winsim::Machine& m = machine();
  if (m.systemDirectoryFails) {
    m.lastError = ERROR_PATH_NOT_FOUND;
    return 0;
  }
  return CopyFolder(m.systemDirectory, buffer, size);
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  winsim::Machine& m = machine();
  if (m.windowsDirectoryFails) {
    m.lastError = ERROR_PATH_NOT_FOUND;
    return 0;
  }
  return CopyFolder(m.windowsDirectory, buffer, size);
}

LANGID GetSystemDefaultUILanguage() { return machine().uiLanguage; }
