#include "tests/e2e/setup_fixture.h"

#include <msi.h>

#include "tests/kit_facts/names.h"
#include "tests/wine/capture.h"
#include "tests/wine/files.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"
#include "tests/wine/registry.h"

namespace e2e {

using namespace wine;

namespace {
const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
// The programs a setup run starts, for which other tests set a release of
// their own.
const char* const kKitPrograms[] = {kit::kSetupExe, kit::kSetupUninstallCopyExe, kit::kSetupUninstallExe,
                                    kit::kQuorlinExe, kit::kVeskotExe};
}  // namespace

void SetupTest::SetUp() {
  PrefixKind prefix = PrefixKind::kWin32;
  ASSERT_TRUE(ReadPrefixKind(&prefix));
  is64_ = prefix == PrefixKind::kWow64;
  productFolder_ = JoinPath(ProgramFilesFolder(), kit::kProductFolderName);
  tempFolder_ = JoinPath(ProgramFilesFolder(), kit::kTempFolderName);
  packageFolder_ = productFolder_ + (is64_ ? kit::kInfFolder64 : kit::kInfFolder32);
  samples_ = JoinPath(ProgramFolder(), is64_ ? "e2e_package\\64_inf" : "e2e_package");
  setup_ = JoinPath(ProgramFolder(), kit::kSetupExe);
  ASSERT_FALSE(TemporaryFolder().empty());
  uninstallCopy_ = JoinPath(TemporaryFolder(), kit::kSetupUninstallCopyExe);
  ASSERT_NO_FATAL_FAILURE(RemoveKit());
}

void SetupTest::TearDown() {
  EXPECT_TRUE(ForgetWindows(""));
  for (const char* program : kKitPrograms) {
    EXPECT_TRUE(ForgetWindows(program));
  }
  RemoveKit();
}

void SetupTest::UseRelease(const kit::WindowsRelease& release) {
  ASSERT_TRUE(SelectWindows("", release.wineVersion));
  for (const char* program : kKitPrograms) {
    ASSERT_TRUE(SelectWindows(program, release.wineVersion));
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
  EXPECT_TRUE(DeleteValue(HKEY_CURRENT_USER, kit::kLayersKey, JoinPath(productFolder_, kit::kQuorlinExe)));
  EXPECT_TRUE(DeleteTree(productFolder_));
  EXPECT_TRUE(DeleteTree(tempFolder_));
  EXPECT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, kit::kUninstallKey));
  EXPECT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, kit::kProductKey));
  DeleteFileA(uninstallCopy_.c_str());
  // Deletions an uninstall registered for a restart that no test made.
  EXPECT_TRUE(DeleteValue(HKEY_LOCAL_MACHINE, kSessionManagerKey, "PendingFileRenameOperations"));
}

std::vector<std::string> SetupTest::StagedCopies() {
  std::vector<std::string> samples;
  for (const char* folder : {"e2e_package", "e2e_package\\64_inf"}) {
    for (const char* name : kit::kPackageInfs) {
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
  ASSERT_NO_FATAL_FAILURE(UseRelease(kit::kWindows7));
  DWORD exitCode = 99;
  ASSERT_TRUE(RunSetup(" /S", &exitCode, lines));
  ASSERT_EQ(exitCode, 0u);
}

::testing::AssertionResult SetupTest::RunUninstallCommand(const char* value, DWORD* exitCode,
                                                          std::vector<ListenLine>* lines) {
  const RegistryValue command = ReadValue(HKEY_LOCAL_MACHINE, kit::kUninstallKey, value);
  if (!command.present || command.type != REG_SZ) {
    return ::testing::AssertionFailure() << "the Uninstall key holds no " << value;
  }
  return RunListened(command.data.c_str(), exitCode, lines);
}

std::string SetupTest::Package(const std::string& copy) const {
  return copy.empty() ? JoinPath(ProgramFolder(), kit::kPackageMsi)
                      : JoinPath(JoinPath(ProgramFolder(), "e2e_msi"), copy);
}

std::vector<const kit::WindowsRelease*> SetupTest::SilentInstallReleases() const {
  return is64_ ? std::vector<const kit::WindowsRelease*>{&kit::kWindows7, &kit::kWindowsXp}
               : std::vector<const kit::WindowsRelease*>{&kit::kWindows7};
}

std::string SetupTest::ClassificationSeen(const kit::WindowsRelease& release) const {
  return Seen(release.On(is64_).quorlinLine);
}

StagingRefusal::~StagingRefusal() {
  for (const std::string& folder : made_) {
    RemoveDirectoryA(folder.c_str());
  }
}

::testing::AssertionResult StagingRefusal::Make() {
  for (int number = -1; number < 1000; ++number) {
    const std::string name = number < 0 ? kit::kPackageInfs[2] : "oem" + std::to_string(number) + ".inf";
    const std::string folder = JoinPath(InfStoreFolder(), name);
    if (!CreateDirectoryA(folder.c_str(), NULL)) {
      return ::testing::AssertionFailure() << "cannot make " << folder << ": error " << GetLastError();
    }
    made_.push_back(folder);
  }
  return ::testing::AssertionSuccess();
}

std::string Seen(const std::string& message) { return EscapeDebugString(message); }

std::vector<std::string> KitEntries() {
  std::vector<std::string> entries;
  for (const std::string& key : SubKeys(HKEY_LOCAL_MACHINE, kit::kUninstallRoot)) {
    const RegistryValue name =
        ReadValue(HKEY_LOCAL_MACHINE, std::string(kit::kUninstallRoot) + "\\" + key, kit::kDisplayNameValue);
    if (name.data == StoredString(kit::kProductName)) {
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

size_t CountOf(const std::vector<std::string>& texts, const std::string& text) {
  size_t count = 0;
  for (const std::string& one : texts) {
    count += one == text ? 1 : 0;
  }
  return count;
}

}  // namespace e2e
