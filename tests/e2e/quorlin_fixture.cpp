#include "tests/e2e/quorlin_fixture.h"

#include "tests/wine/files.h"
#include "tests/wine/prefix.h"
#include "tests/wine/registry.h"

namespace e2e {

using namespace wine;

namespace {
const kit::PackageEdition kEditions[] = {kit::PackageEdition::k32Bit, kit::PackageEdition::k64Bit};

const char* EditionName(kit::PackageEdition edition) {
  return edition == kit::PackageEdition::k64Bit ? "64-bit" : "32-bit";
}
}  // namespace

void QuorlinScenario::SetUp() {
  ASSERT_TRUE(ReadPrefixKind(&prefix_));
  systemDirectory_ = SystemDirectory();
  ASSERT_GT(systemDirectory_.size(), 3u);
  drive_ = SystemDrive();
  kitFolder_ = drive_ + "\\kit";
  quorlinPath_ = JoinPath(kitFolder_, kit::kQuorlinExe);

  for (kit::PackageEdition edition : kEditions) {
    for (const char* file : kit::kPackageInfs) {
      ASSERT_TRUE(ReadWholeFile(SamplePath(edition, file), &samples_[edition][file]));
    }
  }
  ASSERT_NO_FATAL_FAILURE(RemoveStagedCopies());
  // Both editions in their folders on the system drive, nothing else there.
  for (const char* programFiles : {kit::kProgramFiles, kit::kProgramFilesX86}) {
    ASSERT_TRUE(DeleteTree(drive_ + programFiles + "\\" + kit::kProductFolderName));
  }
  for (kit::PackageEdition edition : kEditions) {
    ASSERT_TRUE(MakeFolders(PackageFolder(edition)));
    for (const char* file : kit::kPackageInfs) {
      ASSERT_TRUE(CopyOneFile(SamplePath(edition, file), PackageFile(edition, file)));
    }
  }
  ASSERT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, kit::kProductKey));
  ASSERT_TRUE(DeleteTree(kitFolder_));
  ASSERT_TRUE(MakeFolders(kitFolder_));
  ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), kit::kQuorlinExe), quorlinPath_));
  ASSERT_TRUE(DeleteValue(HKEY_CURRENT_USER, kit::kLayersKey, quorlinPath_));
}

void QuorlinScenario::TearDown() { autorun_.Stop(); }

void QuorlinScenario::SelectWindows(const kit::WindowsRelease& release) {
  ASSERT_TRUE(wine::SelectWindows(kit::kQuorlinExe, release.wineVersion));
}

std::string QuorlinScenario::PackageFolder(kit::PackageEdition edition) const {
  return edition == kit::PackageEdition::k64Bit
             ? drive_ + kit::kProgramFilesX86 + "\\" + kit::kProductFolderName + kit::kInfFolder64
             : drive_ + kit::kProgramFiles + "\\" + kit::kProductFolderName + kit::kInfFolder32;
}

std::string QuorlinScenario::PackageFile(kit::PackageEdition edition, const std::string& file) const {
  return JoinPath(PackageFolder(edition), file);
}

CaptureResult QuorlinScenario::RunQuorlin(const std::string& path,
                                          const std::vector<std::string>& arguments) {
  return RunTraced(path, arguments, 1);
}

std::string QuorlinScenario::SamplePath(kit::PackageEdition edition, const std::string& file) const {
  const std::string samples = JoinPath(ProgramFolder(), "e2e_package");
  return JoinPath(edition == kit::PackageEdition::k64Bit ? JoinPath(samples, kit::kInfEdition64) : samples,
                  file);
}

std::string QuorlinScenario::SampleOf(const std::string& content) const {
  for (const auto& edition : samples_) {
    for (const auto& sample : edition.second) {
      if (sample.second == content) {
        return std::string(EditionName(edition.first)) + "/" + sample.first;
      }
    }
  }
  return std::string();
}

// Copies are known by content only: Windows names them oemN.inf, while
// Wine keeps the INF's own name when it is free and falls back to
// oemN.inf (from oem0) when it is not, and writes a .pnf beside each.
void QuorlinScenario::RemoveStagedCopies() {
  const std::string store = InfStoreFolder();
  for (const std::string& name : ListFiles(store, "*.inf")) {
    std::string content;
    ASSERT_TRUE(ReadWholeFile(JoinPath(store, name), &content));
    if (SampleOf(content).empty()) {
      continue;
    }
    ASSERT_TRUE(DeleteOneFile(JoinPath(store, name)));
    const std::string pnf = PnfOf(JoinPath(store, name));
    if (FileExists(pnf)) {
      ASSERT_TRUE(DeleteOneFile(pnf));
    }
  }
}

void QuorlinScenario::ExpectStagedCopies(kit::PackageEdition edition, const std::vector<std::string>& files) {
  std::map<std::string, int> copies;
  const std::string store = InfStoreFolder();
  for (const std::string& name : ListFiles(store, "*.inf")) {
    std::string content;
    ASSERT_TRUE(ReadWholeFile(JoinPath(store, name), &content));
    const std::string sample = SampleOf(content);
    if (!sample.empty()) {
      ++copies[sample];
    }
  }
  std::map<std::string, int> expected;
  for (const std::string& file : files) {
    expected[std::string(EditionName(edition)) + "/" + file] = 1;
  }
  EXPECT_EQ(copies, expected) << "copies of our samples in " << store;
}

void QuorlinScenario::ExpectAllStaged(kit::PackageEdition edition) {
  if (edition == kit::PackageEdition::kNone) {
    ExpectStagedCopies(edition, {});
  } else {
    ExpectStagedCopies(
        edition, {kit::kPackageInfs[0], kit::kPackageInfs[1], kit::kPackageInfs[2], kit::kPackageInfs[3]});
  }
}

void QuorlinScenario::ExpectRunAsAdmin(const std::string& path) {
  const RegistryValue value = ReadValue(HKEY_CURRENT_USER, kit::kLayersKey, path);
  ASSERT_TRUE(value.present) << "no value " << path << " under HKCU\\" << kit::kLayersKey;
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.data, StoredString(kit::kRunAsAdmin));
}

}  // namespace e2e
