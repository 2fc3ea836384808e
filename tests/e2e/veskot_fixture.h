// The fixture of Veskot.exe's end-to-end scenarios: a clean start (no
// keys, device instances, INF files, folders or programs of the kit left
// by an earlier test, and the uninstaller at C:\kit), the steps that lay
// out what a scenario needs, through Win32 as an installed kit and an
// administrator's tools leave it, the run under the debugger, and the
// checks of what the run leaves.
//
// The same scenarios run in both prefixes (tests/wine/prefix.h): on 64-bit
// Windows the kit lives in Program Files (x86), Veskot classifies Windows
// as 64-bit and takes its 64-bit branch.
#ifndef KIT_TESTS_E2E_VESKOT_FIXTURE_H
#define KIT_TESTS_E2E_VESKOT_FIXTURE_H

#include <windows.h>

#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/veskot_device_walk.h"
#include "tests/kit_facts/trace_channel.h"
#include "tests/kit_facts/windows_releases.h"
#include "tests/wine/capture.h"
#include "tests/wine/devices.h"
#include "tests/wine/files.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"

namespace e2e {

using kit::Messages;

// The parts of a trace one after the other.
Messages Join(std::initializer_list<Messages> parts);

// The driver key Windows gave a device instance, as a test writes it.
enum class DriverKeyLayout {
  kWithInfPath,  // "InfPath" names the instance's INF file
  kNone,         // never installed: no driver key
  kWithoutInfPath,
  // "InfPath" fills the uninstaller's MAX_PATH buffer without a
  // terminator.
  kWithUnterminatedInfPath,
};

// A device instance as the test makes it through SetupAPI, root-enumerated
// as an administrator's tool makes it: "ROOT\NORDAL_E2E_<name>\0000".
struct DeviceInstance {
  std::string instanceId;
  std::vector<std::string> hardwareIds;
  std::string classGuid;
  std::string infPath;  // the "InfPath" value, for the keys that have one
  DriverKeyLayout driverKey;
};

enum class Encoding { kAnsi, kUtf16LeWithBom, kUtf16LeWithoutBom };

// A file the test puts into the INF store, made from `source` (a file
// beside the test program) in `encoding`, with a precompiled .pnf beside it.
struct StoreFile {
  std::string name;
  std::string source;
  Encoding encoding;
};

class VeskotScenario : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // --- Laying out ---
  // The Windows release the uninstaller sees: under Wine any, set for it;
  // on Windows only the machine's own, and a test for another one skips.
  void SelectWindows(const kit::WindowsRelease& release);
  void AddProductKey();
  void AddUninstallKey();
  // Adds a subkey below the key, so that it cannot be deleted as it is.
  void AddSubkey(const std::string& key);
  void AddInstance(const DeviceInstance& instance);
  // A copy of a package INF in the INF store under the name Windows gave
  // it, with its precompiled .pnf companion.
  void AddDeviceInf(const std::string& storeName, const std::string& packageFile);
  void AddStoreFile(const StoreFile& file);
  // A file of the INF store with the given text in `encoding`, with a .pnf
  // beside it when `precompiled`; or a folder of that name.
  void AddStoreContent(const std::string& name, const std::string& text, Encoding encoding, bool precompiled);
  void AddStoreFolder(const std::string& name);
  // Copies of real-world INF files, none of which names the handset (one
  // of them, an autorun file, is not an INF file for SetupAPI).
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
  // What an installed kit and a handset that was plugged in leave: both
  // keys, the handset's instances with their INF files in the store,
  // another vendor's device, INF files for the search, corpus copies, both
  // folders and the running handset tool.
  void LayOutInstalledKit();

  // The device instances of LayOutInstalledKit, by role.
  DeviceInstance CompositeParent() const;
  DeviceInstance ModemInterface() const;
  DeviceInstance AdbInterface() const;
  DeviceInstance DiagnosticsPort() const;
  DeviceInstance NetworkInterface() const;
  DeviceInstance Bootloader() const;  // installed from the ADB interface's INF
  DeviceInstance ForeignDevice() const;
  // INF files for the search: ours, another vendor's and Windows' own.
  std::vector<StoreFile> SearchFiles() const;
  // What the device step sends for each instance of LayOutInstalledKit,
  // the handset's followed by `removal` (RemoveAnswer()).
  std::vector<StatedInstance> InstalledKitWalk(const Messages& removal) const;

  // --- The run ---
  wine::CaptureResult RunVeskot(const std::string& path, const std::vector<std::string>& arguments);
  // What Veskot makes of `release` in this prefix.
  const kit::Classification& OnThisPrefix(const kit::WindowsRelease& release) const {
    return release.On(UnderWow64());
  }
  // Veskot's classification of Windows 7, the release every test runs on
  // unless it selects another, in this prefix.
  std::string Windows7Line() const;
  // On 64-bit Windows the 64-bit branch's two messages, with the 64-bit
  // uninstaller beside the one at `veskotPath`; none on 32-bit Windows.
  Messages Branch64(const std::string& veskotPath) const;
  // What the class installer's removal of a handset instance sends: none
  // where it removes it, "Remove failed!\n" where SetupAPI cannot
  // (wine::kNoClassInstallParams).
  Messages RemoveAnswer();

  // --- After the run ---
  // Neither the Uninstall key nor the product key is there.
  void ExpectKeysGone();
  // The INF store after a run: the files named in `gone` are gone, their
  // .pnf kept; every other entry the test laid out is as it was, Windows'
  // own usb.inf among them.
  void ExpectInfStoreAfterRun(const std::set<std::string>& gone);
  // Neither the product folder nor the temporary folder is there.
  void ExpectFoldersGone();
  // The handset tool was ended by the uninstaller (exit code 0; left
  // alone it ends by itself with 7) and its file is gone.
  void ExpectHandsetToolEnded();
  // The compatibility record of the program file at `path`: RUNASADMIN.
  void ExpectRunAsAdmin(const std::string& path);

  std::string Store(const std::string& name) const { return wine::JoinPath(infStore_, name); }
  // A file beside the test program, in one of its data folders.
  std::string DataPath(const std::string& folder, const std::string& name) const;
  bool UnderWow64() const { return prefix_ == wine::PrefixKind::kWow64; }

  wine::PrefixKind prefix_ = wine::PrefixKind::kWin32;
  std::string systemDirectory_;
  std::string infStore_;
  std::string productFolder_;
  std::string tempFolder_;
  std::string kitFolder_;
  std::string veskotPath_;
  std::string handsetToolPath_;
  wine::BackgroundProgram handsetTool_;

 private:
  std::string PackageSample(const std::string& file) const;

  std::vector<DeviceInstance> instances_;
  // What the test laid out in the INF store: each file's bytes, the
  // folders, and the files with a .pnf beside them.
  std::map<std::string, std::string> storeContents_;
  std::set<std::string> storeFolders_;
  std::set<std::string> precompiled_;
  // Entries AddStoreContent and AddStoreFolder made (with the .pnf files),
  // which TearDown takes away again.
  std::vector<std::string> madeStoreEntries_;
  wine::Removal removal_ = wine::Removal::kAvailable;
  bool probed_ = false;
};

}  // namespace e2e

#endif
