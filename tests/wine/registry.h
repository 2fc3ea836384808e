// The registry as the tests lay it out and read it back: keys and their
// values through the ANSI calls, in the registry view of this 32-bit
// program (on 64-bit Windows, the 32-bit view the kit's programs see).
#ifndef KIT_TESTS_WINE_REGISTRY_H
#define KIT_TESTS_WINE_REGISTRY_H

#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace wine {

bool KeyExists(HKEY root, const std::string& subKey);

// Creates the key and every missing key above it.
::testing::AssertionResult CreateKey(HKEY root, const std::string& subKey);

// Deletes the key `subKey` of `root` (it must have no subkeys); a missing
// key is no error.
::testing::AssertionResult DeleteKey(HKEY root, const std::string& subKey);

// Deletes the key with all its subkeys; a missing key is no error.
::testing::AssertionResult DeleteKeyTree(HKEY root, const std::string& subKey);

// The names of the direct subkeys of a key, none when it is missing.
std::vector<std::string> SubKeys(HKEY root, const std::string& subKey);

// The names of the values of a key, none when it is missing.
std::vector<std::string> ValueNames(HKEY root, const std::string& subKey);

// Creates the key if needed and writes the REG_SZ value `name`.
::testing::AssertionResult WriteStringValue(HKEY root, const std::string& subKey, const std::string& name,
                                            const std::string& text);

// Creates the key if needed and writes the REG_SZ value `name` with the
// text's bytes only, without a terminator.
::testing::AssertionResult WriteUnterminatedStringValue(HKEY root, const std::string& subKey,
                                                        const std::string& name, const std::string& text);

// Creates the key if needed and writes the REG_MULTI_SZ value `name`.
::testing::AssertionResult WriteMultiStringValue(HKEY root, const std::string& subKey,
                                                 const std::string& name,
                                                 const std::vector<std::string>& entries);

// Deletes one value; a missing key or value is no error.
::testing::AssertionResult DeleteValue(HKEY root, const std::string& subKey, const std::string& name);

// A registry value as stored: its type and its data bytes.
struct RegistryValue {
  bool present = false;
  DWORD type = REG_NONE;
  std::string data;
};

RegistryValue ReadValue(HKEY root, const std::string& subKey, const std::string& name);

// A REG_SZ value's data as the registry holds it: the text and its
// terminator.
inline std::string StoredString(const std::string& text) {
  return std::string(text.c_str(), text.size() + 1);
}

}  // namespace wine

#endif
