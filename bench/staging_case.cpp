// Staging: Quorlin.exe against a program that makes the installer's four
// SetupCopyOEMInfA calls and nothing else. Before every run the INF
// directory is put back as it was before the first: what a run staged is
// uninstalled again.
#include <windows.h>
// setupapi.h needs windows.h first.
#include <setupapi.h>

#include <set>

#include "bench/bench_case.h"
#include "bench/data_paths.h"
#include "tests/kit_facts/names.h"
#include "tests/wine/files.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"

namespace bench {

namespace {
using wine::CopyAsNormalFile;
using wine::DeleteTree;
using wine::InfStoreFolder;
using wine::JoinPath;
using wine::ListFiles;
using wine::MakeFolders;
using wine::Quote;
using wine::UnderWow64;

class StagingCase : public BenchCase {
 public:
  std::string Name() const override { return "Staging"; }
  std::string Unit() const override { return "INF files"; }
  std::string KitName() const override { return kit::kQuorlinExe; }
  std::string BaselineName() const override { return "bench_stage.exe"; }
  double GoalRatio() const override { return 1.10; }
  std::vector<CaseSize> Sizes() const override { return {{4, 9}}; }

  bool SetUpSize(int, std::string* why) override {
    // The folder the installer stages from on this machine.
    infSource_ = ProductFolder() + (UnderWow64() ? kit::kInfFolder64 : kit::kInfFolder32);
    const std::string edition =
        UnderWow64() ? JoinPath(PackageFolder(), kit::kInfEdition64) : PackageFolder();
    if (!MakeFolders(infSource_)) {
      *why = "cannot make " + infSource_;
      return false;
    }
    for (const char* file : kit::kPackageInfs) {
      if (!CopyAsNormalFile(JoinPath(edition, file), JoinPath(infSource_, file))) {
        *why = std::string("cannot copy the package's ") + file;
        return false;
      }
    }
    const std::vector<std::string> before = ListFiles(InfStoreFolder(), "*");
    before_.insert(before.begin(), before.end());
    return true;
  }

  bool Prepare(Side, std::string* why) override {
    for (const std::string& name : ListFiles(InfStoreFolder(), "*.inf")) {
      if (before_.count(name) == 0) {
        SetupUninstallOEMInfA(name.c_str(), SUOI_FORCEDELETE, NULL);
      }
    }
    // What the uninstall left (the precompiled .pnf files on some
    // releases) goes by hand.
    for (const std::string& name : ListFiles(InfStoreFolder(), "*")) {
      if (before_.count(name) == 0 && !DeleteTree(JoinPath(InfStoreFolder(), name))) {
        *why = "cannot delete the staged " + name;
        return false;
      }
    }
    return true;
  }

  std::string CommandLine(Side side) const override {
    if (side == Side::kKit) {
      return Quote(ProgramPath(kit::kQuorlinExe));
    }
    return Quote(ProgramPath("bench_stage.exe")) + " " + Quote(infSource_);
  }

  bool CheckRun(Side, std::string* why) override {
    size_t staged = 0;
    for (const std::string& name : ListFiles(InfStoreFolder(), "*.inf")) {
      staged += before_.count(name) == 0 ? 1 : 0;
    }
    if (staged != 4) {
      *why = "staged " + std::to_string(staged) + " INF files, not 4";
      return false;
    }
    return true;
  }

  void TearDown() override {
    std::string why;
    Prepare(Side::kKit, &why);
    DeleteTree(ProductFolder());
  }

 private:
  std::string infSource_;
  std::set<std::string> before_;
};
}  // namespace

std::unique_ptr<BenchCase> MakeStagingCase() { return std::unique_ptr<BenchCase>(new StagingCase()); }

}  // namespace bench
