// The one simulated machine, its name order and its handle table.
#include "winsim/simulated_windows.h"

#include "tests/kit_facts/letter_case.h"

namespace winsim {

// The order of the folded names, without making folded copies: trees of
// ten thousand files are looked up on every call.
bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const unsigned char x = static_cast<unsigned char>(kit::UpperAscii(a[i]));
    const unsigned char y = static_cast<unsigned char>(kit::UpperAscii(b[i]));
    if (x != y) {
      return x < y;
    }
  }
  return a.size() < b.size();
}

HANDLE Machine::Open(const Handle& handle) {
  const uintptr_t value = nextHandle;
  nextHandle += 4;
  handles[value] = handle;
  return reinterpret_cast<HANDLE>(value);
}

Handle* Machine::Lookup(HANDLE handle, Handle::Kind kind) {
  auto it = handles.find(reinterpret_cast<uintptr_t>(handle));
  if (it == handles.end() || it->second.kind != kind) {
    return nullptr;
  }
  return &it->second;
}

int Machine::OpenHandles(Handle::Kind kind) const {
  int count = 0;
  for (const auto& entry : handles) {
    if (entry.second.kind == kind) {
      ++count;
    }
  }
  return count;
}

namespace {
Machine* g_machine = nullptr;
}

Machine& machine() {
  if (g_machine == nullptr) {
    g_machine = new Machine();
    g_machine->AddProcess(g_machine->currentProcessId, "program.exe");
  }
  return *g_machine;
}

void Reset() {
  delete g_machine;
  g_machine = nullptr;
  machine();
}

}  // namespace winsim
