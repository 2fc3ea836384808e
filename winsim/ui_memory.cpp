// The Windows folder, the UI language, sleeping, local memory and message boxes.
#include "winsim/machine.h"

using winsim::machine;

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  winsim::Machine& m = machine();
  if (m.windowsDirectoryFails) {
    m.lastError = ERROR_PATH_NOT_FOUND;
    return 0;
  }
  // As GetSystemDirectoryA: the length when it fits, else the size needed.
  const std::string& folder = m.windowsDirectory;
  if (folder.size() + 1 > size) {
    return static_cast<UINT>(folder.size() + 1);
  }
  memcpy(buffer, folder.c_str(), folder.size() + 1);
  return static_cast<UINT>(folder.size());
}

LANGID GetSystemDefaultUILanguage() { return machine().uiLanguage; }

void Sleep(DWORD milliseconds) { machine().sleeps.push_back(milliseconds); }

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
  winsim::Machine& m = machine();
  ++m.localAllocations;
  if (m.failingLocalAllocations.count(m.localAllocations) != 0) {
    m.lastError = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  void* block = calloc(1, bytes == 0 ? 1 : bytes);
  if (block != nullptr && (flags & LMEM_ZEROINIT) == 0) {
    // Not zeroed: let code that forgets to initialise see rubbish.
    memset(block, 0xCC, bytes);
  }
  return block;
}

HLOCAL LocalFree(HLOCAL memory) {
  free(memory);
  return nullptr;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  winsim::Machine& m = machine();
  m.messageBoxes.push_back({owner, text == nullptr ? "" : text, caption == nullptr ? "" : caption, type});
  if (m.messageBoxError != 0) {
    m.lastError = m.messageBoxError;
    return 0;
  }
  return IDOK;
}
