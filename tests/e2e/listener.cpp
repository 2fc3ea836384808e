#include "tests/e2e/listener.h"

#include <stdlib.h>

#include "tests/e2e/machine.h"

namespace e2e {

namespace {
HANDLE CreateInheritable(const std::string& path) {
  SECURITY_ATTRIBUTES security = {sizeof(security), NULL, TRUE};
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
}

std::string ContentOf(const std::string& path) {
  std::string content;
  const ::testing::AssertionResult read = ReadWholeFile(path, &content);
  return read ? content : std::string("<") + read.message() + ">";
}

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

Started::~Started() {
  if (process_ != NULL) {
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_, 99);
      WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
  }
}

::testing::AssertionResult Started::Start(const std::string& commandLine, const std::string& outputFile,
                                          bool console, HANDLE output) {
  outputFile_ = outputFile;
  HANDLE out = output != NULL ? output : CreateInheritable(outputFile);
  HANDLE errors = CreateInheritable(outputFile + ".err");
  if (out == INVALID_HANDLE_VALUE || errors == INVALID_HANDLE_VALUE) {
    return ::testing::AssertionFailure() << "cannot create " << outputFile;
  }
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = NULL;
  startup.hStdOutput = out;
  startup.hStdError = errors;
  PROCESS_INFORMATION info;
  std::string line = commandLine;
  const BOOL started = CreateProcessA(NULL, &line[0], NULL, NULL, TRUE, console ? CREATE_NEW_CONSOLE : 0,
                                      NULL, NULL, &startup, &info);
  const DWORD error = GetLastError();
  if (output == NULL) {
    CloseHandle(out);
  }
  CloseHandle(errors);
  if (!started) {
    return ::testing::AssertionFailure() << "cannot start " << commandLine << ": error " << error;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Started::Wait(DWORD milliseconds, DWORD* exitCode) {
  if (WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) {
    return ::testing::AssertionFailure()
           << "process " << pid_ << " did not end within " << milliseconds << " ms";
  }
  GetExitCodeProcess(process_, exitCode);
  return ::testing::AssertionSuccess();
}

std::string Started::Output() const { return ContentOf(outputFile_); }

std::string Started::Errors() const { return ContentOf(outputFile_ + ".err"); }

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

bool SomeoneListens() {
  HANDLE dataReady = OpenEventA(SYNCHRONIZE, FALSE, "DBWIN_DATA_READY");
  if (dataReady == NULL) {
    return false;
  }
  CloseHandle(dataReady);
  return true;
}

std::string TracecapPath() { return JoinPath(ProgramFolder(), "tracecap.exe"); }

std::string WriterPath() { return JoinPath(ProgramFolder(), "e2e_dbwin_writer.exe"); }

std::string ScratchFile(const std::string& name) {
  const std::string folder = JoinPath(ProgramFolder(), "e2e_scratch");
  CreateDirectoryA(folder.c_str(), NULL);
  return JoinPath(folder, name);
}

}  // namespace e2e
