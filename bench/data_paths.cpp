#include "bench/data_paths.h"

#include "tests/kit_facts/names.h"
#include "tests/wine/files.h"
#include "tests/wine/prefix.h"

namespace bench {

namespace {
using wine::JoinPath;

std::string DataFolder() { return JoinPath(wine::ProgramFolder(), "data"); }
}  // namespace

std::string ProgramPath(const std::string& exeName) { return JoinPath(wine::ProgramFolder(), exeName); }

std::string CorpusFolder() { return JoinPath(DataFolder(), "corpus"); }

std::string HandsetInfFolder() { return JoinPath(DataFolder(), "inf_store"); }

std::string PackageFolder() { return JoinPath(DataFolder(), "package"); }

std::string ProductFolder() { return JoinPath(wine::ProgramFilesFolder(), kit::kProductFolderName); }

std::string TempFolder() { return JoinPath(wine::ProgramFilesFolder(), kit::kTempFolderName); }

}  // namespace bench
