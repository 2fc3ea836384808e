#include "tests/wine/prefix.h"

#include <stdlib.h>

#include "tests/kit_facts/names.h"
#include "tests/wine/files.h"
#include "tests/wine/registry.h"

namespace wine {

namespace {
typedef BOOL(WINAPI* IsWow64ProcessFunction)(HANDLE, PBOOL);

// Under HKEY_CURRENT_USER: Wine's own settings, and those of each program
// by its file name.
const char kWineKey[] = "Software\\Wine";
const char kAppDefaultsKey[] = "Software\\Wine\\AppDefaults\\";

std::string WineSettingsKey(const std::string& program) {
  return program.empty() ? std::string(kWineKey) : kAppDefaultsKey + program;
}
}  // namespace

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
  return FolderOf(std::string(path, length < MAX_PATH ? length : 0));
}

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll"), "wine_get_version") != NULL; }

bool UnderWow64() {
  const IsWow64ProcessFunction isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "IsWow64Process")));
  BOOL answer = FALSE;
  return isWow64Process != NULL && isWow64Process(GetCurrentProcess(), &answer) && answer;
}

::testing::AssertionResult ReadPrefixKind(PrefixKind* kind) {
  const char* name = getenv("KIT_E2E_PREFIX");
  if (name == nullptr) {
    return ::testing::AssertionFailure() << "KIT_E2E_PREFIX names the Wine prefix kind: win32 or wow64";
  }
  if (std::string(name) != "win32" && std::string(name) != "wow64") {
    return ::testing::AssertionFailure() << "KIT_E2E_PREFIX is " << name << ", not win32 or wow64";
  }
  *kind = std::string(name) == "wow64" ? PrefixKind::kWow64 : PrefixKind::kWin32;
  if ((*kind == PrefixKind::kWow64) != UnderWow64()) {
    return ::testing::AssertionFailure() << "the prefix is not of the kind KIT_E2E_PREFIX names: " << name;
  }
  return ::testing::AssertionSuccess();
}

std::string SystemDirectory() {
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

std::string SystemDrive() {
  const std::string directory = SystemDirectory();
  return directory.size() >= 2 ? directory.substr(0, 2) : std::string("C:");
}

std::string WindowsFolder() {
  char path[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

std::string InfStoreFolder() { return JoinPath(WindowsFolder(), "inf"); }

std::string ProgramFilesFolder() {
  return SystemDrive() + (UnderWow64() ? kit::kProgramFilesX86 : kit::kProgramFiles);
}

std::string TemporaryFolder() {
  char temp[MAX_PATH];
  const DWORD length = GetTempPathA(sizeof(temp), temp);
  return length == 0 || length >= sizeof(temp) ? std::string() : std::string(temp, length - 1);
}

::testing::AssertionResult SelectWindows(const std::string& program, const std::string& wineVersion) {
  return WriteStringValue(HKEY_CURRENT_USER, WineSettingsKey(program), "Version", wineVersion);
}

::testing::AssertionResult ForgetWindows(const std::string& program) {
  return DeleteValue(HKEY_CURRENT_USER, WineSettingsKey(program), "Version");
}

}  // namespace wine
