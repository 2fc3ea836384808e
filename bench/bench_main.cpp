// kitbench: times the kit's programs against their baselines as whole
// runs, alternating the two in every round, and reports the medians, their
// ratio and the peak working sets.
//
//   kitbench [rounds=N] [staging] [tree] [inf] [devices] [listening] [rolling]
//
// Without case names every case runs; rounds=N runs every size N times
// instead of the case's own count. The programs and the data come from
// the folder of kitbench.exe (see bench/README.md). The Markdown table is
// printed at the end and written to results.md beside kitbench.exe.
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/bench_case.h"
#include "bench/child_run.h"
#include "tests/wine/files.h"
#include "tests/wine/prefix.h"

namespace {

using bench::BenchCase;
using bench::CaseSize;
using bench::ChildRun;
using bench::Side;

struct Options {
  int rounds = 0;  // 0: each case's own
  std::vector<std::string> cases;
};

struct Runs {
  std::vector<double> milliseconds;
  SIZE_T peakWorkingSet = 0;
};

struct Row {
  std::string name;
  std::string unit;
  int count = 0;
  int rounds = 0;
  double kit = 0;
  double baseline = 0;
  double goal = 0;
  SIZE_T kitPeak = 0;
  SIZE_T baselinePeak = 0;
  std::string problem;  // why the size has no figures, or what a run failed to do
};

double Median(std::vector<double> values) {
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Format(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  return text;
}

// 1234567 as "1,234,567".
std::string Grouped(long long value) {
  std::string digits = Format("%lld", value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<size_t>(at), ",");
  }
  return digits;
}

// One run of one side on a freshly prepared machine; false, with the
// reason, when the machine could not be prepared or the run did not do
// its work.
bool RunOnce(BenchCase& benchCase, Side side, Runs* runs, std::string* why) {
  const DWORD preparing = GetTickCount();
  if (!benchCase.Prepare(side, why)) {
    return false;
  }
  const DWORD prepared = GetTickCount() - preparing;
  const ChildRun run = bench::RunChild(benchCase.CommandLine(side));
  if (!run.started) {
    *why = Format("cannot start %s (error %lu)", benchCase.CommandLine(side).c_str(), GetLastError());
    return false;
  }
  if (runs != NULL) {
    runs->milliseconds.push_back(run.milliseconds);
    runs->peakWorkingSet = std::max(runs->peakWorkingSet, run.peakWorkingSet);
    printf("    %-9s %10.1f ms  peak working set %8s KiB  (machine laid out in %lu ms)\n",
           side == Side::kKit ? "kit" : "baseline", run.milliseconds,
           Grouped(static_cast<long long>(run.peakWorkingSet / 1024)).c_str(), prepared);
    fflush(stdout);
  }
  return benchCase.CheckRun(side, why);
}

Row MeasureSize(BenchCase& benchCase, const CaseSize& size, bool warmUp, int rounds) {
  Row row;
  row.name = benchCase.Name();
  row.unit = benchCase.Unit();
  row.count = size.count;
  row.rounds = rounds;
  row.goal = benchCase.GoalRatio();
  printf("  %s, %s %s\n", row.name.c_str(), Grouped(size.count).c_str(), row.unit.c_str());
  fflush(stdout);
  if (!benchCase.SetUpSize(size.count, &row.problem)) {
    printf("    not measured: %s\n", row.problem.c_str());
    return row;
  }
  // The first start of a program after the machine was laid out is not
  // timed: it loads what every later run finds in the caches.
  if (warmUp) {
    std::string why;
    if (!RunOnce(benchCase, Side::kKit, NULL, &why) || !RunOnce(benchCase, Side::kBaseline, NULL, &why)) {
      row.problem = why;
    }
  }
  Runs kit;
  Runs baseline;
  for (int round = 0; round < rounds; ++round) {
    printf("   round %d\n", round + 1);
    // Each round alternates which side goes first.
    const Side first = round % 2 == 0 ? Side::kKit : Side::kBaseline;
    const Side second = first == Side::kKit ? Side::kBaseline : Side::kKit;
    for (Side side : {first, second}) {
      std::string why;
      if (!RunOnce(benchCase, side, side == Side::kKit ? &kit : &baseline, &why) && row.problem.empty()) {
        row.problem = (side == Side::kKit ? benchCase.KitName() : benchCase.BaselineName()) + ": " + why;
        printf("    %s\n", row.problem.c_str());
      }
    }
  }
  row.kit = Median(kit.milliseconds);
  row.baseline = Median(baseline.milliseconds);
  row.kitPeak = kit.peakWorkingSet;
  row.baselinePeak = baseline.peakWorkingSet;
  printf("   median: kit %.1f ms, baseline %.1f ms, ratio %.3f\n", row.kit, row.baseline,
         row.baseline > 0 ? row.kit / row.baseline : 0.0);
  fflush(stdout);
  return row;
}

std::string Table(const std::vector<Row>& rows, const std::vector<std::string>& pairs) {
  std::string table;
  table +=
      "| Case | Size | Rounds | Kit median (ms) | Baseline median (ms) | Ratio | Goal | Kit per item (ms) "
      "| Kit extra per item (ms) | Kit peak WS (KiB) | Baseline peak WS (KiB) |\n";
  table += "|---|---:|---:|---:|---:|---:|---|---:|---:|---:|---:|\n";
  for (const Row& row : rows) {
    const std::string size = Grouped(row.count) + " " + row.unit;
    if (row.kit <= 0 || row.baseline <= 0) {
      table += "| " + row.name + " | " + size + " | " + Format("%d", row.rounds) +
               " | | | | not measured: " + row.problem + " | | | | |\n";
      continue;
    }
    const double ratio = row.kit / row.baseline;
    std::string goal = Format("%s %.2f: %s", "\xE2\x89\xA4", row.goal, ratio <= row.goal ? "met" : "missed");
    if (!row.problem.empty()) {
      goal += " (" + row.problem + ")";
    }
    table += "| " + row.name + " | " + size + " | " + Format("%d", row.rounds) + " | " +
             Format("%.1f", row.kit) + " | " + Format("%.1f", row.baseline) + " | " + Format("%.3f", ratio) +
             " | " + goal + " | " + Format("%.3f", row.kit / row.count) + " | " +
             Format("%.3f", (row.kit - row.baseline) / row.count) + " | " +
             Grouped(static_cast<long long>(row.kitPeak / 1024)) + " | " +
             Grouped(static_cast<long long>(row.baselinePeak / 1024)) + " |\n";
  }
  table += "\n";
  for (const std::string& pair : pairs) {
    table += pair + "\n";
  }
  return table;
}

bool Selected(const Options& options, const std::string& key) {
  return options.cases.empty() ||
         std::find(options.cases.begin(), options.cases.end(), key) != options.cases.end();
}

}  // namespace

int main(int argc, char* argv[]) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.compare(0, 7, "rounds=") == 0) {
      options.rounds = atoi(argument.c_str() + 7);
    } else {
      options.cases.push_back(argument);
    }
  }
  // The staging and folder cases run on an INF directory and a device list
  // as Windows has them; the INF and device cases grow those, so they come
  // last and take their growth away when done.
  struct Entry {
    const char* key;
    std::unique_ptr<BenchCase> (*make)();
  };
  const Entry entries[] = {
      {"staging", bench::MakeStagingCase},     {"tree", bench::MakeTreeDeletionCase},
      {"inf", bench::MakeInfScanCase},         {"devices", bench::MakeDeviceWalkCase},
      {"listening", bench::MakeListeningCase}, {"rolling", bench::MakeRollingFileCase},
  };
  std::vector<Row> rows;
  std::vector<std::string> pairs;
  for (const Entry& entry : entries) {
    if (!Selected(options, entry.key)) {
      continue;
    }
    std::unique_ptr<BenchCase> benchCase = entry.make();
    printf("== %s: %s against %s\n", benchCase->Name().c_str(), benchCase->KitName().c_str(),
           benchCase->BaselineName().c_str());
    pairs.push_back("- " + benchCase->Name() + ": kit `" + benchCase->KitName() + "`, baseline `" +
                    benchCase->BaselineName() + "`.");
    bool first = true;
    for (const CaseSize& size : benchCase->Sizes()) {
      rows.push_back(MeasureSize(*benchCase, size, first, options.rounds > 0 ? options.rounds : size.rounds));
      first = false;
    }
    benchCase->TearDown();
  }
  const std::string table = Table(rows, pairs);
  printf("\n%s", table.c_str());
  wine::WriteWholeFile(wine::JoinPath(wine::ProgramFolder(), "results.md"), table);
  return 0;
}
