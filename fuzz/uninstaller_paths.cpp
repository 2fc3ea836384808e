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

#include "common/path_compat.h"
#include "fuzz/fuzz_support.h"
#include "uninstaller/device_removal.h"
#include "uninstaller/inf_scan.h"
#include "uninstaller/tree_deletion.h"
#include "uninstaller/uninstaller_main.h"
#include "winsim/machine.h"

namespace {
const char kTag[] = "..Veskot - Zenor";
const char kLayers[] = "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
const char kClassKey[] =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\{36FC9E60-C465-11CF-8056-444553540000}\\0001";
const char kHandsetInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%Mfg%=Orvane\r\n"
    "[Orvane]\r\n%Diag%=QcSer, "
    "USB\\VID_3A8D&PID_6C31&MI_01\r\n[Strings]\r\nMfg=\"Orvane\"\r\nDiag=\"Diag\"\r\n";

const char* const kProductFolders[] = {"==============Start PkgDeleteFile pDir, line: 1467",
                                       "NORDAL_5120_USB_DRIVER"};
const char* const kTempFolders[] = {"============Start PkgDeleteFile pTempDir, line: 1471",
                                    "Orvane_M4730_Temp"};

// What wsprintf keeps of a message: 1023 characters and the terminator.
std::string Cut(const std::string& message) { return message.substr(0, 1023); }

std::vector<std::string> Messages() {
  const winsim::Machine& m = winsim::machine();
  FUZZ_CHECK(m.debugOutput.size() % 2 == 0, "a trace tag without its message");
  std::vector<std::string> messages;
  for (size_t i = 0; i < m.debugOutput.size(); i += 2) {
    FUZZ_CHECK(m.debugOutput[i] == kTag, "debugger string " + std::to_string(i) + " is not the trace tag");
    messages.push_back(m.debugOutput[i + 1]);
  }
  return messages;
}

void ExpectMessages(const std::string& what, const std::vector<std::string>& expected) {
  const std::vector<std::string> messages = Messages();
  FUZZ_CHECK(messages == expected,
             what + " traced\n" + fuzz::Shown(messages) + "not\n" + fuzz::Shown(expected));
}

// Transf2Path in a 260-byte block holding the path (cut to the 259
// characters that fit) and rubbish after its terminator.
void CheckTransf2Path(const std::string& bytes) {
  winsim::Reset();
  const std::string path = std::string(bytes.c_str()).substr(0, MAX_PATH - 1);
  std::vector<char> before(MAX_PATH, 'G');
  path.copy(before.data(), path.size());
  before[path.size()] = '\0';
  char* block = new char[MAX_PATH];
  std::copy(before.begin(), before.end(), block);
  const int result = Transf2Path(block);
  const size_t cut = path.rfind('\\');
  const std::string call = "Transf2Path(\"" + fuzz::Shown(path) + "\")";
  if (cut == std::string::npos) {
    FUZZ_CHECK(result == 0 && std::equal(before.begin(), before.end(), block),
               call + " changed a path without backslash");
  } else {
    std::vector<char> after(MAX_PATH, '\0');
    path.copy(after.data(), cut);
    FUZZ_CHECK(result == 1 && std::equal(after.begin(), after.end(), block),
               call + " gave \"" + fuzz::Shown(std::string(block, strnlen(block, MAX_PATH))) + "\", not \"" +
                   fuzz::Shown(path.substr(0, cut)) + "\" and zeros");
  }
  delete[] block;
  FUZZ_CHECK(winsim::machine().debugOutput.empty(), call + " traced something");
}

// Transf2FileName into a 260-byte block of rubbish, from a path of any length.
void CheckTransf2FileName(const std::string& bytes) {
  winsim::Reset();
  const std::string path = bytes.c_str();
  const fuzz::Block pathBlock(path);
  char* out = new char[MAX_PATH];
  memset(out, 'G', MAX_PATH);
  const int result = Transf2FileName(out, pathBlock.get());
  const size_t cut = path.rfind('\\');
  const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  const std::string call = "Transf2FileName(\"" + fuzz::Shown(path) + "\")";
  const size_t length = strnlen(out, MAX_PATH);
  FUZZ_CHECK(length < MAX_PATH, call + " left its result without a terminator");
  FUZZ_CHECK(std::all_of(out + length, out + MAX_PATH, [](char c) { return c == '\0'; }),
             call + " left rubbish after its result");
  const std::string got(out, length);
  delete[] out;
  if (name.size() < MAX_PATH) {
    FUZZ_CHECK(result == 1 && got == name, call + " gave " + std::to_string(result) + ", \"" +
                                               fuzz::Shown(got) + "\", not 1, \"" + fuzz::Shown(name) + "\"");
  } else {
    // A name that does not fit must not come out cut: another file's name.
    FUZZ_CHECK(result == 0 && got.empty(), call + " gave " + std::to_string(result) + " and a cut name of " +
                                               std::to_string(got.size()) + " characters for one of " +
                                               std::to_string(name.size()));
  }
  FUZZ_CHECK(winsim::machine().debugOutput.empty(), call + " traced something");
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
  device.driverKey = kClassKey;
  m.SetValue(kClassKey, "InfPath", REG_SZ, value);
  // The name as the buffer of 260 zeroed bytes holds it.
  std::string buffer = value.size() <= MAX_PATH ? value : std::string();
  buffer.resize(MAX_PATH, '\0');
  const bool terminated = buffer.find('\0') != std::string::npos;
  const std::string name = std::string(buffer.c_str()).substr(0, MAX_PATH - 1);
  const std::string full = windowsDirectory + "\\inf\\" + name;
  m.AddFile(full, kHandsetInf);

  RemoveHandsetDevices();
  std::vector<std::string> expected = {"Lumora_log0", "enter for loop\n", "USB\\VID_3A8D&PID_6C31", "\n"};
  bool deleted = false;
  if (value.size() > MAX_PATH) {
    expected.insert(expected.end(), {"RegQueryValueEx for 'InfPath' failed!\n", "Error code: 0xea\n"});
  } else if (terminated && (fuzz::Upper(name) == "USB.INF" || fuzz::Upper(name) == "USBSTOR.INF")) {
    expected.push_back("Find composite device\n");
  } else if (!terminated || name.empty() || name.find_first_of("\\/:") != std::string::npos ||
             name.find("..") != std::string::npos) {
    expected.push_back(Cut("InfPath is not a bare file name, nothing deleted: [" + name + "]\n"));
  } else if (windowsDirectory.empty() || windowsDirectory.size() >= MAX_PATH) {
    expected.push_back("Get current path failed!\n");
  } else if (full.size() >= MAX_PATH) {
    expected.push_back(Cut("Path too long, passed over: [" + full + "]\n"));
  } else {
    expected.insert(expected.end(), {"Delete file in PkgQuickDel\n", "File full path: " + full + "\n"});
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
      expected.push_back(Cut("Path too long, passed over: [" + full + "]\n"));
    } else {
      expected = {"---Find file contain our HWID---\n", "File full name: " + full + "\n",
                  "Device context: QcSer,USB\\VID_3A8D&PID_6C31&MI_01\n"};
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
    expected.push_back(Cut("Path too long, passed over: [" + argument + "]\n"));
  } else {
    expected.push_back("Get file name 32 bit: [" + argument + separator + "*.*], line: 1014");
    const std::string built = argument + separator + fileName;
    if (built.size() >= MAX_PATH) {
      expected.push_back(Cut("Path too long, passed over: [" + built + "]\n"));
    } else {
      if (held) {
        expected.insert(expected.end(), {"Delete file failed, try late, file: [" + built + "], line: 1054",
                                         "Buf: " + fileName});
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
  m.processes.front().exeFile = "Veskot.exe";
  std::string argument = modulePath;
  char* argv[] = {&argument[0], nullptr};
  FUZZ_CHECK(UninstallerMain(1, argv) == 0, "UninstallerMain did not return 0");

  const winsim::RegistryValue* layer = m.Value(kLayers, modulePath);
  const auto key = m.keys.find(kLayers);
  const size_t values = key == m.keys.end() ? 0 : key->second.values.size();
  FUZZ_CHECK(modulePath.size() < MAX_PATH ? layer != nullptr && values == 1 : values == 0,
             "SetVistaRight recorded " + std::to_string(values) + " values for a path of " +
                 std::to_string(modulePath.size()) + " characters");

  const std::vector<std::string> messages = Messages();
  const auto start = std::find(messages.begin(), messages.end(), "Start uninstall 64bit driver, line: 1322");
  const auto end = std::find(messages.begin(), messages.end(), "Need search..\n");
  FUZZ_CHECK(start != messages.end() && end != messages.end() && start < end,
             "no 64-bit uninstaller step in the run\n" + fuzz::Shown(messages));
  const std::vector<std::string> step(start + 1, end);
  const std::string folder = modulePath.substr(0, modulePath.rfind('\\'));
  const std::string full = folder + "\\Veskot64.exe";
  std::vector<std::string> expected;
  if (modulePath.size() < MAX_PATH) {
    expected.push_back(full.size() < MAX_PATH ? "Uninstall full name: [" + full + "], line: 1338"
                                              : Cut("Path too long, passed over: [" + full + "]\n"));
  }
  // A program path cut short by its buffer names no folder: nothing may be
  // traced as the path beside it.
  FUZZ_CHECK(step == expected, "for the program \"" + fuzz::Shown(modulePath) +
                                   "\" the 64-bit step traced\n" + fuzz::Shown(step) + "not\n" +
                                   fuzz::Shown(expected));

  const char drive = m.systemDirectory.size() < MAX_PATH ? m.systemDirectory[0] : 'C';
  for (const char* const* folders : {kProductFolders, kTempFolders}) {
    const std::string path = std::string(1, drive) + ":\\Program Files (x86)\\" + folders[1];
    const auto begin = std::find(messages.begin(), messages.end(), folders[0]);
    const std::vector<std::string> search = {"Get file name 32 bit: [" + path + "\\*.*], line: 1014",
                                             "Find first file failed, Path[" + path + "\\*.*], line: 1019"};
    FUZZ_CHECK(begin != messages.end() && messages.end() - begin > 2 &&
                   std::vector<std::string>(begin + 1, begin + 3) == search,
               "the folder step \"" + fuzz::Shown(folders[0]) + "\" did not search\n" + fuzz::Shown(search) +
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

  CheckTransf2Path(fields[6]);
  CheckTransf2FileName(fields[6]);
  CheckInfOfInstance(windowsDirectory, infPath);
  CheckInfSearch(windowsDirectory, infName);
  CheckFolder(folder, trailingBackslash, fileName, held);
  CheckRun(modulePath, windowsDirectory);
  return 0;
}
