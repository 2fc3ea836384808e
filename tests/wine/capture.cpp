#include "tests/wine/capture.h"

#include "tests/wine/programs.h"
#include "tools/tracecap/debug_loop.h"
#include "tools/tracecap/line_format.h"

namespace wine {

namespace {
// Keeps the strings of the started program; the kit's programs start no
// others.
void Collect(DebugNews news, DWORD, bool started, const char*, const char* text, size_t length,
             void* context) {
  if (news == kDebugString && started) {
    static_cast<std::vector<std::string>*>(context)->emplace_back(text, length);
  }
}
}  // namespace

CaptureResult CaptureDebugOutput(const std::string& commandLine) {
  CaptureResult result;
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  result.started =
      RunUnderDebugger(line.data(), Collect, &result.strings, &result.exitCode, &result.startError) != FALSE;
  return result;
}

std::string EscapeDebugString(const std::string& text) {
  std::string out(EscapedLength(text.size()) + 1, '\0');
  out.resize(EscapeDebugBytes(text.data(), text.size(), &out[0]));
  return out;
}

std::vector<std::string> Escaped(const std::vector<std::string>& strings) {
  std::vector<std::string> escaped;
  for (const std::string& text : strings) {
    escaped.push_back(EscapeDebugString(text));
  }
  return escaped;
}

CaptureResult RunTraced(const std::string& path, const std::vector<std::string>& arguments,
                        DWORD expectedExitCode) {
  std::string commandLine = Quote(path);
  for (const std::string& argument : arguments) {
    commandLine += " " + argument;
  }
  CaptureResult result = CaptureDebugOutput(commandLine);
  EXPECT_TRUE(result.started) << "cannot start " << commandLine << ": error " << result.startError;
  EXPECT_EQ(result.exitCode, expectedExitCode);
  return result;
}

::testing::AssertionResult SameDebugStrings(const std::vector<std::string>& expected,
                                            const std::vector<std::string>& actual) {
  if (expected == actual) {
    return ::testing::AssertionSuccess();
  }
  size_t first = 0;
  while (first < expected.size() && first < actual.size() && expected[first] == actual[first]) {
    ++first;
  }
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << "debug strings differ from #" << first << " on (" << expected.size() << " expected, "
          << actual.size() << " captured)\n";
  const size_t rows = expected.size() > actual.size() ? expected.size() : actual.size();
  for (size_t i = 0; i < rows; ++i) {
    const std::string want = i < expected.size() ? EscapeDebugString(expected[i]) : "<none>";
    const std::string got = i < actual.size() ? EscapeDebugString(actual[i]) : "<none>";
    failure << (i == first ? ">" : " ") << " #" << i << "  expected: " << want << "\n";
    if (want != got) {
      failure << "       captured: " << got << "\n";
    }
  }
  return failure;
}

}  // namespace wine
