// Error handling: the calling thread's last error.
#include "winsim/simulated_windows.h"

DWORD GetLastError() { return winsim::machine().lastError; }

void SetLastError(DWORD error) { winsim::machine().lastError = error; }
