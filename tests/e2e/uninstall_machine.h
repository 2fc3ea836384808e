// The machine an uninstaller test starts from, laid out through Win32 from
// the test program, and the expected trace of a run computed from that
// machine: what the programs see through SetupAPI and the file system at
// the moment the uninstaller starts, together with what each test says
// about the pieces it laid out.
//
// The same tests run in two Wine prefixes, named by KIT_E2E_PREFIX: "win32"
// (32-bit Windows) and "wow64" (64-bit Windows, where this 32-bit program
// and the uninstaller run under WOW64 and see the 32-bit registry view).
#ifndef KIT_TESTS_E2E_UNINSTALL_MACHINE_H
#define KIT_TESTS_E2E_UNINSTALL_MACHINE_H

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/uninstall_trace.h"
#include "tests/wine/capture.h"
#include "tests/wine/devices.h"
#include "tests/wine/files.h"
#include "tests/wine/long_paths_and_links.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"
#include "tests/wine/registry.h"

namespace e2e {

using namespace wine;

// What the device step does with the driver INF of an instance.
enum class DriverInf {
  kDeleted,          // "InfPath" names a file of the INF store, which is deleted
  kCompositeParent,  // "InfPath" is Windows' own usb.inf: nothing deleted
  kNoDriverKey,      // never installed: the instance has no driver key
  kNoInfPath,        // the driver key holds no "InfPath"
  kNotBareName,      // "InfPath" leads out of the INF store: nothing deleted
  // "InfPath" fills the uninstaller's MAX_PATH buffer without a
  // terminator: nothing deleted.
  kInfPathUnterminated,
  kNotHandset,  // another vendor's device: looked at, left alone
};

// A device instance as the test makes it through SetupAPI, root-enumerated
// ("ROOT\NORDAL_E2E_...\0000"), with the driver key Windows gives it.
struct DeviceInstance {
  std::string instanceId;  // "ROOT\NORDAL_E2E_<name>\0000"
  std::vector<std::string> hardwareIds;
  // How many entries the uninstaller traces: those up to and including the
  // first that names the handset (all of them for another vendor's device).
  size_t tracedEntries;
  std::string classGuid;
  std::string infPath;  // the "InfPath" value, for the fates that have one
  DriverInf fate;
};

enum class Encoding { kAnsi, kUtf16LeWithBom, kUtf16LeWithoutBom };

// What the INF store search does with a file.
enum class SearchFate { kKept, kDeleted, kNotAnInf };

// A file the test puts into the INF store for the search.
struct StoreFile {
  std::string name;
  std::string source;  // full path of the file it is made from
  Encoding encoding;
  SearchFate fate;
  std::string matchedLine;  // for kDeleted: the model line's text as traced
  bool folder = false;      // a folder under an INF file's name
};

// A Windows release as Wine's per-program Version setting names it, with
// the version numbers Wine then reports and the uninstaller's
// classification on 32-bit and on 64-bit Windows (NULL: none).
struct Release {
  const char* wineVersion;
  DWORD major;
  DWORD minor;
  const char* line32;
  const char* line64;
  bool branch64;  // the 64-bit branch on 64-bit Windows
};

extern const Release kWindows2000;
extern const Release kWindowsXp;
extern const Release kWindowsXp64;
extern const Release kWindowsVista;
extern const Release kWindows7;
extern const Release kWindows8;

// The model line of samples/inf_store/nordal_adb_legacy.inf that names the
// handset, as the search traces it.
extern const char kAdbLegacyModelLine[];

// The error RegDeleteKeyA gives for a key that still has subkeys.
const LONG kKeyWithSubkeysError = ERROR_ACCESS_DENIED;

// What a test says about the run beyond what the machine shows.
struct RunExpectation {
  std::vector<std::string> scanResults;  // one per argument scanned
  const Release* release = NULL;         // NULL: the release the machine reports
  // INF files the device step deletes: the search runs unless it is 2.
  int deletedInfFiles = 0;
  LONG uninstallKeyFailure = ERROR_SUCCESS;
  LONG productKeyFailure = ERROR_SUCCESS;
  // Path of the uninstaller that runs, for the 64-bit branch's line.
  std::string uninstallerPath;
};

class UninstallerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // --- The machine ---
  // The Windows release the uninstaller sees: under Wine any, set for it;
  // on Windows only the machine's own, and a test for another one skips.
  void SelectWindows(const Release& release);
  void AddProductKey();
  void AddUninstallKey();
  // Adds a subkey below the key, so that it cannot be deleted as it is.
  void AddSubkey(const std::string& key);
  void AddInstance(const DeviceInstance& instance);
  // A copy of a package INF in the INF store under the name Windows gave
  // it, with its precompiled .pnf companion.
  void AddDeviceInf(const std::string& storeName, const std::string& packageFile);
  void AddStoreFile(const StoreFile& file);
  // A file of the INF store with the given bytes (and the encoding of the
  // file), or a folder when file.folder is set; `source` is not used.
  void AddStoreContent(const StoreFile& file, const std::string& content);
  void AddCorpusCopies();
  // INF store entries that are hard to read: a folder named x.inf, an
  // empty file, a binary file (none of them an INF), and a copy of an INF
  // that names the handset in UTF-16LE without a byte order mark.
  void AddOddStoreEntries();
  // The product folder and the temporary folder with nested folders and
  // read-only, hidden and system files.
  void AddProductFolders();
  // The handset tool, running from the product folder: its own file cannot
  // be deleted while it runs.
  void StartHandsetTool();
  // Everything above: two keys, the handset's instances with their INF
  // files, another vendor's device, INF files for the search, corpus
  // copies, both folders and the running handset tool.
  void LayOutInstalledMachine();

  // The handset's instances of LayOutInstalledMachine, by role.
  DeviceInstance CompositeParent() const;
  DeviceInstance ModemInterface() const;
  DeviceInstance AdbInterface() const;
  DeviceInstance DiagnosticsPort() const;
  DeviceInstance NetworkInterface() const;
  DeviceInstance Bootloader() const;  // installed from the ADB interface's INF
  DeviceInstance ForeignDevice() const;
  // INF files for the search, by what they are about.
  std::vector<StoreFile> SearchFiles() const;

  // --- The run ---
  CaptureResult RunVeskot(const std::string& path, const std::vector<std::string>& arguments);
  // The whole expected trace of a run on the machine as it is now.
  std::vector<std::string> ExpectedRun(const RunExpectation& expectation);
  Messages ExpectedDeviceStep();
  Messages ExpectedSearch();
  Messages ExpectedFolderDeletion(const std::string& folder);

  // --- After the run ---
  void ExpectKeysGone();
  // Device INF files gone, their .pnf kept; store files and corpus copies
  // as their fates say; usb.inf kept.
  void ExpectInfStoreCleaned(bool searchRan);
  void ExpectFoldersGone();
  void ExpectHandsetToolEnded();
  void ExpectRunAsAdmin(const std::string& path);

  std::string StorePath(const std::string& name) const { return JoinPath(infStore_, name); }
  std::string DataPath(const std::string& folder, const std::string& name) const;
  std::string PackageSample(const std::string& file) const;
  bool UnderWow64() const { return prefix_ == PrefixKind::kWow64; }

  PrefixKind prefix_ = PrefixKind::kWin32;
  const Release* release_ = &kWindows7;
  std::string systemDirectory_;
  std::string drive_;
  std::string infStore_;
  std::string programFiles_;
  std::string productFolder_;
  std::string tempFolder_;
  std::string kitFolder_;
  std::string veskotPath_;
  std::string handsetToolPath_;
  Removal removal_ = Removal::kAvailable;

  std::vector<DeviceInstance> instances_;
  std::map<std::string, std::string> deviceInfs_;  // store name -> content
  std::vector<StoreFile> storeFiles_;
  std::map<std::string, std::string> storeContents_;  // store name -> content
  std::map<std::string, std::string> corpusCopies_;   // store name -> content
  // Entries AddStoreContent made (with the .pnf files it wrote), which
  // TearDown takes away again.
  std::vector<std::string> madeStoreEntries_;
  // Files whose first deletion fails, by full path: the name looked up
  // among the processes, and whether the second deletion fails too.
  struct HeldFile {
    std::string lookedUp;
    bool staysAfterLookup;
  };
  std::map<std::string, HeldFile> heldFiles_;
  BackgroundProgram handsetTool_;
};

}  // namespace e2e

#endif
