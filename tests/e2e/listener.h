// tracecap's listen mode as the tests run it: tracecap.exe in a console of
// its own, its output going to files, stopped with Ctrl+C in that console;
// and the programs the tests run beside it, whose output they read.
#ifndef KIT_TESTS_E2E_LISTENER_H
#define KIT_TESTS_E2E_LISTENER_H

#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace e2e {

// One line of listen mode: time, process id, program name, escaped string.
struct ListenLine {
  unsigned long time = 0;
  unsigned long pid = 0;
  std::string name;
  std::string text;
};

// The lines of a file or an output, without their line ends.
std::vector<std::string> SplitLines(const std::string& output);

// Splits listen-mode output into its lines; fails on a line of another
// shape. With `headers`, the header lines of an --out file, which begin
// with "#", go there.
::testing::AssertionResult ParseListenLines(const std::string& output, std::vector<ListenLine>* lines,
                                            std::vector<std::string>* headers = nullptr);

// A program started with its standard output and error going to files
// (or to `output`, when it is given), in a console of its own when
// `console` is set.
class Started {
 public:
  Started() = default;
  ~Started();
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  ::testing::AssertionResult Start(const std::string& commandLine, const std::string& outputFile,
                                   bool console = false, HANDLE output = NULL);
  // Waits for the end; fails when it does not come within `milliseconds`.
  ::testing::AssertionResult Wait(DWORD milliseconds, DWORD* exitCode);
  DWORD Pid() const { return pid_; }
  // Its standard output, and its error output, read once it has ended.
  std::string Output() const;
  std::string Errors() const;

 private:
  HANDLE process_ = NULL;
  DWORD pid_ = 0;
  std::string outputFile_;
};

// tracecap --listen with `options`, started once no other listener is
// there and waited for until it listens.
class Listener {
 public:
  ::testing::AssertionResult Start(const std::vector<std::string>& options = {}, HANDLE output = NULL);
  // Ctrl+C in its console, then its end: it must exit with `exitCode`.
  ::testing::AssertionResult Stop(DWORD exitCode = 0);
  // Everything it wrote to its standard output, and its lines.
  std::string Output() const { return run_.Output(); }
  std::string Errors() const { return run_.Errors(); }
  ::testing::AssertionResult Lines(std::vector<ListenLine>* lines) const;
  DWORD Pid() const { return run_.Pid(); }

 private:
  Started run_;
};

// Whether a debug-output listener's buffer is there now.
bool SomeoneListens();

// Beside the test program: tracecap.exe, the writer, and scratch files.
std::string TracecapPath();
std::string WriterPath();
std::string ScratchFile(const std::string& name);

}  // namespace e2e

#endif
