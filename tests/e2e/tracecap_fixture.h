// The fixture of tracecap.exe's end-to-end scenarios, and what they share:
// no listener may be left behind by a test; the kit's programs and their
// debug strings as the debugger sees them; how long a writer waited; a
// pipe read on a thread of its own.
#ifndef KIT_TESTS_E2E_TRACECAP_FIXTURE_H
#define KIT_TESTS_E2E_TRACECAP_FIXTURE_H

#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace e2e {

class TracecapTest : public ::testing::Test {
 protected:
  void TearDown() override;
};

// Far below the 10 seconds a writer waits for a listener that does not
// answer, and far above anything an answered string takes.
const unsigned long kPromptMicroseconds = 2000000;

// A writer's report of its longest OutputDebugStringA call.
bool LongestWait(const std::string& output, unsigned long* microseconds);

// A program of the kit, beside the test program.
std::string KitProgram(const std::string& name);

// The debug strings a program sends on this machine, escaped, as the
// debugger sees them, after a run that settles what it changes.
std::vector<std::string> Reference(const std::string& program, DWORD exitCode);

// Reads a pipe to its end on a thread of its own (ReadPipe is the
// thread's function, a PipeReader its parameter).
struct PipeReader {
  HANDLE pipe;
  std::string output;
};
DWORD WINAPI ReadPipe(void* parameter);

}  // namespace e2e

#endif
