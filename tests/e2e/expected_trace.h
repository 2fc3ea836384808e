// The installer's debugger output as a test expects it, built step by step
// in the order the installer reports.
#ifndef KIT_TESTS_E2E_EXPECTED_TRACE_H
#define KIT_TESTS_E2E_EXPECTED_TRACE_H

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The tag that goes out before every message of the installer.
extern const char kQuorlinTag[];

// What Wine's wsprintfA prints for "%s" with a null pointer.
extern const char kNullText[];

// The installer's messages, without the tags, in order.
class ExpectedTrace {
 public:
  // The compatibility record, the argument count and the Windows version.
  ExpectedTrace& Opening(int argc, DWORD major, DWORD minor);
  ExpectedTrace& AutorunClosed();
  ExpectedTrace& AutorunNotFound();
  // One line per scanned argument, each with the text the search for
  // "interactive" gave (kNullText for no match).
  ExpectedTrace& ArgumentScan(const std::vector<std::string>& results);
  // The product key does not open; `lastError` is the thread's last error
  // value the installer reports with it.
  ExpectedTrace& ProductKeyAbsent(DWORD lastError);
  // The product key opens but holds no "version" value.
  ExpectedTrace& VersionValueAbsent(DWORD lastError);
  // The "version" value reads as `version`; an empty text counts as no
  // driver installed.
  ExpectedTrace& VersionRecorded(const std::string& version);
  ExpectedTrace& SystemPath(const std::string& systemDirectory);
  ExpectedTrace& Classified(const std::string& line);
  // One staging step; `failure` is the error code Windows refused the file
  // with, or 0 when the copy was taken.
  ExpectedTrace& Staged(const std::string& fullName, DWORD failure = 0);

  // Every debug string of the run: the tag before each message.
  std::vector<std::string> DebugStrings() const;

 private:
  ExpectedTrace& Add(const std::string& message);
  std::vector<std::string> messages_;
};

}  // namespace e2e

#endif
