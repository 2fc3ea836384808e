// Debugging: the debugger output, every string in order.
#include "winsim/simulated_windows.h"

void OutputDebugStringA(LPCSTR text) { winsim::machine().debugOutput.push_back(text == nullptr ? "" : text); }
