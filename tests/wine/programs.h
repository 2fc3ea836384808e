// Programs the tests start beside the kit's: in the background for the
// kit's programs to find or end, with their output going to files, or to
// their end; a file held open as a program holds one; and the list of
// running processes.
#ifndef KIT_TESTS_WINE_PROGRAMS_H
#define KIT_TESTS_WINE_PROGRAMS_H

#include <windows.h>

#include <map>
#include <string>

#include "gtest/gtest.h"

namespace wine {

// `argument` in double quotes, for a path with blanks on a command line.
std::string Quote(const std::string& argument);

// The running processes: id and executable name.
std::map<DWORD, std::string> RunningProcesses();

// The id of a running process whose executable is `name` (letters in any
// case), once one runs, waiting up to `milliseconds`; 0 when none came.
DWORD WaitForProcess(const std::string& name, DWORD milliseconds);

// A program started in the background, for the kit's programs to find.
class BackgroundProgram {
 public:
  BackgroundProgram() = default;
  ~BackgroundProgram();
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  // Starts `path` and waits until the process list shows it under its
  // file name, so that a process walk started afterwards meets it. With
  // `inheritHandles` it gets this process's inheritable handles.
  ::testing::AssertionResult Start(const std::string& path, bool inheritHandles = false);

  // Whether it still runs.
  bool Running();

  // Waits up to `milliseconds` for the program to end; true with its exit
  // code when it did.
  bool WaitForEnd(DWORD milliseconds, DWORD* exitCode);

  // Ends the program if it still runs and forgets it.
  void Stop();

 private:
  HANDLE process_ = NULL;
  DWORD processId_ = 0;
};

// A program started with its standard output and error going to files
// (or its output to `output`, when it is given), in a console of its own
// when `console` is set; ended when the object goes, if it still runs.
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

// Runs a command line to its end, within two minutes, with no console of
// its own and its output in the scratch file `outputName`.
::testing::AssertionResult RunToEnd(const std::string& commandLine, const std::string& outputName,
                                    DWORD* exitCode, Started* run);
::testing::AssertionResult RunToEnd(const std::string& commandLine, DWORD* exitCode);

// A file kept open without delete sharing, as an editor holds a document:
// no one can delete it until it is closed. An inheritable handle passes to
// the programs started with inheritHandles.
class HeldOpenFile {
 public:
  HeldOpenFile() = default;
  ~HeldOpenFile();
  HeldOpenFile(const HeldOpenFile&) = delete;
  HeldOpenFile& operator=(const HeldOpenFile&) = delete;

  ::testing::AssertionResult Open(const std::string& path, bool inheritable = false);
  void Close();

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

}  // namespace wine

#endif
