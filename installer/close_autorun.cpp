#include "installer/close_autorun.h"

#include "common/process_helpers.h"
#include "common/trace.h"
#include "common/win32.h"

namespace {
// PROCESS_ALL_ACCESS as defined before Windows Vista, which every release
// from Windows 2000 on accepts.
const DWORD kProcessAllAccessXp = 0x1F0FFF;
}  // namespace

int CloseAutorun() {
  const DWORD processId = FindProcessByName("autorun");
  Trace("Start close autorun, line: %d", 445);
  if (processId == kNoProcess) {
    Trace("Canot find autorun, line: %d", 467);
    return 1;
  }
  HANDLE process = OpenProcess(kProcessAllAccessXp, TRUE, processId);
  if (process == NULL) {
    Trace("Cannot open process, line: %d", 457);
    return 0;
  }
  TerminateProcess(process, 0);
  CloseHandle(process);
  Trace("Close autorun, line: %d", 463);
  return 1;
}
