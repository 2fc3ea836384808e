// What Veskot's scenarios check after a run: the keys, the INF store, the
// folders, the handset tool and the compatibility record.
#include "tests/e2e/veskot_fixture.h"
#include "tests/kit_facts/names.h"
#include "tests/wine/registry.h"

namespace e2e {

using namespace wine;

void VeskotScenario::ExpectKeysGone() {
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kit::kUninstallKey)) << kit::kUninstallKey;
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kit::kProductKey)) << kit::kProductKey;
}

void VeskotScenario::ExpectInfStoreAfterRun(const std::set<std::string>& gone) {
  for (const std::string& name : gone) {
    EXPECT_FALSE(FileExists(Store(name))) << name << " is still there";
    if (precompiled_.count(name) != 0) {
      EXPECT_TRUE(FileExists(PnfOf(Store(name)))) << "the .pnf of " << name << " is gone";
    }
  }
  for (const auto& file : storeContents_) {
    if (gone.count(file.first) != 0) {
      continue;
    }
    std::string content;
    EXPECT_TRUE(ReadWholeFile(Store(file.first), &content)) << file.first << " should have stayed";
    EXPECT_EQ(content, file.second) << file.first << " changed";
  }
  for (const std::string& name : storeFolders_) {
    EXPECT_TRUE(FolderExists(Store(name))) << "the folder " << name << " is gone";
  }
  EXPECT_TRUE(FileExists(Store("usb.inf"))) << "Windows' own usb.inf is gone";
}

void VeskotScenario::ExpectFoldersGone() {
  EXPECT_FALSE(FolderExists(productFolder_)) << productFolder_;
  EXPECT_FALSE(FolderExists(tempFolder_)) << tempFolder_;
}

void VeskotScenario::ExpectHandsetToolEnded() {
  // The sleeper ends by itself with exit code 7; the uninstaller ends it
  // with 0.
  DWORD exitCode = 7;
  ASSERT_TRUE(handsetTool_.WaitForEnd(10 * 1000, &exitCode)) << handsetToolPath_ << " still runs";
  EXPECT_EQ(exitCode, 0u) << handsetToolPath_ << " was not ended by the uninstaller";
  EXPECT_FALSE(FileExists(handsetToolPath_));
}

void VeskotScenario::ExpectRunAsAdmin(const std::string& path) {
  const RegistryValue value = ReadValue(HKEY_CURRENT_USER, kit::kLayersKey, path);
  ASSERT_TRUE(value.present) << "no value " << path << " under HKCU\\" << kit::kLayersKey;
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.data, StoredString(kit::kRunAsAdmin));
}

}  // namespace e2e
