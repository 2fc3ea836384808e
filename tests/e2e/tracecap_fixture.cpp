#include "tests/e2e/tracecap_fixture.h"

#include <stdlib.h>

#include "tests/wine/capture.h"
#include "tests/wine/files.h"
#include "tests/wine/listener.h"
#include "tests/wine/prefix.h"

namespace e2e {

using namespace wine;

void TracecapTest::TearDown() { EXPECT_FALSE(SomeoneListens()) << "a listener was left behind"; }

bool LongestWait(const std::string& output, unsigned long* microseconds) {
  const size_t at = output.find("longest wait: ");
  if (at == std::string::npos) {
    return false;
  }
  *microseconds = strtoul(output.c_str() + at + 14, NULL, 10);
  return true;
}

std::string KitProgram(const std::string& name) { return JoinPath(ProgramFolder(), name); }

std::vector<std::string> Reference(const std::string& program, DWORD exitCode) {
  RunTraced(program, {}, exitCode);
  return Escaped(RunTraced(program, {}, exitCode).strings);
}

DWORD WINAPI ReadPipe(void* parameter) {
  PipeReader* reader = static_cast<PipeReader*>(parameter);
  char chunk[65536];
  DWORD read = 0;
  while (ReadFile(reader->pipe, chunk, sizeof(chunk), &read, NULL) && read > 0) {
    reader->output.append(chunk, read);
  }
  return 0;
}

}  // namespace e2e
