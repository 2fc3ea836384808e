#include "tests/wine/listener.h"

#include <stdlib.h>

#include "tests/kit_facts/names.h"
#include "tests/wine/files.h"
#include "tests/wine/prefix.h"

namespace wine {

namespace {
bool ReadNumber(const std::string& text, unsigned long* value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  *value = strtoul(text.c_str(), NULL, 10);
  return true;
}
}  // namespace

std::vector<std::string> SplitLines(const std::string& output) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) {
      end = output.size();
    }
    std::string line = output.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

::testing::AssertionResult ParseListenLines(const std::string& output, std::vector<ListenLine>* lines,
                                            std::vector<std::string>* headers) {
  lines->clear();
  for (const std::string& line : SplitLines(output)) {
    if (headers != nullptr && line.compare(0, 1, "#") == 0) {
      headers->push_back(line);
      continue;
    }
    const size_t first = line.find('\t');
    const size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
    const size_t third = second == std::string::npos ? second : line.find('\t', second + 1);
    ListenLine parsed;
    if (third == std::string::npos || !ReadNumber(line.substr(0, first), &parsed.time) ||
        !ReadNumber(line.substr(first + 1, second - first - 1), &parsed.pid)) {
      return ::testing::AssertionFailure() << "not a line of listen mode: [" << line << "]";
    }
    parsed.name = line.substr(second + 1, third - second - 1);
    parsed.text = line.substr(third + 1);
    lines->push_back(parsed);
  }
  return ::testing::AssertionSuccess();
}

std::vector<ListenLine> LinesOf(const std::vector<ListenLine>& lines, const std::string& name) {
  std::vector<ListenLine> of;
  for (const ListenLine& line : lines) {
    if (line.name == name) {
      of.push_back(line);
    }
  }
  return of;
}

std::vector<std::string> TextsOf(const std::vector<ListenLine>& lines) {
  std::vector<std::string> texts;
  for (const ListenLine& line : lines) {
    texts.push_back(line.text);
  }
  return texts;
}

std::vector<std::string> TextsOf(const std::vector<ListenLine>& lines, const std::string& name) {
  return TextsOf(LinesOf(lines, name));
}

::testing::AssertionResult Listener::Start(const std::vector<std::string>& options, HANDLE output) {
  if (SomeoneListens()) {
    return ::testing::AssertionFailure() << "another listener is there already";
  }
  std::string commandLine = Quote(TracecapPath()) + " --listen";
  for (const std::string& option : options) {
    commandLine += " " + option;
  }
  const ::testing::AssertionResult started =
      run_.Start(commandLine, ScratchFile("listener.txt"), true, output);
  if (!started) {
    return started;
  }
  for (int tries = 0; tries < 200; ++tries) {
    if (SomeoneListens()) {
      return ::testing::AssertionSuccess();
    }
    DWORD exitCode = 0;
    if (run_.Wait(0, &exitCode)) {
      return ::testing::AssertionFailure() << "tracecap ended with " << exitCode << ": " << run_.Errors();
    }
    Sleep(50);
  }
  return ::testing::AssertionFailure() << "tracecap did not start listening";
}

::testing::AssertionResult Listener::Stop(DWORD expectedExitCode) {
  Started interrupt;
  DWORD exitCode = 0;
  const ::testing::AssertionResult pressed = interrupt.Start(
      Quote(WriterPath()) + " interrupt " + std::to_string(run_.Pid()), ScratchFile("interrupt.txt"));
  if (!pressed) {
    return pressed;
  }
  if (!interrupt.Wait(10000, &exitCode) || exitCode != 0) {
    return ::testing::AssertionFailure() << "Ctrl+C could not be pressed: " << interrupt.Errors();
  }
  if (!run_.Wait(30000, &exitCode)) {
    return ::testing::AssertionFailure() << "tracecap did not end after Ctrl+C";
  }
  if (exitCode != expectedExitCode) {
    return ::testing::AssertionFailure() << "tracecap ended with " << exitCode << ": " << run_.Errors();
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Listener::Lines(std::vector<ListenLine>* lines) const {
  return ParseListenLines(Output(), lines);
}

::testing::AssertionResult RunListened(const std::string& commandLine, DWORD* exitCode,
                                       std::vector<ListenLine>* lines) {
  Listener listener;
  ::testing::AssertionResult result = listener.Start();
  if (!result) {
    return result;
  }
  Started run;
  result = run.Start(commandLine, ScratchFile("setup_run.txt"));
  if (result) {
    result = run.Wait(180000, exitCode);
  }
  const ::testing::AssertionResult stopped = listener.Stop();
  if (!result) {
    return result;
  }
  if (!stopped) {
    return stopped;
  }
  return listener.Lines(lines);
}

bool SomeoneListens() {
  HANDLE dataReady = OpenEventA(SYNCHRONIZE, FALSE, "DBWIN_DATA_READY");
  if (dataReady == NULL) {
    return false;
  }
  CloseHandle(dataReady);
  return true;
}

std::string TracecapPath() { return JoinPath(ProgramFolder(), kit::kTracecapExe); }

std::string WriterPath() { return JoinPath(ProgramFolder(), "e2e_dbwin_writer.exe"); }

}  // namespace wine
