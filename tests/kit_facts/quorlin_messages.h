// Each message Quorlin.exe sends after its trace tag, exactly as it sends
// it, line numbers filled in; a message that carries a value is a small
// function of it. The classification lines are in windows_releases.h.
#ifndef KIT_TESTS_KIT_FACTS_QUORLIN_MESSAGES_H
#define KIT_TESTS_KIT_FACTS_QUORLIN_MESSAGES_H

#include <string>

#include "tests/kit_facts/shared_messages.h"

namespace quorlin {

inline constexpr char kTag[] = "..Quorlin32 - Zenor";

// The compatibility-layer record, first of all.
inline constexpr char kStartSetVistaRight[] = "Start set vista right, line: 1569";
using kit::LayersKeyAnswer;
using kit::OpenLayersFailed;
using kit::SetLayerFailed;
// Transf2Path was handed no buffer.
inline constexpr char kTransf2PathNull[] = "Transf2Path is null, line: 348";

// The start: the argument count and the Windows version.
inline constexpr char kSetupDevice[] = "Setup Device\n";
inline std::string ArgumentCount(int argc) { return "argc = [" + std::to_string(argc) + "]\n"; }
inline constexpr char kCannotGetVersion[] = "Can't get system version\n";
using kit::OsVersion;

// The handset's "autorun" program is ended.
inline constexpr char kStartCloseAutorun[] = "Start close autorun, line: 445";
inline constexpr char kNoAutorun[] = "Canot find autorun, line: 467";
inline constexpr char kCannotOpenAutorun[] = "Cannot open process, line: 457";
inline constexpr char kCloseAutorun[] = "Close autorun, line: 463";

// One argument looked at for "interactive": what strstr found, or
// kit::kNullShown.
inline std::string ArgumentScan(const std::string& found) {
  return "compare driver version!line:1675,pResult is " + found;
}

// The stored version under the product key, only reported.
inline constexpr char kOpenProductKey[] = "RegOpenKeyEx Operation .as follow:line:1694";
inline std::string OpenProductKeyFailed(unsigned int lastError) {
  return "Open registry for set driver ver failed, error code 0x:" + kit::Hex(lastError);
}
inline std::string ProductKeyAnswer(int status, unsigned int handle) {
  return "dwErrorCode: [" + std::to_string(status) + "], hDriverVer: [" + kit::Hex(handle) + "]";
}
inline constexpr char kProductKeyOpened[] =
    "RegOpenKeyEx Operation success.as follow RegQueryValueEx:line:1708";
inline std::string QueryVersionFailed(unsigned int lastError) {
  return "RegQueryValue failed, error code 0x:" + kit::Hex(lastError);
}
inline std::string StoredVersion(const std::string& value) {
  return "RegQueryValueEx Operation success.as follow :line:1719,pValue is " + value;
}
inline constexpr char kCompareVersion[] = "Start comparel driver vertion\n";
inline constexpr char kNoVersion[] = "You had not install driver";

// The system directory, whose drive holds the package.
// No buffer for the stored version (its check is passed over) or for the
// INF folder (the run ends).
inline constexpr char kMallocFailed[] = "Malloc failed!\n";
inline constexpr char kNoSystemDirBuffer[] = "Malloc for system dir failed!\n";
inline constexpr char kNoSystemDir[] = "Get system dir failed!\n";
inline std::string SystemPath(const std::string& directory) { return "System path: " + directory; }
inline constexpr char kLumlog1[] = "Lumlog1\n";

// One INF file of the package handed to Windows.
inline constexpr char kEnterPkgCopyInf[] = "\r\n =====>>>  Enter PkgCopyInf";
inline constexpr char kNoFullNameBuffer[] = "Malloc for pFullName failed!\n";
inline std::string FullName(const std::string& path) { return "Full name: " + path + "\n"; }
inline std::string CopyFailed(unsigned int lastError) {
  return "SetupCopyOEMInf failed, error code: 0x" + kit::Hex(lastError) + "\n";
}
inline constexpr char kPkgCopyInfSuccessful[] = "\r\n =====>>>   PkgCopyInf Successful";

}  // namespace quorlin

#endif
