#include "tools/tracecap/debug_capture.h"

#include "tools/tracecap/debug_loop.h"
#include "tools/tracecap/line_format.h"

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
