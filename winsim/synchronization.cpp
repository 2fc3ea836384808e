// Synchronization: sleeping, recorded and not waited.
#include "winsim/simulated_windows.h"

void Sleep(DWORD milliseconds) { winsim::machine().sleeps.push_back(milliseconds); }
