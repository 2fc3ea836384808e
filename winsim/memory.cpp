// Memory: the C runtime's heap as the programs call it, and local memory;
// allocations are numbered from 1, and those a test lists fail.
#include "winsim/simulated_windows.h"

#undef malloc
#undef free

using winsim::machine;

void* winsim_malloc(size_t size) {
  winsim::Machine& m = machine();
  ++m.heapAllocations;
  if (m.failingHeapAllocations.count(m.heapAllocations) != 0) {
    return nullptr;
  }
  return malloc(size);
}

void winsim_free(void* block) { free(block); }

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
