// Each message Veskot.exe sends after its trace tag, exactly as it sends
// it, line numbers filled in; a message that carries a value is a small
// function of it. The classification lines are in windows_releases.h.
#ifndef KIT_TESTS_KIT_FACTS_VESKOT_MESSAGES_H
#define KIT_TESTS_KIT_FACTS_VESKOT_MESSAGES_H

#include <string>

#include "tests/kit_facts/shared_messages.h"

namespace veskot {

inline constexpr char kTag[] = "..Veskot - Zenor";

// The start, the compatibility-layer record and the argument scan.
inline constexpr char kUninstallDevice[] = "Uninstall Device\n";
inline constexpr char kStartSetVistaRight[] = "Start set vista right, line: 1234";
using kit::LayersKeyAnswer;
using kit::OpenLayersFailed;
using kit::SetLayerFailed;
// Transf2Path was handed no buffer.
inline constexpr char kTransf2PathNull[] = "Transf2Path is null, line: 1110";
// One argument looked at for "showmessage": what strstr found, or
// kit::kNullShown; then, when found, the prompt is asked for.
inline std::string ArgumentScan(const std::string& found) {
  return "compare driver version!line:1296,pResult is " + found;
}
inline constexpr char kShowIsTrue[] = "===========bShow is TRUE======, line: 1300\n";

// The classification of Windows.
inline constexpr char kStartPkgGetSysInfo[] = "Start PkgGetSysInfo, line: 1314";
inline constexpr char kCannotGetVersion[] = "Can't get system version, line: 1133\n";
using kit::OsVersion;
inline constexpr char kOverPkgGetSysInfo[] = "Over PkgGetSysInfo, line: 1316";

// On 64-bit Windows: the 64-bit uninstaller beside this one.
inline constexpr char kStartUninstall64[] = "Start uninstall 64bit driver, line: 1322";
inline constexpr char kNoOwnFolderBuffer[] = "Malloc failed, line: 1326";
inline constexpr char kNoUninstaller64Buffer[] = "Malloc failed, line: 1334";
inline std::string Uninstaller64(const std::string& path) {
  return "Uninstall full name: [" + path + "], line: 1338";
}

// A path that would not fit in MAX_PATH, whichever step builds it: the
// 64-bit uninstaller's, an INF file's in the INF directory, a folder's
// search pattern or an entry in it.
inline std::string PathTooLong(const std::string& path) {
  return "Path too long, passed over: [" + path + "]\n";
}

// The device step: each instance with hardware ids, each id up to the
// first that names the handset.
inline constexpr char kInstance[] = "Lumora_log0";
inline constexpr char kEnterForLoop[] = "enter for loop\n";
// After the hardware id itself, sent as it is.
inline constexpr char kEndOfId[] = "\n";
inline std::string OpenDriverKeyFailed(unsigned int lastError) {
  return "Open Registry failed, Error code: 0x" + kit::Hex(lastError, 8) + "\n";
}
inline constexpr char kNoInfNameBuffer[] = "LocalAlloc for 'pInfName' failed!\n";
inline constexpr char kNoInfPath[] = "RegQueryValueEx for 'InfPath' failed!\n";
inline std::string ErrorCode(unsigned int status) { return "Error code: 0x" + kit::Hex(status) + "\n"; }
// The instance's INF is Windows' own usb.inf or usbstor.inf.
inline constexpr char kCompositeDevice[] = "Find composite device\n";
inline std::string NotABareFileName(const std::string& infPath) {
  return "InfPath is not a bare file name, nothing deleted: [" + infPath + "]\n";
}
inline constexpr char kNoFilePathBuffer[] = "Malloc buffer for pFilePath failed\n";
inline constexpr char kNoFullPathBuffer[] = "Malloc failed\n";
inline constexpr char kNoWindowsDirectory[] = "Get current path failed!\n";
inline std::string NotNamingHandset(const std::string& path) {
  return "INF file does not name the handset, nothing deleted: [" + path + "]\n";
}
inline constexpr char kDeleteInPkgQuickDel[] = "Delete file in PkgQuickDel\n";
inline std::string FileFullPath(const std::string& path) { return "File full path: " + path + "\n"; }
inline constexpr char kRemoveFailed[] = "Remove failed!\n";

// The search of the INF directory, when the device step did not delete
// exactly two INF files.
inline constexpr char kNeedSearch[] = "Need search..\n";
inline constexpr char kNoWindowsDirBuffer[] = "Malloc failed, line: 361\n";
inline constexpr char kNoPatternBuffer[] = "Malloc failed, line: 367\n";
inline constexpr char kNoFileNameBuffer[] = "Malloc failed, line: 373\n";
inline constexpr char kNoFileList[] = "Get file list failed, line: 384\n";
inline constexpr char kNotAnInf[] = "INVALID_HANDLE_VALUE, line: 211";
inline std::string NotAnInfName(const std::string& path) { return "pFileName: " + path; }
inline constexpr char kFoundHandsetInf[] = "---Find file contain our HWID---\n";
inline std::string FileFullName(const std::string& path) { return "File full name: " + path + "\n"; }
inline std::string DeviceContext(const std::string& lineText) { return "Device context: " + lineText + "\n"; }

// The buffers of the folder paths.
inline constexpr char kNoSystemDirBuffer[] = "Malloc failed, line: 1373";
inline constexpr char kNoProductDirBuffer[] = "Malloc failed, line: 1379";
inline constexpr char kNoTempDirBuffer[] = "Malloc failed, line: 1386";

// The keys, and the prompt after them: line 1427 when the Uninstall key
// was deleted, 1440 when it was not there.
inline constexpr char kStartRegOpenKeyEx[] =
    "===============>>>>>32bit Veskot::Start RegOpenKeyEx<<<<<==============\n";
inline constexpr char kStartRegDeleteKey[] =
    "===============>>>>>32bit Veskot::Start RegDeleteKey <<<<<==============\n";
inline std::string DeleteKeyFailed(int status) {
  return "Dlete key fail!errorvalue is :" + std::to_string(status);
}
inline constexpr char kPromptAfterDeletion[] = "=============Start present a prompt: 1427\n=====";
inline constexpr char kPromptWithoutKey[] = "=============Start present a prompt: 1440\n=====";

// The product folder, then the temporary folder.
inline constexpr char kStartProductFolder[] = "==============Start PkgDeleteFile pDir, line: 1467";
inline constexpr char kOverProductFolder[] = "===============Over PkgDeleteFile pDir, line: 1469";
inline constexpr char kStartTempFolder[] = "============Start PkgDeleteFile pTempDir, line: 1471";
inline constexpr char kOverTempFolder[] = "===========Over PkgDeleteFile pTempDir, line: 1473";

// The deletion of a folder: each folder searched (`folder` without a
// trailing backslash; the pattern is `folder`\*.*), and a file that
// resists: the try after its holder, named by the file's name, was ended.
inline std::string SearchFolder(const std::string& folder) {
  return "Get file name 32 bit: [" + folder + "\\*.*], line: 1014";
}
inline std::string FindFirstFailed(const std::string& folder) {
  return "Find first file failed, Path[" + folder + "\\*.*], line: 1019";
}
inline constexpr char kNoFolderBuffer[] = "Malloc failed, line: 1003";
inline std::string FolderIsLink(const std::string& folder) {
  return "Folder is a link, removed and not entered: [" + folder + "]\n";
}
inline std::string DeleteFailedTryLater(const std::string& path) {
  return "Delete file failed, try late, file: [" + path + "], line: 1054";
}
inline std::string HolderName(const std::string& fileName) { return "Buf: " + fileName; }
inline constexpr char kCannotOpenHolder[] = "Cannot open process, line: 1066";
inline std::string DeleteFailed(const std::string& path) {
  return "Delete file failed, file: [" + path + "], line: 1074";
}
// Transf2FileName was handed no buffer or no path.
inline constexpr char kTransf2FileNameNull[] = "Transf2Path is null, line: 971";

}  // namespace veskot

#endif
