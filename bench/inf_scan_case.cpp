// OEM INF scan: Veskot.exe on a machine that is clean but for a large INF
// directory, against a program that lists the same directory and opens and
// closes each file as an INF. The directory holds the platform's own INF
// files, a few of ours that name the handset (the uninstaller deletes
// them; they are put back before every run) and copies of public driver
// samples under new names up to the size.
#include <windows.h>

#include <algorithm>

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
using wine::PathExists;
using wine::Quote;

const char* const kHandsetInfs[] = {"nordal_adb_legacy.inf", "nordal_modem_legacy.inf"};
const char kCopyPattern[] = "bench*.inf";

class InfScanCase : public BenchCase {
 public:
  std::string Name() const override { return "OEM INF scan"; }
  std::string Unit() const override { return "INF files"; }
  std::string KitName() const override { return kit::kVeskotExe; }
  std::string BaselineName() const override { return "bench_inf_open.exe"; }
  double GoalRatio() const override { return 1.10; }
  std::vector<CaseSize> Sizes() const override { return {{200, 7}, {1000, 5}, {5000, 3}}; }

  bool SetUpSize(int count, std::string* why) override {
    if (corpus_.empty()) {
      corpus_ = ListFiles(CorpusFolder(), "*.inf");
      std::sort(corpus_.begin(), corpus_.end());
      if (corpus_.empty()) {
        *why = "no INF files in " + CorpusFolder();
        return false;
      }
    }
    if (!Prepare(Side::kKit, why)) {
      return false;
    }
    int present = static_cast<int>(ListFiles(InfStoreFolder(), "*.inf").size());
    if (present > count) {
      *why = "the INF directory already holds " + std::to_string(present) + " INF files";
      return false;
    }
    for (; present < count; ++present, ++copies_) {
      char name[32];
      wsprintfA(name, "bench%05d.inf", copies_);
      const std::string& source = corpus_[static_cast<size_t>(copies_) % corpus_.size()];
      if (!CopyAsNormalFile(JoinPath(CorpusFolder(), source), JoinPath(InfStoreFolder(), name))) {
        *why = "cannot copy " + source;
        return false;
      }
    }
    return true;
  }

  bool Prepare(Side, std::string* why) override {
    for (const char* name : kHandsetInfs) {
      const std::string target = JoinPath(InfStoreFolder(), name);
      if (!PathExists(target) && !CopyAsNormalFile(JoinPath(HandsetInfFolder(), name), target)) {
        *why = std::string("cannot put back ") + name;
        return false;
      }
    }
    return true;
  }

  std::string CommandLine(Side side) const override {
    return Quote(ProgramPath(side == Side::kKit ? kit::kVeskotExe : "bench_inf_open.exe"));
  }

  bool CheckRun(Side side, std::string* why) override {
    for (const char* name : kHandsetInfs) {
      if (PathExists(JoinPath(InfStoreFolder(), name)) != (side == Side::kBaseline)) {
        *why = std::string(name) + (side == Side::kKit ? " was not deleted" : " was deleted");
        return false;
      }
    }
    if (static_cast<int>(ListFiles(InfStoreFolder(), kCopyPattern).size()) != copies_) {
      *why = "copies of the samples are missing";
      return false;
    }
    return true;
  }

  void TearDown() override {
    for (const std::string& name : ListFiles(InfStoreFolder(), kCopyPattern)) {
      DeleteTree(JoinPath(InfStoreFolder(), name));
    }
    for (const char* name : kHandsetInfs) {
      DeleteTree(JoinPath(InfStoreFolder(), name));
    }
  }

 private:
  std::vector<std::string> corpus_;
  int copies_ = 0;
};
}  // namespace

std::unique_ptr<BenchCase> MakeInfScanCase() { return std::unique_ptr<BenchCase>(new InfScanCase()); }

}  // namespace bench
