// The uninstaller's path builders, with paths of every length up to and
// past 259 characters and with no backslash:
// - Transf2Path (common/path_compat) in its 260-byte buffer, and
//   Transf2FileName (uninstaller/tree_deletion) on any string;
// - the INF path of the device removal (PkgQuickDel: the Windows directory,
//   "\inf\" and the driver key's InfPath);
// - the search pattern and file paths of the INF search (SearchInfDirectory);
// - the folder walk of PkgDeleteFile, and the held-file retry in it that
//   names the holder by Transf2FileName;
// - in a whole UninstallerMain run on 64-bit Windows, the path of the
//   64-bit uninstaller beside the program, the record of the program's own
//   path, and the product folders on the system drive.
// Checked: results are terminated and within their buffers (each a heap
// block of exactly its size), a path is built exactly when it fits in
// MAX_PATH and is then whole, never a cut name, and what is traced, opened
// and deleted is that path.
//
// Input: one byte of flags (bit 0: the file in the folder is held open by a
// program of its name, bit 1: the folder is given with a trailing
// backslash, bit 2: InfPath is stored without its terminator), then
// NUL-separated: the Windows directory (its first byte picks the drive),
// the program's path after "C:\", InfPath (any bytes), an INF file name,
// a folder after "C:\", a file name in it, and any bytes for Transf2Path
// and Transf2FileName.
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/path_cutter_checks.h"
#include "tests/host/simulated_paths.h"
#include "tests/kit_facts/letter_case.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/trace_channel.h"
#include "tests/kit_facts/veskot_messages.h"
#include "uninstaller/device_removal.h"
#include "uninstaller/inf_scan.h"
#include "uninstaller/tree_deletion.h"
#include "uninstaller/uninstaller_main.h"
#include "winsim/simulated_windows.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;

const char kHandsetInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%Mfg%=Orvane\r\n"
    "[Orvane]\r\n%Diag%=QcSer, "
    "USB\\VID_3A8D&PID_6C31&MI_01\r\n[Strings]\r\nMfg=\"Orvane\"\r\nDiag=\"Diag\"\r\n";

// The messages traced so far; each debugger string must be the tag and then one.
kit::Messages Messages() {
  kit::Messages messages;
  std::string problem;
  FUZZ_CHECK(kit::SplitTraced(winsim::machine().debugOutput, kTag, &messages, &problem), problem);
  return messages;
}

void ExpectMessages(const std::string& what, const std::vector<std::string>& expected) {
  const std::vector<std::string> messages = Messages();
  FUZZ_CHECK(messages == expected,
             what + " traced\n" + fuzz::Shown(messages) + "not\n" + fuzz::Shown(expected));
}

// The INF file of a handset instance: the Windows directory, "\inf\" and
// the driver key's InfPath, deleted only when the whole path fits.
void CheckInfOfInstance(const std::string& windowsDirectory, const std::string& value) {
  winsim::Reset();
  nDeletedInf = 0;
  winsim::Machine& m = winsim::machine();
  m.windowsDirectory = windowsDirectory;
  winsim::Device& device =
      m.AddDevice("USB\\VID_3A8D&PID_6C31\\1", winsim::MultiSz({"USB\\VID_3A8D&PID_6C31"}));
  device.driverKey = sim::DriverKey(kit::kUsbClass, "0001");
  m.SetValue(device.driverKey, kit::kInfPathValue, REG_SZ, value);
  // The name as the buffer of 260 zeroed bytes holds it.
  std::string buffer = value.size() <= MAX_PATH ? value : std::string();
  buffer.resize(MAX_PATH, '\0');
  const bool terminated = buffer.find('\0') != std::string::npos;
  const std::string name = std::string(buffer.c_str()).substr(0, MAX_PATH - 1);
  const std::string full = windowsDirectory + "\\inf\\" + name;
  m.AddFile(full, kHandsetInf);

  RemoveHandsetDevices();
  std::vector<std::string> expected = {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31", kEndOfId};
  bool deleted = false;
  if (value.size() > MAX_PATH) {
    expected.insert(expected.end(), {kNoInfPath, ErrorCode(ERROR_MORE_DATA)});
  } else if (terminated && (kit::SameLetters(name, "usb.inf") || kit::SameLetters(name, "usbstor.inf"))) {
    expected.push_back(kCompositeDevice);
  } else if (!terminated || name.empty() || name.find_first_of("\\/:") != std::string::npos ||
             name.find("..") != std::string::npos) {
    expected.push_back(kit::AsSent(NotABareFileName(name)));
  } else if (windowsDirectory.empty() || windowsDirectory.size() >= MAX_PATH) {
    expected.push_back(kNoWindowsDirectory);
  } else if (full.size() >= MAX_PATH) {
    expected.push_back(kit::AsSent(PathTooLong(full)));
  } else {
    expected.insert(expected.end(), {kDeleteInPkgQuickDel, FileFullPath(full)});
    deleted = true;
  }
  const std::string what =
      "The INF of an instance (\"" + fuzz::Shown(windowsDirectory) + "\", \"" + fuzz::Shown(value) + "\")";
  ExpectMessages(what, expected);
  FUZZ_CHECK(m.Exists(full) != deleted && nDeletedInf == (deleted ? 1u : 0u), what + ": wrong deletion");
  FUZZ_CHECK(m.FindDevice("USB\\VID_3A8D&PID_6C31\\1")->removed, what + ": the instance was not removed");
}

// The INF search: the pattern and each file's path are built only whole.
void CheckInfSearch(const std::string& windowsDirectory, const std::string& fileName) {
  winsim::Reset();
  winsim::Machine& m = winsim::machine();
  m.windowsDirectory = windowsDirectory;
  const std::string full = windowsDirectory + "\\inf\\" + fileName;
  m.AddFile(full, kHandsetInf);
  SearchInfDirectory();
  std::vector<std::string> expected;
  std::vector<std::string> opened;
  const size_t length =
      windowsDirectory.size() < MAX_PATH ? windowsDirectory.size() : windowsDirectory.size() + 1;
  if (length != 0 && length + strlen("\\inf\\*.inf") < MAX_PATH) {
    if (full.size() >= MAX_PATH) {
      expected.push_back(kit::AsSent(PathTooLong(full)));
    } else {
      expected = {kFoundHandsetInf, FileFullName(full), DeviceContext("QcSer,USB\\VID_3A8D&PID_6C31&MI_01")};
      opened.push_back(full);
    }
  }
  const std::string what = "The INF search for \"" + fuzz::Shown(full) + "\"";
  ExpectMessages(what, expected);
  FUZZ_CHECK(m.infOpenCalls == opened, what + " opened\n" + fuzz::Shown(m.infOpenCalls));
  FUZZ_CHECK(m.Exists(full) == opened.empty(), what + ": wrong deletion");
  FUZZ_CHECK(
      m.OpenHandles(winsim::Handle::Kind::kFind) == 0 && m.OpenHandles(winsim::Handle::Kind::kInf) == 0,
      what + " left a handle open");
}

// PkgDeleteFile on a folder with one file in it, which may be held open by
// the program it is, running from the folder.
void CheckFolder(const std::string& folder, bool trailingBackslash, const std::string& fileName, bool held) {
  winsim::Reset();
  winsim::Machine& m = winsim::machine();
  const std::string file = folder + "\\" + fileName;
  winsim::FileEntry& entry = m.AddFile(file, "x");
  if (held) {
    entry.heldBy = 500;
    m.AddProcess(500, fileName).imagePath = file;
  }
  const std::string argument = trailingBackslash ? folder + "\\" : folder;
  const fuzz::Block argumentBlock(argument);
  FUZZ_CHECK(PkgDeleteFile(argumentBlock.get()) == 1, "PkgDeleteFile did not return 1");

  const std::string separator = trailingBackslash ? "" : "\\";
  std::vector<std::string> expected;
  bool deleted = false;
  if (argument.size() + separator.size() + strlen("*.*") >= MAX_PATH) {
    expected.push_back(kit::AsSent(PathTooLong(argument)));
  } else {
    expected.push_back(SearchFolder(folder));
    const std::string built = argument + separator + fileName;
    if (built.size() >= MAX_PATH) {
      expected.push_back(kit::AsSent(PathTooLong(built)));
    } else {
      if (held) {
        expected.insert(expected.end(), {DeleteFailedTryLater(built), HolderName(fileName)});
      }
      deleted = true;
    }
  }
  const std::string what =
      "PkgDeleteFile(\"" + fuzz::Shown(argument) + "\") on \"" + fuzz::Shown(fileName) + "\"";
  ExpectMessages(what, expected);
  FUZZ_CHECK(m.Exists(file) != deleted && m.Exists(folder) != deleted, what + ": wrong deletion");
  if (held) {
    FUZZ_CHECK(m.FindProcess(500)->terminated == deleted, what + ": the holder was wrongly treated");
  }
  FUZZ_CHECK(m.OpenHandles(winsim::Handle::Kind::kFind) == 0, what + " left a find handle open");
}

// A whole run on 64-bit Windows 7: the 64-bit uninstaller's path beside
// the program, the record of the program's own path, and the product
// folders on the system drive (drive C when the system directory cannot be
// read).
void CheckRun(const std::string& modulePath, const std::string& windowsDirectory) {
  winsim::Reset();
  nDeletedInf = 0;
  winsim::Machine& m = winsim::machine();
  m.wow64 = winsim::Wow64::kAnswersTrue;
  m.modulePath = modulePath;
  m.windowsDirectory = windowsDirectory;
  m.systemDirectory = windowsDirectory + "\\system32";
  m.processes.front().exeFile = kit::kVeskotExe;
  std::string argument = modulePath;
  char* argv[] = {&argument[0], nullptr};
  FUZZ_CHECK(UninstallerMain(1, argv) == 0, "UninstallerMain did not return 0");

  const winsim::RegistryValue* layer = m.Value(sim::kLayersKey, modulePath);
  const auto key = m.keys.find(sim::kLayersKey);
  const size_t values = key == m.keys.end() ? 0 : key->second.values.size();
  FUZZ_CHECK(modulePath.size() < MAX_PATH ? layer != nullptr && values == 1 : values == 0,
             "SetVistaRight recorded " + std::to_string(values) + " values for a path of " +
                 std::to_string(modulePath.size()) + " characters");

  const std::vector<std::string> messages = Messages();
  const auto start = std::find(messages.begin(), messages.end(), kStartUninstall64);
  const auto end = std::find(messages.begin(), messages.end(), kNeedSearch);
  FUZZ_CHECK(start != messages.end() && end != messages.end() && start < end,
             "no 64-bit uninstaller step in the run\n" + fuzz::Shown(messages));
  const std::vector<std::string> step(start + 1, end);
  const std::string folder = modulePath.substr(0, modulePath.rfind('\\'));
  const std::string full = folder + "\\" + kit::kVeskot64Exe;
  std::vector<std::string> expected;
  if (modulePath.size() < MAX_PATH) {
    expected.push_back(full.size() < MAX_PATH ? Uninstaller64(full) : kit::AsSent(PathTooLong(full)));
  }
  // A program path cut short by its buffer names no folder: nothing may be
  // traced as the path beside it.
  FUZZ_CHECK(step == expected, "for the program \"" + fuzz::Shown(modulePath) +
                                   "\" the 64-bit step traced\n" + fuzz::Shown(step) + "not\n" +
                                   fuzz::Shown(expected));

  const char drive = m.systemDirectory.size() < MAX_PATH ? m.systemDirectory[0] : 'C';
  // Each kit folder after the message that starts its deletion.
  const std::pair<const char*, const char*> folders[] = {{kStartProductFolder, kit::kProductFolderName},
                                                         {kStartTempFolder, kit::kTempFolderName}};
  for (const auto& step : folders) {
    const std::string path = std::string(1, drive) + ":" + kit::kProgramFilesX86 + "\\" + step.second;
    const auto begin = std::find(messages.begin(), messages.end(), step.first);
    const std::vector<std::string> search = {SearchFolder(path), FindFirstFailed(path)};
    FUZZ_CHECK(begin != messages.end() && messages.end() - begin > 2 &&
                   std::vector<std::string>(begin + 1, begin + 3) == search,
               "the folder step \"" + fuzz::Shown(step.first) + "\" did not search\n" + fuzz::Shown(search) +
                   "in\n" + fuzz::Shown(messages));
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::vector<std::string> fields = fuzz::Fields(data, size, 7);
  const bool held = (data[0] & 1) != 0;
  const bool trailingBackslash = (data[0] & 2) != 0;
  const bool unterminated = (data[0] & 4) != 0;
  const std::string& windows = fields[0];
  const std::string windowsDirectory =
      windows.empty() ? std::string("C:\\WINDOWS")
                      : std::string(1, static_cast<char>('C' + static_cast<unsigned char>(windows[0]) % 24)) +
                            ":\\" + fuzz::RelativePath(windows.substr(1));
  const std::string modulePath = "C:\\" + fuzz::RelativePath(fields[1]);
  const std::string infPath = unterminated ? fields[2] : fields[2] + '\0';
  // NTFS names are at most 255 characters.
  const std::string infName = fuzz::PathName(fields[3]).substr(0, 251) + ".inf";
  const std::string folderTail = fuzz::RelativePath(fields[4]);
  const std::string folder = "C:\\" + (folderTail.empty() ? std::string("kit") : folderTail);
  // "." and ".." are the folder's own entries, not files in it.
  const std::string name = fuzz::PathName(fields[5]).substr(0, 255);
  const std::string fileName = name.empty() || name == "." || name == ".." ? std::string("a.txt") : name;

  fuzz::CheckTransf2Path(fields[6]);
  fuzz::CheckTransf2FileName(fields[6]);
  CheckInfOfInstance(windowsDirectory, infPath);
  CheckInfSearch(windowsDirectory, infName);
  CheckFolder(folder, trailingBackslash, fileName, held);
  CheckRun(modulePath, windowsDirectory);
  return 0;
}
