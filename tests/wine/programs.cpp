#include "tests/wine/programs.h"

#include <tlhelp32.h>

#include "tests/wine/files.h"
#include "tests/wine/win32_failure.h"

namespace wine {

namespace {
// Whether a process with this id shows in a fresh process list under the
// given executable name.
bool ProcessListed(DWORD processId, const std::string& exeName) {
  const std::map<DWORD, std::string> processes = RunningProcesses();
  const auto found = processes.find(processId);
  return found != processes.end() && lstrcmpiA(found->second.c_str(), exeName.c_str()) == 0;
}

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
}  // namespace

std::string Quote(const std::string& argument) { return "\"" + argument + "\""; }

std::map<DWORD, std::string> RunningProcesses() {
  std::map<DWORD, std::string> processes;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return processes;
  }
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    processes[entry.th32ProcessID] = entry.szExeFile;
  }
  CloseHandle(snapshot);
  return processes;
}

DWORD WaitForProcess(const std::string& name, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    for (const auto& process : RunningProcesses()) {
      if (lstrcmpiA(process.second.c_str(), name.c_str()) == 0) {
        return process.first;
      }
    }
    Sleep(100);
  } while (GetTickCount() - start < milliseconds);
  return 0;
}

BackgroundProgram::~BackgroundProgram() { Stop(); }

::testing::AssertionResult BackgroundProgram::Start(const std::string& path, bool inheritHandles) {
  Stop();
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof(info));
  std::string commandLine = Quote(path);
  if (!CreateProcessA(path.c_str(), &commandLine[0], NULL, NULL, inheritHandles ? TRUE : FALSE, 0, NULL, NULL,
                      &startup, &info)) {
    return Win32Failure("starting " + path, GetLastError());
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
  const std::string exeName = FileNameOf(path);
  for (int tries = 0; tries < 200; ++tries) {
    if (ProcessListed(processId_, exeName)) {
      return ::testing::AssertionSuccess();
    }
    Sleep(50);
  }
  return ::testing::AssertionFailure() << path << " never showed in the process list";
}

bool BackgroundProgram::Running() {
  return process_ != NULL && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool BackgroundProgram::WaitForEnd(DWORD milliseconds, DWORD* exitCode) {
  if (process_ == NULL || WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) {
    return false;
  }
  return GetExitCodeProcess(process_, exitCode) != 0;
}

void BackgroundProgram::Stop() {
  if (process_ == NULL) {
    return;
  }
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 10000);
  }
  CloseHandle(process_);
  process_ = NULL;
  processId_ = 0;
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

::testing::AssertionResult RunToEnd(const std::string& commandLine, const std::string& outputName,
                                    DWORD* exitCode, Started* run) {
  const ::testing::AssertionResult started = run->Start(commandLine, ScratchFile(outputName));
  if (!started) {
    return started;
  }
  return run->Wait(120000, exitCode);
}

::testing::AssertionResult RunToEnd(const std::string& commandLine, DWORD* exitCode) {
  Started run;
  return RunToEnd(commandLine, "run.txt", exitCode, &run);
}

HeldOpenFile::~HeldOpenFile() { Close(); }

::testing::AssertionResult HeldOpenFile::Open(const std::string& path, bool inheritable) {
  Close();
  SECURITY_ATTRIBUTES security;
  ZeroMemory(&security, sizeof(security));
  security.nLength = sizeof(security);
  security.bInheritHandle = inheritable ? TRUE : FALSE;
  file_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, &security, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, NULL);
  if (file_ == INVALID_HANDLE_VALUE) {
    return Win32Failure("opening " + path, GetLastError());
  }
  return ::testing::AssertionSuccess();
}

void HeldOpenFile::Close() {
  if (file_ != INVALID_HANDLE_VALUE) {
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
  }
}

}  // namespace wine
