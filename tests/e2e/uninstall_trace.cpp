#include "tests/e2e/uninstall_trace.h"

#include <stdio.h>

namespace e2e {

const char kVeskotTag[] = "..Veskot - Zenor";

namespace {
std::string Decimal(long value) {
  char text[24];
  snprintf(text, sizeof(text), "%ld", value);
  return text;
}
}  // namespace

void Append(Messages* to, const Messages& messages) {
  to->insert(to->end(), messages.begin(), messages.end());
}

namespace device_lines {
Messages Entries(const std::vector<std::string>& hardwareIds) {
  Messages lines = {"Lumora_log0"};
  for (const std::string& id : hardwareIds) {
    Append(&lines, {"enter for loop\n", id, "\n"});
  }
  return lines;
}

Messages InfDeleted(const std::string& fullPath) {
  return {"Delete file in PkgQuickDel\n", "File full path: " + fullPath + "\n"};
}

Messages CompositeParent() { return {"Find composite device\n"}; }

Messages DriverKeyMissing(DWORD error) {
  char text[64];
  snprintf(text, sizeof(text), "Open Registry failed, Error code: 0x%8lx\n",
           static_cast<unsigned long>(error));
  return {text};
}

Messages InfPathMissing(LONG status) {
  char text[32];
  snprintf(text, sizeof(text), "Error code: 0x%lx\n", static_cast<unsigned long>(status));
  return {"RegQueryValueEx for 'InfPath' failed!\n", text};
}

Messages InfPathNotBare(const std::string& value) {
  return {"InfPath is not a bare file name, nothing deleted: [" + value + "]\n"};
}

Messages RemoveFailed() { return {"Remove failed!\n"}; }
}  // namespace device_lines

namespace search_lines {
Messages Matched(const std::string& fullPath, const std::string& lineText) {
  return {"---Find file contain our HWID---\n", "File full name: " + fullPath + "\n",
          "Device context: " + lineText + "\n"};
}

Messages NotAnInf(const std::string& fullPath) {
  return {"INVALID_HANDLE_VALUE, line: 211", "pFileName: " + fullPath};
}
}  // namespace search_lines

namespace folder_lines {
Messages Searched(const std::string& folder) {
  return {"Get file name 32 bit: [" + folder + "\\*.*], line: 1014"};
}

Messages NotFound(const std::string& folder) {
  return {"Get file name 32 bit: [" + folder + "\\*.*], line: 1014",
          "Find first file failed, Path[" + folder + "\\*.*], line: 1019"};
}

Messages RetriedAfterLookup(const std::string& fullPath, const std::string& processName) {
  return {"Delete file failed, try late, file: [" + fullPath + "], line: 1054", "Buf: " + processName};
}

Messages StillUndeletable(const std::string& fullPath) {
  return {"Delete file failed, file: [" + fullPath + "], line: 1074"};
}

Messages PathTooLong(const std::string& fullPath) {
  return {"Path too long, passed over: [" + fullPath + "]\n"};
}
}  // namespace folder_lines

UninstallTrace& UninstallTrace::Opening(const std::vector<std::string>& scanResults) {
  Append(&messages_, {"Uninstall Device\n", "Start set vista right, line: 1234"});
  for (const std::string& result : scanResults) {
    messages_.push_back("compare driver version!line:1296,pResult is " + result);
  }
  if (!scanResults.empty() && scanResults.back().find("showmessage") == 0) {
    messages_.push_back("===========bShow is TRUE======, line: 1300\n");
  }
  return *this;
}

UninstallTrace& UninstallTrace::SystemInfo(DWORD major, DWORD minor, const char* classLine) {
  messages_.push_back("Start PkgGetSysInfo, line: 1314");
  messages_.push_back("OS  version:MajorVersion= " + Decimal(static_cast<long>(major)) +
                      ",MinorVersion= " + Decimal(static_cast<long>(minor)) + "\n");
  if (classLine != NULL) {
    messages_.push_back(classLine);
  }
  messages_.push_back("Over PkgGetSysInfo, line: 1316");
  return *this;
}

UninstallTrace& UninstallTrace::Uninstaller64(const std::string& fullName) {
  Append(&messages_,
         {"Start uninstall 64bit driver, line: 1322", "Uninstall full name: [" + fullName + "], line: 1338"});
  return *this;
}

UninstallTrace& UninstallTrace::Add(const Messages& messages) {
  Append(&messages_, messages);
  return *this;
}

UninstallTrace& UninstallTrace::SearchStarts() { return Add({"Need search..\n"}); }

UninstallTrace& UninstallTrace::KeysStart() {
  return Add({"===============>>>>>32bit Veskot::Start RegOpenKeyEx<<<<<==============\n"});
}

UninstallTrace& UninstallTrace::UninstallKeyDeletion() {
  return Add({"===============>>>>>32bit Veskot::Start RegDeleteKey <<<<<==============\n"});
}

UninstallTrace& UninstallTrace::KeyDeletionFailed(LONG status) {
  return Add({"Dlete key fail!errorvalue is :" + Decimal(status)});
}

UninstallTrace& UninstallTrace::Prompt(int line) {
  return Add({"=============Start present a prompt: " + Decimal(line) + "\n====="});
}

UninstallTrace& UninstallTrace::ProductFolder(const Messages& deletion) {
  Add({"==============Start PkgDeleteFile pDir, line: 1467"});
  Add(deletion);
  return Add({"===============Over PkgDeleteFile pDir, line: 1469"});
}

UninstallTrace& UninstallTrace::TempFolder(const Messages& deletion) {
  Add({"============Start PkgDeleteFile pTempDir, line: 1471"});
  Add(deletion);
  return Add({"===========Over PkgDeleteFile pTempDir, line: 1473"});
}

std::vector<std::string> UninstallTrace::DebugStrings() const {
  std::vector<std::string> strings;
  for (const std::string& message : messages_) {
    strings.push_back(kVeskotTag);
    strings.push_back(message);
  }
  return strings;
}

}  // namespace e2e
