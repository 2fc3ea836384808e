#include "tests/e2e/setup_machine.h"

#include <msi.h>
#include <stdlib.h>

#include "tests/wine/capture.h"
#include "tests/wine/files.h"
#include "tests/wine/listener.h"
#include "tests/wine/long_paths_and_links.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"
#include "tests/wine/registry.h"

namespace e2e {

using namespace wine;

const char kSetupName[] = "NORDAL_5120_USB_Driver_Setup.exe";
const char kProductKey[] = "SOFTWARE\\Orvane_M4730_Driver";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane_M4730_Driver";
const char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kLayersKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
const char kStaged[] = "\\r\\n =====>>>   PkgCopyInf Successful";

namespace {
const char kWineKey[] = "Software\\Wine";
const char kAppDefaultsKey[] = "Software\\Wine\\AppDefaults\\";
const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
// The programs a setup run starts, for which other tests set a release of
// their own.
const char* const kKitPrograms[] = {kSetupName, "NORDAL_5120_Remove.exe", "uninstall.exe", "Quorlin.exe",
                                    "Veskot.exe"};
const char* const kInfFiles[] = {"android_usb.inf", "qcmdm.inf", "qcser.inf", "qcnet.inf"};

std::string Pnf(const std::string& inf) { return inf.substr(0, inf.size() - 4) + ".pnf"; }
}  // namespace

void SetupTest::SetUp() {
  const char* prefix = getenv("KIT_E2E_PREFIX");
  ASSERT_NE(prefix, nullptr) << "KIT_E2E_PREFIX names the Wine prefix kind: win32 or wow64";
  is64_ = std::string(prefix) == "wow64";
  const std::string drive = SystemDirectory().substr(0, 2);
  const std::string programFiles = drive + (is64_ ? "\\Program Files (x86)" : "\\Program Files");
  productFolder_ = programFiles + "\\NORDAL_5120_USB_DRIVER";
  tempFolder_ = programFiles + "\\Orvane_M4730_Temp";
  packageFolder_ = productFolder_ + (is64_ ? "\\INF\\64_inf" : "\\INF");
  samples_ = JoinPath(ProgramFolder(), is64_ ? "e2e_package\\64_inf" : "e2e_package");
  setup_ = JoinPath(ProgramFolder(), kSetupName);
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(sizeof(temp), temp), 0u);
  uninstallCopy_ = JoinPath(std::string(temp), "NORDAL_5120_Remove.exe");
  ASSERT_NO_FATAL_FAILURE(RemoveKit());
}

void SetupTest::TearDown() {
  EXPECT_TRUE(DeleteValue(HKEY_CURRENT_USER, kWineKey, "Version"));
  for (const char* program : kKitPrograms) {
    EXPECT_TRUE(DeleteValue(HKEY_CURRENT_USER, std::string(kAppDefaultsKey) + program, "Version"));
  }
  RemoveKit();
}

void SetupTest::UseRelease(const char* wineVersion) {
  ASSERT_TRUE(WriteStringValue(HKEY_CURRENT_USER, kWineKey, "Version", wineVersion));
  for (const char* program : kKitPrograms) {
    ASSERT_TRUE(
        WriteStringValue(HKEY_CURRENT_USER, std::string(kAppDefaultsKey) + program, "Version", wineVersion));
  }
}

void SetupTest::RemoveKit() {
  // A kit that the Windows Installer package installed goes through
  // Windows Installer, which forgets it then.
  for (const std::string& product : InstalledPackages()) {
    Started removal;
    DWORD exitCode = 0;
    EXPECT_TRUE(removal.Start("msiexec /x " + product + " /qn", ScratchFile("removal.txt")));
    EXPECT_TRUE(removal.Wait(120000, &exitCode));
    EXPECT_EQ(exitCode, 0u) << "removing " << product;
  }
  for (const std::string& copy : StagedCopies()) {
    DeleteFileA(JoinPath(InfStoreFolder(), copy).c_str());
  }
  // And the precompiled copy of every INF file that is gone.
  for (const std::string& pnf : ListFiles(InfStoreFolder(), "*.pnf")) {
    if (!FileExists(JoinPath(InfStoreFolder(), pnf.substr(0, pnf.size() - 4) + ".inf"))) {
      DeleteFileA(JoinPath(InfStoreFolder(), pnf).c_str());
    }
  }
  EXPECT_TRUE(DeleteValue(HKEY_CURRENT_USER, kLayersKey, productFolder_ + "\\Quorlin.exe"));
  EXPECT_TRUE(DeleteTree(productFolder_));
  EXPECT_TRUE(DeleteTree(tempFolder_));
  EXPECT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, kProductKey));
  DeleteFileA(uninstallCopy_.c_str());
  // Deletions an uninstall registered for a restart that no test made.
  EXPECT_TRUE(DeleteValue(HKEY_LOCAL_MACHINE, kSessionManagerKey, "PendingFileRenameOperations"));
}

std::vector<std::string> SetupTest::StagedCopies() {
  std::vector<std::string> samples;
  for (const char* folder : {"e2e_package", "e2e_package\\64_inf"}) {
    for (const char* name : kInfFiles) {
      std::string content;
      if (ReadWholeFile(JoinPath(JoinPath(ProgramFolder(), folder), name), &content)) {
        samples.push_back(content);
      }
    }
  }
  std::vector<std::string> copies;
  for (const std::string& name : ListFiles(InfStoreFolder(), "*.inf")) {
    std::string content;
    if (ReadWholeFile(JoinPath(InfStoreFolder(), name), &content)) {
      for (const std::string& sample : samples) {
        if (content == sample) {
          copies.push_back(name);
          break;
        }
      }
    }
  }
  return copies;
}

::testing::AssertionResult SetupTest::RunSetup(const std::string& arguments, DWORD* exitCode,
                                               std::vector<ListenLine>* lines) {
  return RunListened(Quote(setup_) + arguments, exitCode, lines);
}

void SetupTest::InstallSilently(std::vector<ListenLine>* lines) {
  ASSERT_NO_FATAL_FAILURE(UseRelease("win7"));
  DWORD exitCode = 99;
  ASSERT_TRUE(RunSetup(" /S", &exitCode, lines));
  ASSERT_EQ(exitCode, 0u);
}

::testing::AssertionResult SetupTest::RunUninstallCommand(const char* value, DWORD* exitCode,
                                                          std::vector<ListenLine>* lines) {
  const RegistryValue command = ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, value);
  if (!command.present || command.type != REG_SZ) {
    return ::testing::AssertionFailure() << "the Uninstall key holds no " << value;
  }
  return RunListened(command.data.c_str(), exitCode, lines);
}

void SetupTest::ExpectKitInstalled() {
  for (const char* program : {"Quorlin.exe", "Veskot.exe"}) {
    EXPECT_TRUE(FileExists(JoinPath(productFolder_, program))) << program;
  }
  // The package's edition as it is, its driver files in their folder.
  EXPECT_EQ(ListFiles(packageFolder_, "*").size(), 4u);
  const std::string drivers = is64_ ? "amd64" : "x86";
  ASSERT_EQ(ListFiles(JoinPath(samples_, drivers), "*.sys").size(), 4u);
  for (const std::string& name : ListFiles(JoinPath(samples_, drivers), "*.sys")) {
    EXPECT_TRUE(FileExists(JoinPath(JoinPath(packageFolder_, drivers), name))) << name;
  }
  for (const char* name : kInfFiles) {
    std::string installed;
    std::string sample;
    ASSERT_TRUE(ReadWholeFile(JoinPath(packageFolder_, name), &installed));
    ASSERT_TRUE(ReadWholeFile(JoinPath(samples_, name), &sample));
    EXPECT_EQ(installed, sample) << name << " is not of the " << (is64_ ? "64" : "32") << "-bit edition";
  }
  // The other edition is not there.
  const std::string otherEdition =
      is64_ ? JoinPath(productFolder_, "INF\\android_usb.inf") : JoinPath(packageFolder_, "64_inf");
  EXPECT_EQ(AttributesOf(otherEdition), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(FolderExists(tempFolder_));
  const RegistryValue version = ReadValue(HKEY_LOCAL_MACHINE, kProductKey, "version");
  EXPECT_EQ(version.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(version.data, std::string("V1.7.0", 7));
  EXPECT_EQ(StagedCopies().size(), 4u);
  EXPECT_EQ(KitEntries().size(), 1u);
}

void SetupTest::ExpectInstalled() {
  ExpectKitInstalled();
  EXPECT_TRUE(FileExists(JoinPath(productFolder_, "uninstall.exe")));
  EXPECT_TRUE(FileExists(JoinPath(tempFolder_, "setup.log")));
  EXPECT_TRUE(InstalledPackages().empty());
  const struct {
    const char* name;
    std::string text;
  } strings[] = {
      {"DisplayName", "NORDAL 5120 USB Driver"},
      {"DisplayVersion", "1.7.0"},
      {"Publisher", "Orvane"},
      {"InstallLocation", productFolder_},
      {"DisplayIcon", productFolder_ + "\\uninstall.exe,0"},
  };
  for (const auto& value : strings) {
    const RegistryValue read = ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, value.name);
    EXPECT_EQ(read.type, static_cast<DWORD>(REG_SZ)) << value.name;
    EXPECT_EQ(read.data, value.text + std::string(1, '\0')) << value.name;
  }
  // Both run the uninstall program; only the quiet one silently.
  const RegistryValue command = ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
  const RegistryValue quiet = ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString");
  EXPECT_NE(command.data.find(productFolder_ + "\\uninstall.exe"), std::string::npos);
  EXPECT_NE(quiet.data.find(productFolder_ + "\\uninstall.exe"), std::string::npos);
  EXPECT_EQ(command.data.find(" /S "), std::string::npos);
  EXPECT_NE(command.data.find(" /uninstall "), std::string::npos);
  EXPECT_NE(quiet.data.find(" /uninstall /S "), std::string::npos);
  for (const char* name : {"NoModify", "NoRepair"}) {
    const RegistryValue read = ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, name);
    EXPECT_EQ(read.type, static_cast<DWORD>(REG_DWORD)) << name;
    EXPECT_EQ(read.data, std::string("\x01\0\0\0", 4)) << name;
  }
  const RegistryValue size = ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize");
  EXPECT_EQ(size.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size.data.size(), 4u);
  EXPECT_NE(size.data, std::string(4, '\0'));
}

std::vector<Release> SetupTest::SilentInstallReleases() const {
  return is64_ ? std::vector<Release>{{"win7", "Setup device for Wind7 64BIT\\n"},
                                      {"winxp", "Setup device for Windows XP 64 Bit\\n"}}
               : std::vector<Release>{{"win7", "Setup device for Wind7 32BIT\\n"}};
}

std::string SetupTest::Package(const std::string& copy) const {
  return copy.empty() ? JoinPath(ProgramFolder(), "NORDAL_5120_USB_Driver.msi")
                      : JoinPath(JoinPath(ProgramFolder(), "e2e_msi"), copy);
}

void SetupTest::ExpectNothingLeft(const std::vector<std::string>& staged) {
  EXPECT_FALSE(FolderExists(productFolder_));
  EXPECT_FALSE(FolderExists(tempFolder_));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProductKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(FileExists(uninstallCopy_));
  for (const std::string& copy : staged) {
    EXPECT_FALSE(FileExists(JoinPath(InfStoreFolder(), copy))) << copy;
    EXPECT_FALSE(FileExists(JoinPath(InfStoreFolder(), Pnf(copy)))) << copy;
  }
  EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kLayersKey, productFolder_ + "\\Quorlin.exe").present);
}

StagingRefusal::~StagingRefusal() {
  for (const std::string& folder : made_) {
    RemoveDirectoryA(folder.c_str());
  }
}

::testing::AssertionResult StagingRefusal::Make() {
  for (int number = -1; number < 1000; ++number) {
    const std::string name = number < 0 ? "qcser.inf" : "oem" + std::to_string(number) + ".inf";
    const std::string folder = JoinPath(InfStoreFolder(), name);
    if (!CreateDirectoryA(folder.c_str(), NULL)) {
      return ::testing::AssertionFailure() << "cannot make " << folder << ": error " << GetLastError();
    }
    made_.push_back(folder);
  }
  return ::testing::AssertionSuccess();
}

std::vector<std::string> PendingDeletions() {
  const RegistryValue value =
      ReadValue(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                "PendingFileRenameOperations");
  // Pairs of names: the file, and where it goes, empty for a deletion.
  std::vector<std::string> names;
  for (size_t start = 0; start < value.data.size();) {
    const size_t end = value.data.find('\0', start);
    names.push_back(value.data.substr(start, end - start));
    start = end == std::string::npos ? value.data.size() : end + 1;
  }
  std::vector<std::string> deletions;
  for (size_t i = 0; i + 1 < names.size(); i += 2) {
    if (names[i + 1].empty() && names[i].compare(0, 4, "\\??\\") == 0) {
      deletions.push_back(names[i].substr(4));
    }
  }
  return deletions;
}

::testing::AssertionResult Restart() {
  Started wineboot;
  DWORD exitCode = 99;
  ::testing::AssertionResult done = wineboot.Start("wineboot.exe -r", ScratchFile("wineboot.txt"));
  if (done) {
    done = wineboot.Wait(120000, &exitCode);
  }
  return done;
}

std::vector<std::string> KitEntries() {
  std::vector<std::string> entries;
  for (const std::string& key : SubKeys(HKEY_LOCAL_MACHINE, kUninstallRoot)) {
    const RegistryValue name =
        ReadValue(HKEY_LOCAL_MACHINE, std::string(kUninstallRoot) + "\\" + key, "DisplayName");
    if (name.data == std::string("NORDAL 5120 USB Driver", 23)) {
      entries.push_back(key);
    }
  }
  return entries;
}

std::vector<std::string> InstalledPackages() {
  std::vector<std::string> products;
  char product[39];
  for (DWORD i = 0; MsiEnumRelatedProductsA(KIT_UPGRADE_CODE, 0, i, product) == ERROR_SUCCESS; ++i) {
    products.push_back(product);
  }
  return products;
}

size_t CountOf(const std::vector<std::string>& texts, const std::string& text) {
  size_t count = 0;
  for (const std::string& one : texts) {
    count += one == text ? 1 : 0;
  }
  return count;
}

}  // namespace e2e
