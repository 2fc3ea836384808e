// Where the benchmark finds the programs it runs and the files it lays
// out: beside kitbench.exe, as scripts/bench.sh puts them there.
#ifndef KIT_BENCH_DATA_PATHS_H
#define KIT_BENCH_DATA_PATHS_H

#include <string>

namespace bench {

// A program beside kitbench.exe.
std::string ProgramPath(const std::string& exeName);

// data\corpus: INF files of public driver samples.
std::string CorpusFolder();

// data\inf_store: INF files of our own that name the handset.
std::string HandsetInfFolder();

// data\package: the sample driver package, with its 64-bit edition in
// 64_inf.
std::string PackageFolder();

// The product's folders, as the programs build them on this machine.
std::string ProductFolder();
std::string TempFolder();

}  // namespace bench

#endif
