// tracecap's listen mode as the tests and the benchmarks run it:
// tracecap.exe in a console of its own, its output going to files, stopped
// with Ctrl+C in that console, and the lines it printed read back.
#ifndef KIT_TESTS_WINE_LISTENER_H
#define KIT_TESTS_WINE_LISTENER_H

#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/wine/programs.h"

namespace wine {

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

// The lines of the program `name`, and the escaped strings of lines.
std::vector<ListenLine> LinesOf(const std::vector<ListenLine>& lines, const std::string& name);
std::vector<std::string> TextsOf(const std::vector<ListenLine>& lines);
std::vector<std::string> TextsOf(const std::vector<ListenLine>& lines, const std::string& name);

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

// Runs `commandLine` to its end, within three minutes, while tracecap
// listens; what tracecap caught goes to `lines`.
::testing::AssertionResult RunListened(const std::string& commandLine, DWORD* exitCode,
                                       std::vector<ListenLine>* lines);

// Whether a debug-output listener's buffer is there now.
bool SomeoneListens();

// Beside the test program: tracecap.exe, and the writer of debug strings
// the tests run as a process of its own.
std::string TracecapPath();
std::string WriterPath();

}  // namespace wine

#endif
