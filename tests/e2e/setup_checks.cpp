// What the setups' scenarios check after an install or an uninstall: the
// kit's files, keys, staged copies and entries, or nothing of them.
#include "tests/e2e/setup_fixture.h"
#include "tests/kit_facts/names.h"
#include "tests/wine/files.h"
#include "tests/wine/prefix.h"
#include "tests/wine/registry.h"

namespace e2e {

using namespace wine;

void SetupTest::ExpectKitInstalled() {
  for (const char* program : {kit::kQuorlinExe, kit::kVeskotExe}) {
    EXPECT_TRUE(FileExists(JoinPath(productFolder_, program))) << program;
  }
  // The package's edition as it is, its driver files in their folder.
  EXPECT_EQ(ListFiles(packageFolder_, "*").size(), 4u);
  const std::string drivers = is64_ ? "amd64" : "x86";
  ASSERT_EQ(ListFiles(JoinPath(samples_, drivers), "*.sys").size(), 4u);
  for (const std::string& name : ListFiles(JoinPath(samples_, drivers), "*.sys")) {
    EXPECT_TRUE(FileExists(JoinPath(JoinPath(packageFolder_, drivers), name))) << name;
  }
  for (const char* name : kit::kPackageInfs) {
    std::string installed;
    std::string sample;
    ASSERT_TRUE(ReadWholeFile(JoinPath(packageFolder_, name), &installed));
    ASSERT_TRUE(ReadWholeFile(JoinPath(samples_, name), &sample));
    EXPECT_EQ(installed, sample) << name << " is not of the " << (is64_ ? "64" : "32") << "-bit edition";
  }
  // The other edition is not there.
  const std::string otherEdition = is64_ ? productFolder_ + kit::kInfFolder32 + "\\" + kit::kPackageInfs[0]
                                         : JoinPath(packageFolder_, kit::kInfEdition64);
  EXPECT_EQ(AttributesOf(otherEdition), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(FolderExists(tempFolder_));
  const RegistryValue version = ReadValue(HKEY_LOCAL_MACHINE, kit::kProductKey, kit::kVersionValue);
  EXPECT_EQ(version.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(version.data, StoredString(kit::kStoredVersion));
  EXPECT_EQ(StagedCopies().size(), 4u);
  EXPECT_EQ(KitEntries().size(), 1u);
}

void SetupTest::ExpectInstalled() {
  ExpectKitInstalled();
  EXPECT_TRUE(FileExists(JoinPath(productFolder_, kit::kSetupUninstallExe)));
  EXPECT_TRUE(FileExists(JoinPath(tempFolder_, "setup.log")));
  EXPECT_TRUE(InstalledPackages().empty());
  const struct {
    const char* name;
    std::string text;
  } strings[] = {
      {kit::kDisplayNameValue, kit::kProductName},
      {kit::kDisplayVersionValue, kit::kProductVersion},
      {"Publisher", kit::kMaker},
      {"InstallLocation", productFolder_},
      {"DisplayIcon", JoinPath(productFolder_, kit::kSetupUninstallExe) + ",0"},
  };
  for (const auto& value : strings) {
    const RegistryValue read = ReadValue(HKEY_LOCAL_MACHINE, kit::kUninstallKey, value.name);
    EXPECT_EQ(read.type, static_cast<DWORD>(REG_SZ)) << value.name;
    EXPECT_EQ(read.data, StoredString(value.text)) << value.name;
  }
  // Both run the uninstall program; only the quiet one silently.
  const RegistryValue command = ReadValue(HKEY_LOCAL_MACHINE, kit::kUninstallKey, "UninstallString");
  const RegistryValue quiet = ReadValue(HKEY_LOCAL_MACHINE, kit::kUninstallKey, "QuietUninstallString");
  EXPECT_NE(command.data.find(JoinPath(productFolder_, kit::kSetupUninstallExe)), std::string::npos);
  EXPECT_NE(quiet.data.find(JoinPath(productFolder_, kit::kSetupUninstallExe)), std::string::npos);
  EXPECT_EQ(command.data.find(" /S "), std::string::npos);
  EXPECT_NE(command.data.find(" /uninstall "), std::string::npos);
  EXPECT_NE(quiet.data.find(" /uninstall /S "), std::string::npos);
  for (const char* name : {"NoModify", "NoRepair"}) {
    const RegistryValue read = ReadValue(HKEY_LOCAL_MACHINE, kit::kUninstallKey, name);
    EXPECT_EQ(read.type, static_cast<DWORD>(REG_DWORD)) << name;
    EXPECT_EQ(read.data, std::string("\x01\0\0\0", 4)) << name;
  }
  const RegistryValue size = ReadValue(HKEY_LOCAL_MACHINE, kit::kUninstallKey, "EstimatedSize");
  EXPECT_EQ(size.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size.data.size(), 4u);
  EXPECT_NE(size.data, std::string(4, '\0'));
}

void SetupTest::ExpectNothingLeft(const std::vector<std::string>& staged) {
  EXPECT_FALSE(FolderExists(productFolder_));
  EXPECT_FALSE(FolderExists(tempFolder_));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kit::kProductKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kit::kUninstallKey));
  EXPECT_FALSE(FileExists(uninstallCopy_));
  for (const std::string& copy : staged) {
    EXPECT_FALSE(FileExists(JoinPath(InfStoreFolder(), copy))) << copy;
    EXPECT_FALSE(FileExists(JoinPath(InfStoreFolder(), PnfOf(copy)))) << copy;
  }
  EXPECT_FALSE(
      ReadValue(HKEY_CURRENT_USER, kit::kLayersKey, JoinPath(productFolder_, kit::kQuorlinExe)).present);
}

}  // namespace e2e
