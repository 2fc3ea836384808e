#include "tests/wine/registry.h"

#include "tests/wine/win32_failure.h"

namespace wine {

namespace {
// Writes `data` as it is, as the value `name` of `type` under `subKey`,
// which is made when missing.
::testing::AssertionResult WriteValue(HKEY root, const std::string& subKey, const std::string& name,
                                      DWORD type, const std::string& data) {
  HKEY key = NULL;
  LONG status = RegCreateKeyExA(root, subKey.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL);
  if (status != ERROR_SUCCESS) {
    return Win32Failure("creating key " + subKey, status);
  }
  status = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) {
    return Win32Failure("writing value " + name + " of " + subKey, status);
  }
  return ::testing::AssertionSuccess();
}

// The names RegEnumKeyExA or RegEnumValueA gives for each index of an
// open key, until it gives none.
template <typename Enumerate>
std::vector<std::string> NamesOf(HKEY root, const std::string& subKey, Enumerate enumerate) {
  std::vector<std::string> names;
  HKEY key = NULL;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return names;
  }
  std::vector<char> name(16384);
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    if (enumerate(key, index, name.data(), &length) != ERROR_SUCCESS) {
      break;
    }
    names.push_back(std::string(name.data(), length));
  }
  RegCloseKey(key);
  return names;
}
}  // namespace

bool KeyExists(HKEY root, const std::string& subKey) {
  HKEY key = NULL;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

::testing::AssertionResult CreateKey(HKEY root, const std::string& subKey) {
  HKEY key = NULL;
  const LONG status = RegCreateKeyExA(root, subKey.c_str(), 0, NULL, 0, KEY_READ, NULL, &key, NULL);
  if (status != ERROR_SUCCESS) {
    return Win32Failure("creating key " + subKey, status);
  }
  RegCloseKey(key);
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult DeleteKey(HKEY root, const std::string& subKey) {
  const LONG status = RegDeleteKeyA(root, subKey.c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
    return Win32Failure("deleting key " + subKey, status);
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult DeleteKeyTree(HKEY root, const std::string& subKey) {
  for (const std::string& child : SubKeys(root, subKey)) {
    ::testing::AssertionResult done = DeleteKeyTree(root, subKey + "\\" + child);
    if (!done) {
      return done;
    }
  }
  return DeleteKey(root, subKey);
}

std::vector<std::string> SubKeys(HKEY root, const std::string& subKey) {
  return NamesOf(root, subKey, [](HKEY key, DWORD index, char* name, DWORD* length) {
    return RegEnumKeyExA(key, index, name, length, NULL, NULL, NULL, NULL);
  });
}

std::vector<std::string> ValueNames(HKEY root, const std::string& subKey) {
  return NamesOf(root, subKey, [](HKEY key, DWORD index, char* name, DWORD* length) {
    return RegEnumValueA(key, index, name, length, NULL, NULL, NULL, NULL);
  });
}

::testing::AssertionResult WriteStringValue(HKEY root, const std::string& subKey, const std::string& name,
                                            const std::string& text) {
  return WriteValue(root, subKey, name, REG_SZ, StoredString(text));
}

::testing::AssertionResult WriteUnterminatedStringValue(HKEY root, const std::string& subKey,
                                                        const std::string& name, const std::string& text) {
  return WriteValue(root, subKey, name, REG_SZ, text);
}

::testing::AssertionResult WriteMultiStringValue(HKEY root, const std::string& subKey,
                                                 const std::string& name,
                                                 const std::vector<std::string>& entries) {
  std::string data;
  for (const std::string& entry : entries) {
    data += entry;
    data += '\0';
  }
  data += '\0';
  return WriteValue(root, subKey, name, REG_MULTI_SZ, data);
}

::testing::AssertionResult DeleteValue(HKEY root, const std::string& subKey, const std::string& name) {
  HKEY key = NULL;
  LONG status = RegOpenKeyExA(root, subKey.c_str(), 0, KEY_SET_VALUE, &key);
  if (status == ERROR_FILE_NOT_FOUND) {
    return ::testing::AssertionSuccess();
  }
  if (status != ERROR_SUCCESS) {
    return Win32Failure("opening key " + subKey, status);
  }
  status = RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
    return Win32Failure("deleting value " + name + " of " + subKey, status);
  }
  return ::testing::AssertionSuccess();
}

RegistryValue ReadValue(HKEY root, const std::string& subKey, const std::string& name) {
  RegistryValue value;
  HKEY key = NULL;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return value;
  }
  DWORD size = 0;
  if (RegQueryValueExA(key, name.c_str(), NULL, &value.type, NULL, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> data(size);
    if (RegQueryValueExA(key, name.c_str(), NULL, &value.type, data.data(), &size) == ERROR_SUCCESS) {
      value.present = true;
      value.data.assign(data.begin(), data.begin() + size);
    }
  }
  RegCloseKey(key);
  return value;
}

}  // namespace wine
