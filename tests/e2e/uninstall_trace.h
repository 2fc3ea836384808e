// The uninstaller's debugger output as a test expects it, built step by
// step in the order the uninstaller reports. The parts that depend on what
// the machine holds (device instances, the INF store, the folders) are
// handed in as message lists by the test.
#ifndef KIT_TESTS_E2E_UNINSTALL_TRACE_H
#define KIT_TESTS_E2E_UNINSTALL_TRACE_H

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The tag that goes out before every message of the uninstaller.
extern const char kVeskotTag[];

// The prompt's line numbers: after the Uninstall key was deleted, and when
// there was none.
const int kPromptAfterDeletedKey = 1427;
const int kPromptWithoutKey = 1440;

using Messages = std::vector<std::string>;

void Append(Messages* to, const Messages& messages);

// Messages of the device step for one instance.
namespace device_lines {
// "Lumora_log0" and the hardware-id entries as the walk traces them.
Messages Entries(const std::vector<std::string>& hardwareIds);
Messages InfDeleted(const std::string& fullPath);
Messages CompositeParent();
Messages DriverKeyMissing(DWORD error);
Messages InfPathMissing(LONG status);
Messages InfPathNotBare(const std::string& value);
Messages RemoveFailed();
}  // namespace device_lines

// Messages of the INF store search for one file.
namespace search_lines {
Messages Matched(const std::string& fullPath, const std::string& lineText);
Messages NotAnInf(const std::string& fullPath);
}  // namespace search_lines

// Messages of the folder deletion.
namespace folder_lines {
Messages Searched(const std::string& folder);
Messages NotFound(const std::string& folder);
// A file whose first deletion failed; `processName` is the name looked up
// among the running processes.
Messages RetriedAfterLookup(const std::string& fullPath, const std::string& processName);
Messages StillUndeletable(const std::string& fullPath);
Messages PathTooLong(const std::string& fullPath);
}  // namespace folder_lines

// The uninstaller's messages, without the tags, in order.
class UninstallTrace {
 public:
  // "Uninstall Device", the compatibility record and one line per scanned
  // argument, each with the text the search for "showmessage" gave
  // (kNullText for no match); the switch line follows a match.
  UninstallTrace& Opening(const std::vector<std::string>& scanResults);
  // The Windows version and the classification line (none for a release
  // outside the table).
  UninstallTrace& SystemInfo(DWORD major, DWORD minor, const char* classLine);
  // The 64-bit branch, which only reports where the 64-bit uninstaller
  // would be.
  UninstallTrace& Uninstaller64(const std::string& fullName);
  UninstallTrace& Add(const Messages& messages);
  UninstallTrace& SearchStarts();
  UninstallTrace& KeysStart();
  UninstallTrace& UninstallKeyDeletion();
  UninstallTrace& KeyDeletionFailed(LONG status);
  UninstallTrace& Prompt(int line);
  UninstallTrace& ProductFolder(const Messages& deletion);
  UninstallTrace& TempFolder(const Messages& deletion);

  // Every debug string of the run: the tag before each message.
  std::vector<std::string> DebugStrings() const;

 private:
  Messages messages_;
};

}  // namespace e2e

#endif
