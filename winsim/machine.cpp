#include "winsim/machine.h"

#include <ctype.h>
#include <stdio.h>

#undef malloc
#undef free

namespace winsim {

namespace {
unsigned char UpperByte(char c) {
  return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}
}  // namespace

// The order of Upper(a) < Upper(b), without making the two copies: trees of
// ten thousand files are looked up on every call.
bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const unsigned char x = UpperByte(a[i]);
    const unsigned char y = UpperByte(b[i]);
    if (x != y) {
      return x < y;
    }
  }
  return a.size() < b.size();
}

std::string Upper(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return out;
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

Process& Machine::AddProcess(DWORD id, const std::string& exeFile) {
  Process process;
  process.id = id;
  process.exeFile = exeFile;
  processes.push_back(process);
  return processes.back();
}

Process* Machine::FindProcess(DWORD id) {
  for (Process& process : processes) {
    if (process.id == id) {
      return &process;
    }
  }
  return nullptr;
}

void Machine::AddKey(const std::string& keyPath) {
  // Every key above the new one exists as well.
  for (size_t cut = keyPath.find('\\'); cut != std::string::npos; cut = keyPath.find('\\', cut + 1)) {
    keys[keyPath.substr(0, cut)];
  }
  keys[keyPath];
}

void Machine::SetValue(const std::string& keyPath, const std::string& name, DWORD type,
                       const std::string& data) {
  AddKey(keyPath);
  RegistryValue& value = keys[keyPath].values[name];
  value.type = type;
  value.data = data;
}

bool Machine::HasKey(const std::string& keyPath) const { return keys.count(keyPath) != 0; }

const RegistryValue* Machine::Value(const std::string& keyPath, const std::string& name) const {
  auto key = keys.find(keyPath);
  if (key == keys.end()) {
    return nullptr;
  }
  auto value = key->second.values.find(name);
  return value == key->second.values.end() ? nullptr : &value->second;
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

using winsim::machine;

DWORD GetLastError() { return machine().lastError; }

void SetLastError(DWORD error) { machine().lastError = error; }

void OutputDebugStringA(LPCSTR text) { machine().debugOutput.push_back(text == nullptr ? "" : text); }

int wvsprintfA(LPSTR buffer, LPCSTR format, va_list args) {
  // wsprintf writes at most 1024 bytes, its terminator included.
  const int written = vsnprintf(buffer, 1024, format, args);
  return written < 0 ? 0 : (written > 1023 ? 1023 : written);
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
  va_list args;
  va_start(args, format);
  const int written = wvsprintfA(buffer, format, args);
  va_end(args);
  return written;
}

void* winsim_malloc(size_t size) {
  winsim::Machine& m = machine();
  ++m.heapAllocations;
  if (m.failingHeapAllocations.count(m.heapAllocations) != 0) {
    return nullptr;
  }
  return malloc(size);
}

void winsim_free(void* block) { free(block); }
