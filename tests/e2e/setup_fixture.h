// The fixture of the setups' end-to-end scenarios: the kit's setup
// program and its Windows Installer package run as a handset owner and a
// fleet tool run them, under Wine, with the traces tracecap's listen mode
// caught; a machine without the kit to start from, and the checks of
// what an install or an uninstall leaves.
#ifndef KIT_TESTS_E2E_SETUP_FIXTURE_H
#define KIT_TESTS_E2E_SETUP_FIXTURE_H

#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/kit_facts/windows_releases.h"
#include "tests/wine/listener.h"

namespace e2e {

// The setup program's exit codes beside 0: it failed, Windows is one the
// kit does not know, or a restart finishes the uninstall.
const DWORD kExitFailed = 2;
const DWORD kExitUnsupportedWindows = 3;
const DWORD kExitRestartRequired = 3010;

class SetupTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The Windows release Wine reports to every program from now on, the
  // kit's among them.
  void UseRelease(const kit::WindowsRelease& release);

  // Takes whatever an earlier test left of the kit off the machine.
  void RemoveKit();

  // The INF files in the INF store that are copies of the package's.
  std::vector<std::string> StagedCopies();

  // Runs the setup program with `arguments` (" /S" for a silent run) while
  // tracecap listens.
  ::testing::AssertionResult RunSetup(const std::string& arguments, DWORD* exitCode,
                                      std::vector<wine::ListenLine>* lines);

  // Installs the kit silently on Windows 7, as a fleet tool does; what
  // tracecap caught goes to `lines`.
  void InstallSilently(std::vector<wine::ListenLine>* lines);

  // Runs the uninstall command the Uninstall key names in `value`, as a
  // fleet tool does, while tracecap listens.
  ::testing::AssertionResult RunUninstallCommand(const char* value, DWORD* exitCode,
                                                 std::vector<wine::ListenLine>* lines);

  // What either setup installs: both programs and the package's edition
  // in their folders, the temporary folder, the product key, four staged
  // INF files, and one Add/Remove Programs entry.
  void ExpectKitInstalled();

  // The kit as the setup program installs it: ExpectKitInstalled, the
  // uninstall program, the log and the Uninstall key with its values.
  void ExpectInstalled();

  // Nothing of the kit on the machine: `staged` are the names the INF
  // store's copies had.
  void ExpectNothingLeft(const std::vector<std::string>& staged);

  // The Windows Installer package, and the copies the tests made of it.
  std::string Package(const std::string& copy = "") const;

  // Windows 7 on 32-bit Windows; Windows 7 and XP on 64-bit Windows.
  std::vector<const kit::WindowsRelease*> SilentInstallReleases() const;

  // Quorlin's classification line for `release` in this prefix, as
  // tracecap prints it.
  std::string ClassificationSeen(const kit::WindowsRelease& release) const;

  bool is64_ = false;
  std::string productFolder_;
  std::string tempFolder_;
  std::string packageFolder_;
  std::string samples_;
  std::string setup_;
  std::string uninstallCopy_;
};

// Folders standing where Windows would put its copy of qcser.inf: under
// its own name and as oem0.inf to oem999.inf, after which Wine gives up
// with 0xce. They go with the object.
class StagingRefusal {
 public:
  StagingRefusal() = default;
  ~StagingRefusal();
  StagingRefusal(const StagingRefusal&) = delete;
  StagingRefusal& operator=(const StagingRefusal&) = delete;

  ::testing::AssertionResult Make();

 private:
  std::vector<std::string> made_;
};

// A message as tracecap's listen mode prints it: escaped.
std::string Seen(const std::string& message);

// The keys of the Add/Remove Programs entries named as the kit.
std::vector<std::string> KitEntries();

// The product codes Windows Installer has registered for the kit's
// package, of any version.
std::vector<std::string> InstalledPackages();

// The paths registered for deletion at the next restart.
std::vector<std::string> PendingDeletions();

// Restarts Wine's Windows as "wineboot -r" does: the registered deletions
// are carried out.
::testing::AssertionResult Restart();

size_t CountOf(const std::vector<std::string>& texts, const std::string& text);

}  // namespace e2e

#endif
