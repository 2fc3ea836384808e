#include "tests/e2e/expected_trace.h"

#include <stdio.h>

namespace e2e {

const char kQuorlinTag[] = "..Quorlin32 - Zenor";

// Wine's user32 wsprintfA writes "(null)" where Windows' would read the
// missing string; the scan line of an argument without "interactive" shows
// it.
const char kNullText[] = "(null)";

namespace {
std::string Hex(DWORD value) {
  char text[16];
  snprintf(text, sizeof(text), "%lx", static_cast<unsigned long>(value));
  return text;
}

std::string Decimal(long value) {
  char text[24];
  snprintf(text, sizeof(text), "%ld", value);
  return text;
}
}  // namespace

ExpectedTrace& ExpectedTrace::Add(const std::string& message) {
  messages_.push_back(message);
  return *this;
}

ExpectedTrace& ExpectedTrace::Opening(int argc, DWORD major, DWORD minor) {
  Add("Start set vista right, line: 1569");
  Add("Setup Device\n");
  Add("argc = [" + Decimal(argc) + "]\n");
  Add("OS  version:MajorVersion= " + Decimal(static_cast<long>(major)) +
      ",MinorVersion= " + Decimal(static_cast<long>(minor)) + "\n");
  return Add("Start close autorun, line: 445");
}

ExpectedTrace& ExpectedTrace::AutorunClosed() { return Add("Close autorun, line: 463"); }

ExpectedTrace& ExpectedTrace::AutorunNotFound() { return Add("Canot find autorun, line: 467"); }

ExpectedTrace& ExpectedTrace::ArgumentScan(const std::vector<std::string>& results) {
  for (const std::string& result : results) {
    Add("compare driver version!line:1675,pResult is " + result);
  }
  return Add("RegOpenKeyEx Operation .as follow:line:1694");
}

ExpectedTrace& ExpectedTrace::ProductKeyAbsent(DWORD lastError) {
  Add("Open registry for set driver ver failed, error code 0x:" + Hex(lastError));
  Add("dwErrorCode: [" + Decimal(ERROR_FILE_NOT_FOUND) + "], hDriverVer: [0]");
  Add("Start comparel driver vertion\n");
  return Add("You had not install driver");
}

ExpectedTrace& ExpectedTrace::VersionValueAbsent(DWORD lastError) {
  Add("RegOpenKeyEx Operation success.as follow RegQueryValueEx:line:1708");
  Add("RegQueryValue failed, error code 0x:" + Hex(lastError));
  Add("RegQueryValueEx Operation success.as follow :line:1719,pValue is ");
  Add("Start comparel driver vertion\n");
  return Add("You had not install driver");
}

ExpectedTrace& ExpectedTrace::VersionRecorded(const std::string& version) {
  Add("RegOpenKeyEx Operation success.as follow RegQueryValueEx:line:1708");
  Add("RegQueryValueEx Operation success.as follow :line:1719,pValue is " + version);
  Add("Start comparel driver vertion\n");
  if (version.empty()) {
    Add("You had not install driver");
  }
  return *this;
}

ExpectedTrace& ExpectedTrace::SystemPath(const std::string& systemDirectory) {
  Add("System path: " + systemDirectory);
  return Add("Lumlog1\n");
}

ExpectedTrace& ExpectedTrace::Classified(const std::string& line) { return Add(line); }

ExpectedTrace& ExpectedTrace::Staged(const std::string& fullName, DWORD failure) {
  Add("\r\n =====>>>  Enter PkgCopyInf");
  Add("Full name: " + fullName + "\n");
  if (failure != 0) {
    Add("SetupCopyOEMInf failed, error code: 0x" + Hex(failure) + "\n");
  }
  return Add("\r\n =====>>>   PkgCopyInf Successful");
}

std::vector<std::string> ExpectedTrace::DebugStrings() const {
  std::vector<std::string> strings;
  for (const std::string& message : messages_) {
    strings.push_back(kQuorlinTag);
    strings.push_back(message);
  }
  return strings;
}

}  // namespace e2e
