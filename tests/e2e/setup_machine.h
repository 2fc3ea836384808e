// The kit's setup program run as a handset owner and a fleet tool run it,
// under Wine: the machine laid out for it, what the setup and its uninstall
// commands leave on it, and the traces tracecap's listen mode caught.
#ifndef KIT_TESTS_E2E_SETUP_MACHINE_H
#define KIT_TESTS_E2E_SETUP_MACHINE_H

#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/wine/listener.h"

namespace e2e {

using namespace wine;

extern const char kSetupName[];
extern const char kProductKey[];
extern const char kUninstallKey[];
extern const char kUninstallRoot[];
extern const char kLayersKey[];

// The escaped line of the installer's trace for each INF file it staged.
extern const char kStaged[];

// A Windows release a silent install is tested on, and the installer's
// escaped line for it.
struct Release {
  const char* wineVersion;
  const char* classification;
};

class SetupTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The Windows release Wine reports to every program from now on, the
  // kit's among them.
  void UseRelease(const char* wineVersion);

  // Takes whatever an earlier test left of the kit off the machine.
  void RemoveKit();

  // The INF files in the INF store that are copies of the package's.
  std::vector<std::string> StagedCopies();

  // Runs the setup program with `arguments` (" /S" for a silent run).
  ::testing::AssertionResult RunSetup(const std::string& arguments, DWORD* exitCode,
                                      std::vector<ListenLine>* lines);

  // Installs the kit silently on Windows 7, as a fleet tool does; what
  // tracecap caught goes to `lines`.
  void InstallSilently(std::vector<ListenLine>* lines);

  // Runs the uninstall command the Uninstall key names in `value`, as a
  // fleet tool does.
  ::testing::AssertionResult RunUninstallCommand(const char* value, DWORD* exitCode,
                                                 std::vector<ListenLine>* lines);

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
  std::vector<Release> SilentInstallReleases() const;

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

// The paths registered for deletion at the next restart.
std::vector<std::string> PendingDeletions();

// Restarts Wine's Windows as "wineboot -r" does: the registered deletions
// are carried out.
::testing::AssertionResult Restart();

// The keys of the Add/Remove Programs entries named "NORDAL 5120 USB Driver".
std::vector<std::string> KitEntries();

// The product codes Windows Installer has registered for the kit's
// package, of any version.
std::vector<std::string> InstalledPackages();

size_t CountOf(const std::vector<std::string>& texts, const std::string& text);

}  // namespace e2e

#endif
