// The registry: HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, one view, its
// keys by their full path from the root ("HKLM\\SOFTWARE\\X").
#include "tests/kit_facts/letter_case.h"
#include "winsim/simulated_windows.h"

using winsim::Handle;
using winsim::machine;

namespace {
// The full path of a key, or an empty text for a handle that is none.
std::string KeyPath(HKEY root) {
  if (root == HKEY_CURRENT_USER) {
    return "HKCU";
  }
  if (root == HKEY_LOCAL_MACHINE) {
    return "HKLM";
  }
  Handle* handle = machine().Lookup(reinterpret_cast<HANDLE>(root), Handle::Kind::kKey);
  return handle == nullptr ? std::string() : handle->path;
}

std::string Join(const std::string& root, LPCSTR subKey) {
  if (subKey == nullptr || subKey[0] == '\0') {
    return root;
  }
  return root + "\\" + subKey;
}

LONG Refusal(const std::map<std::string, LONG, winsim::NoCaseLess>& refused, const std::string& path) {
  auto it = refused.find(path);
  return it == refused.end() ? ERROR_SUCCESS : it->second;
}
}  // namespace

namespace winsim {

HKEY Machine::OpenKey(const std::string& keyPath) {
  Handle handle;
  handle.kind = Handle::Kind::kKey;
  handle.path = keyPath;
  return reinterpret_cast<HKEY>(Open(handle));
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

}  // namespace winsim

LONG RegCreateKeyA(HKEY root, LPCSTR subKey, PHKEY result) {
  winsim::Machine& m = machine();
  const std::string base = KeyPath(root);
  if (base.empty() || result == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  const std::string path = Join(base, subKey);
  if (const LONG refused = Refusal(m.refusedOpen, path)) {
    return refused;
  }
  m.AddKey(path);
  *result = m.OpenKey(path);
  return ERROR_SUCCESS;
}

LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
  winsim::Machine& m = machine();
  const std::string base = KeyPath(root);
  if (base.empty() || result == nullptr || options != 0 || access == 0) {
    return ERROR_INVALID_PARAMETER;
  }
  *result = nullptr;
  const std::string path = Join(base, subKey);
  if (!m.HasKey(path)) {
    return ERROR_FILE_NOT_FOUND;
  }
  if (const LONG refused = Refusal(m.refusedOpen, path)) {
    return refused;
  }
  *result = m.OpenKey(path);
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, BYTE* data, LPDWORD size) {
  winsim::Machine& m = machine();
  const std::string path = KeyPath(key);
  if (path.empty() || reserved != nullptr || (data != nullptr && size == nullptr)) {
    return ERROR_INVALID_PARAMETER;
  }
  const winsim::RegistryValue* value = m.Value(path, name == nullptr ? "" : name);
  if (value == nullptr) {
    return ERROR_FILE_NOT_FOUND;
  }
  if (type != nullptr) {
    *type = value->type;
  }
  const DWORD needed = static_cast<DWORD>(value->data.size());
  if (data != nullptr && *size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (data != nullptr) {
    memcpy(data, value->data.data(), needed);
  }
  if (size != nullptr) {
    *size = needed;
  }
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  winsim::Machine& m = machine();
  const std::string path = KeyPath(key);
  if (path.empty() || reserved != 0) {
    return ERROR_INVALID_PARAMETER;
  }
  if (const LONG refused = Refusal(m.refusedSetValue, path)) {
    return refused;
  }
  m.SetValue(path, name == nullptr ? "" : name, type,
             std::string(reinterpret_cast<const char*>(data), data == nullptr ? 0 : size));
  return ERROR_SUCCESS;
}

LONG RegDeleteKeyA(HKEY root, LPCSTR subKey) {
  winsim::Machine& m = machine();
  const std::string base = KeyPath(root);
  if (base.empty() || subKey == nullptr || subKey[0] == '\0') {
    return ERROR_INVALID_PARAMETER;
  }
  const std::string path = Join(base, subKey);
  if (!m.HasKey(path)) {
    return ERROR_FILE_NOT_FOUND;
  }
  if (const LONG refused = Refusal(m.refusedDelete, path)) {
    return refused;
  }
  // A key that still has subkeys is not deleted.
  const std::string prefix = kit::UpperAscii(path) + "\\";
  for (const auto& entry : m.keys) {
    if (kit::UpperAscii(entry.first).compare(0, prefix.size(), prefix) == 0) {
      return ERROR_ACCESS_DENIED;
    }
  }
  m.keys.erase(path);
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  winsim::Machine& m = machine();
  if (m.Lookup(reinterpret_cast<HANDLE>(key), Handle::Kind::kKey) == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  m.handles.erase(reinterpret_cast<uintptr_t>(key));
  return ERROR_SUCCESS;
}
