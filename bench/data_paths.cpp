#include "bench/data_paths.h"

#include "bench/machine.h"

namespace bench {

namespace {
std::string DataFolder() { return JoinPath(ProgramFolder(), "data"); }

std::string ProgramFilesFolder() {
  return SystemDrive() + (UnderWow64() ? "\\Program Files (x86)" : "\\Program Files");
}
}  // namespace

std::string ProgramPath(const std::string& exeName) { return JoinPath(ProgramFolder(), exeName); }

std::string CorpusFolder() { return JoinPath(DataFolder(), "corpus"); }

std::string HandsetInfFolder() { return JoinPath(DataFolder(), "inf_store"); }

std::string PackageFolder() { return JoinPath(DataFolder(), "package"); }

std::string ProductFolder() { return JoinPath(ProgramFilesFolder(), "NORDAL_5120_USB_DRIVER"); }

std::string TempFolder() { return JoinPath(ProgramFilesFolder(), "Orvane_M4730_Temp"); }

}  // namespace bench
