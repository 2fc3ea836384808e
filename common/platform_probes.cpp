#include "common/platform_probes.h"

namespace {
typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE, PBOOL);
}  // namespace

BOOL IsRunningOnWow64() {
  BOOL answer = FALSE;
  // Looked up at run time: Windows 2000 and early XP do not export it.
  IsWow64ProcessFn isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "IsWow64Process")));
  if (isWow64Process == NULL) {
    return FALSE;
  }
  if (!isWow64Process(GetCurrentProcess(), &answer)) {
    return FALSE;
  }
  return answer;
}
