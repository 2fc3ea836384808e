// Listening: how long four writers take to send their strings while
// tracecap's listen mode takes them in, against the same writers while
// bench_listener.exe, the least a listener can do, answers them. Every
// writer waits for the listener with each string, so the listener's pace
// is theirs. Before every run the side's listener is started and waited
// for until it owns the buffer; after it, it must have every string:
// tracecap printed them all, the baseline counted them.
//
// Rolling file: the same writers while tracecap writes its lines to an
// --out file that rolls over at 64 KiB (a dozen rollovers a run), against
// tracecap writing them to a file that grows.
#include <windows.h>

#include <string>

#include "bench/bench_case.h"
#include "bench/data_paths.h"
#include "tests/kit_facts/names.h"
#include "tests/wine/files.h"
#include "tests/wine/listener.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"

namespace bench {

namespace {
using wine::JoinPath;
using wine::ProgramFolder;
using wine::Quote;
using wine::SomeoneListens;

const int kWriters = 4;
const DWORD kListenWait = 10000;
const DWORD kCatchUpWait = 30000;

// The lines of the writers in tracecap's output: the tab before their text.
int WriterLines(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    return 0;
  }
  int lines = 0;
  char chunk[65536];
  DWORD read = 0;
  const char* const marker = "\tbench_writers.exe\tW";
  size_t matched = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &read, NULL) && read > 0) {
    for (DWORD i = 0; i < read; ++i) {
      matched = chunk[i] == marker[matched] ? matched + 1 : (chunk[i] == marker[0] ? 1 : 0);
      if (marker[matched] == '\0') {
        ++lines;
        matched = 0;
      }
    }
  }
  CloseHandle(file);
  return lines;
}

class ListeningCase : public BenchCase {
 public:
  explicit ListeningCase(bool rolling) : rolling_(rolling) {}
  ~ListeningCase() override { TearDown(); }

  std::string Name() const override { return rolling_ ? "Rolling file" : "Listening"; }
  std::string Unit() const override { return "strings"; }
  std::string KitName() const override {
    return rolling_ ? "tracecap.exe --listen --out FILE --max-size 64K" : "tracecap.exe --listen";
  }
  std::string BaselineName() const override {
    return rolling_ ? "tracecap.exe --listen --out FILE" : "bench_listener.exe";
  }
  double GoalRatio() const override { return 1.10; }
  std::vector<CaseSize> Sizes() const override { return {{20000, rolling_ ? 7 : 9}}; }

  bool SetUpSize(int count, std::string* why) override {
    count_ = count;
    if (stop_ == NULL) {
      stop_ = CreateEventA(NULL, TRUE, FALSE, "kitbench_listener_stop");
    }
    if (stop_ == NULL) {
      *why = "cannot make the event that stops the baseline";
      return false;
    }
    return true;
  }

  bool Prepare(Side side, std::string* why) override {
    StopListener();
    if (SomeoneListens()) {
      *why = "another debug-output viewer is listening";
      return false;
    }
    ResetEvent(stop_);
    DeleteFileA(Output().c_str());
    DeleteFileA(Count().c_str());
    DeleteFileA(Rolled().c_str());
    DeleteFileA(JoinPath(ProgramFolder(), "rolled.1.txt").c_str());
    SECURITY_ATTRIBUTES inherited = {sizeof(inherited), NULL, TRUE};
    HANDLE output = CreateFileA(Output().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    HANDLE nothing = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    std::string commandLine = Quote(ProgramPath(kit::kTracecapExe)) + " --listen";
    if (!RunsTracecap(side)) {
      commandLine = Quote(ProgramPath("bench_listener.exe")) + " " + Quote(Count());
    } else if (rolling_) {
      commandLine += " --out " + Quote(Rolled()) + (side == Side::kKit ? " --max-size 64K" : "");
    }
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = nothing;
    PROCESS_INFORMATION process;
    const BOOL started =
        output != INVALID_HANDLE_VALUE && nothing != INVALID_HANDLE_VALUE &&
        CreateProcessA(NULL, &commandLine[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process);
    CloseHandle(output);
    CloseHandle(nothing);
    if (!started) {
      *why = "cannot start " + commandLine;
      return false;
    }
    CloseHandle(process.hThread);
    listener_ = process.hProcess;
    for (DWORD waited = 0; !SomeoneListens(); waited += 20) {
      if (waited >= kListenWait || WaitForSingleObject(listener_, 20) == WAIT_OBJECT_0) {
        *why = commandLine + " did not start listening";
        return false;
      }
    }
    return true;
  }

  std::string CommandLine(Side) const override {
    return Quote(ProgramPath("bench_writers.exe")) + " " + std::to_string(kWriters) + " " +
           std::to_string(count_ / kWriters);
  }

  bool CheckRun(Side side, std::string* why) override {
    int caught = 0;
    if (RunsTracecap(side)) {
      // tracecap prints what it caught as it goes: once it has all, it
      // is ended.
      for (DWORD waited = 0; (caught = WriterLines(Output())) < count_ && waited < kCatchUpWait;
           waited += 50) {
        Sleep(50);
      }
      StopListener();
    } else {
      SetEvent(stop_);
      WaitForSingleObject(listener_, kCatchUpWait);
      StopListener();
      std::string count;
      HANDLE file = CreateFileA(Count().c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
      char text[16] = {0};
      DWORD read = 0;
      if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, text, sizeof(text) - 1, &read, NULL);
        CloseHandle(file);
      }
      caught = atoi(text);
    }
    if (caught != count_) {
      *why = "took in " + std::to_string(caught) + " strings, not " + std::to_string(count_);
      return false;
    }
    return true;
  }

  void TearDown() override {
    StopListener();
    if (stop_ != NULL) {
      CloseHandle(stop_);
      stop_ = NULL;
    }
  }

 private:
  static std::string Output() { return JoinPath(ProgramFolder(), "listened.txt"); }
  static std::string Count() { return JoinPath(ProgramFolder(), "listener_count.txt"); }
  static std::string Rolled() { return JoinPath(ProgramFolder(), "rolled.txt"); }

  bool RunsTracecap(Side side) const { return rolling_ || side == Side::kKit; }

  void StopListener() {
    if (listener_ != NULL) {
      if (WaitForSingleObject(listener_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(listener_, 0);
        WaitForSingleObject(listener_, kListenWait);
      }
      CloseHandle(listener_);
      listener_ = NULL;
    }
  }

  const bool rolling_;
  int count_ = 0;
  HANDLE stop_ = NULL;
  HANDLE listener_ = NULL;
};
}  // namespace

std::unique_ptr<BenchCase> MakeListeningCase() {
  return std::unique_ptr<BenchCase>(new ListeningCase(false));
}

std::unique_ptr<BenchCase> MakeRollingFileCase() {
  return std::unique_ptr<BenchCase>(new ListeningCase(true));
}

}  // namespace bench
