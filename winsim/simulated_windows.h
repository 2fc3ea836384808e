// The state of the simulated Windows (winsim::Machine). Host tests and fuzz
// targets reset it, set it up, run product code against it and then
// inspect it; the calls of each Win32 area (winsim.h) read and change it.
#ifndef KIT_WINSIM_SIMULATED_WINDOWS_H
#define KIT_WINSIM_SIMULATED_WINDOWS_H

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "winsim/winsim.h"

namespace winsim {

// The order of registry and file names: as NTFS orders them, by the kit's
// case fold (kit_facts/letter_case.h).
struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

enum class Wow64 { kAnswersTrue, kAnswersFalse, kExportMissing, kCallFails };

struct Process {
  DWORD id = 0;
  std::string exeFile;    // the name Tool Help reports
  std::string imagePath;  // its program file's full path; empty: cannot be learned
  DWORD parentId = 0;     // the process that started it
  bool running = true;
  bool refuseOpen = false;  // OpenProcess fails with ERROR_ACCESS_DENIED
  DWORD exitCode = 0;       // recorded when terminated
  bool terminated = false;
};

struct OpenProcessCall {
  DWORD access;
  BOOL inheritHandle;
  DWORD processId;
};

struct RegistryValue {
  DWORD type = REG_SZ;
  std::string data;  // the stored bytes, exactly
};

struct RegistryKey {
  std::map<std::string, RegistryValue, NoCaseLess> values;
};

struct CopyOemInfCall {
  std::string sourceInfFileName;
  std::string mediaLocation;
  DWORD mediaType;
  DWORD copyStyle;
  bool destinationNameGiven;
  DWORD destinationSize;
  bool requiredSizeGiven;
  bool componentGiven;
};

struct MessageBoxCall {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};

// A file or folder. Folders carry FILE_ATTRIBUTE_DIRECTORY; a junction is a
// folder with FILE_ATTRIBUTE_REPARSE_POINT whose entries are its target's.
struct FileEntry {
  DWORD attributes = 0;
  std::string content;  // files: the bytes
  DWORD heldBy = 0;     // a process that keeps it open while it runs
  std::string target;   // junctions: the full path linked to
};

// A device node as SetupAPI sees it.
struct Device {
  std::string instanceId;   // "USB\\VID_1234&PID_5678\\6&1A2B3C&0&1"
  std::string hardwareIds;  // the REG_MULTI_SZ bytes, exactly; empty: the device has none
  // Hardware ids that change while they are read: each call that reads them
  // takes the next of these first, as when the device is re-enumerated
  // between the call that asks for the size and the one that reads the
  // bytes; once they are used up, calls find hardwareIds. An empty one is a
  // property of size 0, which a call without a buffer reads in full.
  std::deque<std::string> changingHardwareIds;
  GUID classGuid = GUID_DEVCLASS_USB;
  DWORD propertyError = 0;  // reading the hardware ids fails with it
  std::string driverKey;    // full registry path ("HKLM\\SYSTEM\\..."); empty: none
  DWORD openKeyError = 0;   // opening the driver key fails with it
  DWORD removeError = 0;    // DIF_REMOVE fails with it
  bool attached = true;     // DIGCF_PRESENT lists only attached devices
  bool removed = false;     // set by a DIF_REMOVE that worked
};

struct ClassDevsCall {
  bool guidGiven;
  GUID guid;
  bool enumeratorGiven;
  std::string enumerator;
  HWND parent;
  DWORD flags;
};

struct OpenDevRegKeyCall {
  std::string instanceId;  // empty when the device was not recognised
  DWORD scope;
  DWORD profile;
  DWORD keyType;
  REGSAM access;
};

struct ClassInstallParamsCall {
  std::string instanceId;  // empty when the device was not recognised
  bool paramsGiven;
  DWORD headerSize;  // the header's cbSize
  UINT installFunction;
  DWORD scope;      // DIF_REMOVE only
  DWORD hwProfile;  // DIF_REMOVE only
  DWORD size;
};

struct ClassInstallerCall {
  UINT installFunction;
  std::string instanceId;  // empty when the device was not recognised
};

// A line of an INF file: its key (if any) and value fields, strings
// substituted and quotes removed.
struct InfLine {
  bool hasKey = false;
  std::string key;
  std::vector<std::string> fields;
};

struct InfSection {
  std::string name;
  std::vector<InfLine> lines;
};

// An open handle of any kind; the value a program sees is the table key.
struct Handle {
  enum class Kind { kProcess, kSnapshot, kKey, kFind, kDeviceSet, kInf } kind;
  DWORD processId = 0;               // kProcess
  std::vector<Process> snapshot;     // kSnapshot: the processes when taken
  bool modules = false;              // kSnapshot: the modules of its one process
  size_t position = 0;               // kSnapshot, kFind: the next entry
  std::string path;                  // kKey: full key path; kFind: the folder; kInf: the file
  std::vector<std::string> names;    // kFind: the entries found
  std::vector<FileEntry> entries;    // kFind: each as it was when found
  std::vector<size_t> devices;       // kDeviceSet: indexes into Machine::devices
  std::set<size_t> removeParams;     // kDeviceSet: devices given DIF_REMOVE parameters
  std::vector<InfSection> sections;  // kInf: the file as read
};

struct Machine {
  std::map<uintptr_t, Handle> handles;
  uintptr_t nextHandle = 0x1000;
  HANDLE Open(const Handle& handle);
  Handle* Lookup(HANDLE handle, Handle::Kind kind);
  int OpenHandles(Handle::Kind kind) const;

  // Debugger output, every string in order.
  std::vector<std::string> debugOutput;
  DWORD lastError = 0;

  // The runtime heap: allocations are numbered from 1; those listed fail.
  int heapAllocations = 0;
  std::set<int> failingHeapAllocations;

  // Windows version and bitness.
  bool versionFails = false;
  DWORD majorVersion = 6;
  DWORD minorVersion = 1;
  Wow64 wow64 = Wow64::kAnswersFalse;
  int wow64Calls = 0;

  // Folders and the program itself.
  std::string systemDirectory = "C:\\WINDOWS\\system32";
  bool systemDirectoryFails = false;
  std::string modulePath = "C:\\kit\\program.exe";

  // Processes. The calling program is one of them.
  std::vector<Process> processes;
  DWORD currentProcessId = 100;
  bool snapshotFails = false;
  std::vector<OpenProcessCall> openProcessCalls;

  // Registry: keys by their full path from the root ("HKLM\\SOFTWARE\\X").
  std::map<std::string, RegistryKey, NoCaseLess> keys;
  // Keys (full paths) whose open, create, delete or value writes are refused.
  std::map<std::string, LONG, NoCaseLess> refusedOpen;
  std::map<std::string, LONG, NoCaseLess> refusedSetValue;
  std::map<std::string, LONG, NoCaseLess> refusedDelete;

  // INF staging: every call, and the sources Windows refuses with an error.
  std::vector<CopyOemInfCall> copyOemInfCalls;
  std::map<std::string, DWORD, NoCaseLess> refusedInfs;

  // The Windows folder, the UI language, sleeping and message boxes.
  std::string windowsDirectory = "C:\\WINDOWS";
  bool windowsDirectoryFails = false;
  LANGID uiLanguage = 0x0409;
  std::vector<DWORD> sleeps;
  std::vector<MessageBoxCall> messageBoxes;
  DWORD messageBoxError = 0;  // when set, no box is shown and MessageBoxA fails with it

  // LocalAlloc: allocations are numbered from 1; those listed fail.
  int localAllocations = 0;
  std::set<int> failingLocalAllocations;

  // Files and folders by full path ("C:\\Program Files\\X\\a.txt"). Drive
  // roots ("C:") always exist.
  std::map<std::string, FileEntry, NoCaseLess> files;
  std::map<std::string, DWORD, NoCaseLess> refusedDeletes;  // DeleteFileA fails with the error

  // Devices, and every SetupDi call that matters to a test.
  std::deque<Device> devices;                  // a deque, so that AddDevice references stay valid
  DWORD classDevsError = 0;                    // when set, SetupDiGetClassDevsA fails with it
  bool classInstallParamsUnsupported = false;  // as on Wine 8: ERROR_CALL_NOT_IMPLEMENTED
  std::vector<ClassDevsCall> classDevsCalls;
  std::vector<OpenDevRegKeyCall> openDevRegKeyCalls;
  std::vector<ClassInstallParamsCall> classInstallParamsCalls;
  std::vector<ClassInstallerCall> classInstallerCalls;

  // INF files: the name of every SetupOpenInfFileA call and of every file it
  // opened, the file of each handle closed, and files that fail to open with
  // an error (ERROR_WRONG_INF_STYLE for one that is no INF file).
  std::vector<std::string> infOpenCalls;
  std::vector<std::string> infsOpened;
  std::vector<std::string> infsClosed;
  std::map<std::string, DWORD, NoCaseLess> brokenInfs;

  // A handle for a registry key, as RegOpenKeyExA gives.
  HKEY OpenKey(const std::string& keyPath);

  // Helpers for tests.
  Process& AddProcess(DWORD id, const std::string& exeFile);
  Process* FindProcess(DWORD id);
  void SetValue(const std::string& keyPath, const std::string& name, DWORD type, const std::string& data);
  void AddKey(const std::string& keyPath);
  bool HasKey(const std::string& keyPath) const;
  const RegistryValue* Value(const std::string& keyPath, const std::string& name) const;
  // Files and folders; the folders above are created as needed.
  FileEntry& AddFolder(const std::string& path);
  FileEntry& AddFile(const std::string& path, const std::string& content, DWORD attributes = 0);
  FileEntry& AddJunction(const std::string& path, const std::string& target);
  bool Exists(const std::string& path) const;
  DWORD Attributes(const std::string& path) const;  // INVALID_FILE_ATTRIBUTES when missing
  std::string FileContent(const std::string& path) const;
  Device& AddDevice(const std::string& instanceId, const std::string& hardwareIds);
  Device* FindDevice(const std::string& instanceId);
  // A path without trailing backslashes and with the junctions in its folders
  // followed (the last name's too when followLast is set).
  std::string Resolve(const std::string& path, bool followLast) const;
};

// Whether the path is a drive root ("C:"), which always exists.
bool IsDriveRoot(const std::string& path);

// The REG_MULTI_SZ bytes of a list: each entry ends in a NUL, the list in another.
std::string MultiSz(const std::vector<std::string>& entries);

// The one machine; Reset() gives a fresh one.
Machine& machine();
void Reset();

}  // namespace winsim

#endif
