// Dialog boxes: every message box recorded and answered with OK.
#include "winsim/simulated_windows.h"

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  winsim::Machine& m = winsim::machine();
  m.messageBoxes.push_back({owner, text == nullptr ? "" : text, caption == nullptr ? "" : caption, type});
  if (m.messageBoxError != 0) {
    m.lastError = m.messageBoxError;
    return 0;
  }
  return IDOK;
}
