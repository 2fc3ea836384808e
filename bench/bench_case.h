// One benchmark case: a program of the kit against a baseline that does
// the same work the quickest way the platform offers, at several sizes of
// the machine, each run on the same fresh machine state.
#ifndef KIT_BENCH_BENCH_CASE_H
#define KIT_BENCH_BENCH_CASE_H

#include <memory>
#include <string>
#include <vector>

namespace bench {

// Which of the two programs of a case a run is of.
enum class Side { kKit, kBaseline };

struct CaseSize {
  int count;   // the size of the machine, in the case's unit
  int rounds;  // how many times each of the two programs runs at this size
};

class BenchCase {
 public:
  virtual ~BenchCase() = default;

  virtual std::string Name() const = 0;
  // What the size counts, for the report: "INF files", "files" and so on.
  virtual std::string Unit() const = 0;
  virtual std::string KitName() const = 0;
  virtual std::string BaselineName() const = 0;
  // The largest kit/baseline ratio of the medians that meets the goal.
  virtual double GoalRatio() const = 0;
  virtual std::vector<CaseSize> Sizes() const = 0;

  // Grows the machine to `count` (sizes come in rising order). False, with
  // the reason in *why, when the machine cannot be laid out.
  virtual bool SetUpSize(int count, std::string* why) = 0;
  // Puts back, before every run of `side`, whatever an earlier run
  // changed, and starts what the run needs beside it.
  virtual bool Prepare(Side side, std::string* why) = 0;
  virtual std::string CommandLine(Side side) const = 0;
  // Whether the run just made did the case's work. False, with the reason.
  virtual bool CheckRun(Side side, std::string* why) = 0;
  // Takes away everything the case laid out.
  virtual void TearDown() = 0;
};

std::unique_ptr<BenchCase> MakeStagingCase();
std::unique_ptr<BenchCase> MakeTreeDeletionCase();
std::unique_ptr<BenchCase> MakeInfScanCase();
std::unique_ptr<BenchCase> MakeDeviceWalkCase();
std::unique_ptr<BenchCase> MakeListeningCase();
std::unique_ptr<BenchCase> MakeRollingFileCase();

}  // namespace bench

#endif
