// Folder deletion: Veskot.exe with trees of files as its product folder
// and its temporary folder, against "cmd /c rmdir /s /q" on the same two
// trees. The trees are made anew before every run.
#include <windows.h>

#include "bench/bench_case.h"
#include "bench/data_paths.h"
#include "tests/kit_facts/names.h"
#include "tests/wine/files.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"

namespace bench {

namespace {
using wine::DeleteTree;
using wine::JoinPath;
using wine::MakeFolders;
using wine::PathExists;
using wine::Quote;
using wine::WriteWholeFile;

// Nested folders: 20 files in each innermost folder, ten of those in each
// folder above, ten of those in each top folder.
const int kFilesPerFolder = 20;
const int kFanOut = 10;

std::string CmdPath() { return JoinPath(wine::SystemDirectory(), "cmd.exe"); }

class TreeDeletionCase : public BenchCase {
 public:
  std::string Name() const override { return "Folder deletion"; }
  std::string Unit() const override { return "files"; }
  std::string KitName() const override { return kit::kVeskotExe; }
  std::string BaselineName() const override { return "cmd /c rmdir /s /q"; }
  double GoalRatio() const override { return 1.05; }
  std::vector<CaseSize> Sizes() const override { return {{1000, 5}, {10000, 3}, {50000, 3}}; }

  bool SetUpSize(int count, std::string*) override {
    count_ = count;
    return true;
  }

  // Half the files in the product folder, half in the temporary folder.
  bool Prepare(Side, std::string* why) override {
    const int half = count_ / 2;
    return MakeTree(ProductFolder(), half, why) && MakeTree(TempFolder(), count_ - half, why);
  }

  std::string CommandLine(Side side) const override {
    if (side == Side::kKit) {
      return Quote(ProgramPath(kit::kVeskotExe));
    }
    // Without a quote right after /c, cmd takes the rest as it is.
    return Quote(CmdPath()) + " /c rmdir /s /q " + Quote(ProductFolder()) + " & rmdir /s /q " +
           Quote(TempFolder());
  }

  bool CheckRun(Side, std::string* why) override {
    for (const std::string& folder : {ProductFolder(), TempFolder()}) {
      if (PathExists(folder)) {
        *why = folder + " is still there";
        return false;
      }
    }
    return true;
  }

  void TearDown() override {
    DeleteTree(ProductFolder());
    DeleteTree(TempFolder());
  }

 private:
  static bool MakeTree(const std::string& root, int files, std::string* why) {
    if (!DeleteTree(root)) {
      *why = "cannot clear " + root;
      return false;
    }
    const std::string content(100, 'x');
    std::string folder;
    for (int i = 0; i < files; ++i) {
      if (i % kFilesPerFolder == 0) {
        const int leaf = i / kFilesPerFolder;
        char name[64];
        wsprintfA(name, "part%02d\\group%02d\\set%02d", leaf / (kFanOut * kFanOut), leaf / kFanOut % kFanOut,
                  leaf % kFanOut);
        folder = JoinPath(root, name);
        if (!MakeFolders(folder)) {
          *why = "cannot make " + folder;
          return false;
        }
      }
      char name[32];
      wsprintfA(name, "file%02d.dat", i % kFilesPerFolder);
      if (!WriteWholeFile(JoinPath(folder, name), content)) {
        *why = "cannot write a file in " + folder;
        return false;
      }
    }
    return true;
  }

  int count_ = 0;
};
}  // namespace

std::unique_ptr<BenchCase> MakeTreeDeletionCase() {
  return std::unique_ptr<BenchCase>(new TreeDeletionCase());
}

}  // namespace bench
