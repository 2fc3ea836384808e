// End-to-end tests of the kit's Windows Installer package under Wine, as
// fleet tools run msiexec: each test is one scenario of installs, upgrades
// and removals, with the traces of both programs caught by tracecap's
// listen mode. Whatever a scenario leaves installed is then removed the
// way a fleet tool removes it, after which the machine must be as it was.
#include <windows.h>
// msi.h needs windows.h first.
#include <msi.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/setup_fixture.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tests/kit_facts/windows_releases.h"
#include "tests/wine/files.h"
#include "tests/wine/listener.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"
#include "tests/wine/registry.h"
#include "tests/wine/wine_answers.h"

namespace e2e {

using namespace wine;
namespace {

// What is installed after a scenario's steps.
enum class Kit { kNone, kPackage, kSetupProgram };

// One command of a scenario and the exit code it must end with. The
// command is "package", "older package" or "failing package" (installed
// silently, or with "full" by its full user interface), "remove package"
// (by its full user interface), "repair package" (silently, as fleet
// tools repair), "setup" (the setup program, silently), or "unstage" (the
// staged copies deleted by hand, not a command). `properties` go on the
// command line; with `refuseStaging`, the INF store refuses qcser.inf.
struct Step {
  std::string command;
  DWORD exitCode;
  std::string properties = "";
  bool refuseStaging = false;
};

// Windows Installer's answer for an install it refused: ERROR_INSTALL_FAILURE.
const DWORD kRefused = 1603;

// What the kit can leave on Windows: the folders, INF files, keys,
// entries, compatibility records and registered packages there are.
struct Footprint {
  std::vector<std::string> programFiles;
  std::vector<std::string> infStore;
  std::vector<std::string> software;
  std::vector<std::string> entries;
  std::vector<std::string> layers;
  std::vector<std::string> packages;
};

void ExpectSame(const Footprint& before, const Footprint& after) {
  EXPECT_EQ(after.programFiles, before.programFiles);
  EXPECT_EQ(after.infStore, before.infStore);
  EXPECT_EQ(after.software, before.software);
  EXPECT_EQ(after.entries, before.entries);
  EXPECT_EQ(after.layers, before.layers);
  EXPECT_EQ(after.packages, before.packages);
}

class PackageTest : public SetupTest {
 protected:
  Footprint State() {
    return {NamesIn(productFolder_.substr(0, productFolder_.rfind('\\'))),
            NamesIn(InfStoreFolder()),
            SubKeys(HKEY_LOCAL_MACHINE, "SOFTWARE"),
            KitEntries(),
            ValueNames(HKEY_CURRENT_USER, kit::kLayersKey),
            InstalledPackages()};
  }

  std::string CommandLine(const std::string& step) {
    if (step == "setup") {
      return Quote(setup_) + " /S";
    }
    const std::string log = " /l*v " + Quote(ScratchFile("msiexec.log"));
    if (step == "remove package") {
      return "msiexec /x " + Quote(Package()) + log;
    }
    if (step == "repair package") {
      return "msiexec /i " + Quote(Package()) + " REINSTALL=ALL REINSTALLMODE=vomus /qn" + log;
    }
    const bool full = step.compare(0, 5, "full ") == 0;
    const std::string name = full ? step.substr(5) : step;
    const std::string copy = name == "package" ? "" : name.substr(0, name.find(' ')) + ".msi";
    return "msiexec /i " + Quote(Package(copy)) + (full ? "" : " /qn") + log;
  }

  // Runs the steps on `release`, checks what they leave installed, removes
  // that silently and checks that the machine is as it was, and that
  // Veskot.exe never showed its prompt. Returns the traces of every step.
  std::vector<ListenLine> Run(const std::vector<Step>& steps, Kit installed,
                              const kit::WindowsRelease& release = kit::kWindows7) {
    UseRelease(release);
    const Footprint before = State();
    std::vector<ListenLine> all;
    for (const Step& step : steps) {
      SCOPED_TRACE(step.command);
      if (step.command == "unstage") {
        for (const std::string& copy : StagedCopies()) {
          EXPECT_TRUE(DeleteOneFile(JoinPath(InfStoreFolder(), copy)));
        }
        continue;
      }
      StagingRefusal refusal;
      if (step.refuseStaging) {
        EXPECT_TRUE(refusal.Make());
      }
      DWORD exitCode = 99;
      std::vector<ListenLine> lines;
      EXPECT_TRUE(RunListened(CommandLine(step.command) + step.properties, &exitCode, &lines));
      EXPECT_EQ(exitCode, step.exitCode);
      all.insert(all.end(), lines.begin(), lines.end());
    }
    const std::vector<std::string> packages = InstalledPackages();
    DWORD exitCode = 99;
    std::vector<ListenLine> lines;
    if (installed == Kit::kPackage) {
      ExpectKitInstalled();
      EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kit::kUninstallKey)) << "the setup program's entry is left";
      ExpectPackageEntry(packages);
      EXPECT_TRUE(
          RunListened("msiexec /x " + (packages.empty() ? "none" : packages[0]) + " /qn", &exitCode, &lines));
      EXPECT_EQ(exitCode, 0u);
    } else if (installed == Kit::kSetupProgram) {
      ExpectInstalled();
      EXPECT_TRUE(RunUninstallCommand("QuietUninstallString", &exitCode, &lines));
      EXPECT_EQ(exitCode, 0u);
    } else {
      EXPECT_TRUE(packages.empty());
    }
    all.insert(all.end(), lines.begin(), lines.end());
    ExpectSame(before, State());
    for (const std::string& text : TextsOf(all, kit::kVeskotExe)) {
      EXPECT_NE(text, Seen(veskot::kPromptAfterDeletion));
      EXPECT_NE(text, Seen(veskot::kPromptWithoutKey));
    }
    return all;
  }

  // Windows Installer's one entry for one registered package: the kit's
  // name, maker and version, a Remove button only.
  void ExpectPackageEntry(const std::vector<std::string>& packages) {
    ASSERT_EQ(packages.size(), 1u);
    EXPECT_EQ(KitEntries(), std::vector<std::string>{packages[0]});
    EXPECT_EQ(MsiQueryProductStateA(packages[0].c_str()), INSTALLSTATE_DEFAULT);
    const std::string key = std::string(kit::kUninstallRoot) + "\\" + packages[0];
    EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, key, "Publisher").data, StoredString(kit::kMaker));
    EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, key, kit::kDisplayVersionValue).data,
              StoredString(kit::kProductVersion));
    for (const char* name : {"NoModify", "NoRepair"}) {
      EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, key, name).data, std::string("\x01\0\0\0", 4)) << name;
    }
  }
};

TEST_F(PackageTest, SilentInstallPutsTheKitWhereItsProgramsLookAndRemovalLeavesNothing) {
  for (const kit::WindowsRelease* release : SilentInstallReleases()) {
    SCOPED_TRACE(release->name);
    const std::vector<ListenLine> lines = Run({{"package", 0}}, Kit::kPackage, *release);
    // Quorlin.exe ran once, as the package's action, and staged the four
    // INF files; Veskot.exe once, silently, as its removal.
    const std::vector<std::string> staging = TextsOf(lines, kit::kQuorlinExe);
    ASSERT_FALSE(staging.empty());
    EXPECT_EQ(staging.front(), quorlin::kTag);
    EXPECT_EQ(CountOf(staging, ClassificationSeen(*release)), 1u);
    EXPECT_EQ(CountOf(staging, Seen(quorlin::kPkgCopyInfSuccessful)), 4u);
    EXPECT_EQ(CountOf(TextsOf(lines, kit::kVeskotExe), Seen(veskot::kUninstallDevice)), 1u);
  }
}

// Veskot.exe runs as SYSTEM in the removal, where no one would see its
// prompt: the message comes from the user interface, in the person's own
// session (SetupOnADisplay shows it).
TEST_F(PackageTest, ByItsFullInterfaceItInstallsAndRemovesWithoutVeskotsPrompt) {
  Run({{"full package", 0}, {"remove package", 0}}, Kit::kNone);
}

// What Windows Installer reports is the machine's state: an install that
// Windows' INF store refused fails and leaves the machine as it was; a
// repair brings the staged copies back; a per-user install is refused
// with nothing written. Windows Installer before 5.0 (Windows Vista's and
// older, and Wine's 4.5) ignores MSIINSTALLPERUSER and installs for all
// users.
TEST_F(PackageTest, ReportsTheMachineAsItIs) {
  OSVERSIONINFOA version;
  ZeroMemory(&version, sizeof(version));
  version.dwOSVersionInfoSize = sizeof(version);
  const bool perUserOnWindows7 =
      !UnderWine() && GetVersionExA(&version) &&
      (version.dwMajorVersion > 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion >= 1));
  const struct {
    const char* name;
    std::vector<Step> steps;
    Kit installed;
  } scenarios[] = {
      {"staging refused", {{"package", kRefused, "", true}}, Kit::kNone},
      {"repair restages", {{"package", 0}, {"unstage", 0}, {"repair package", 0}}, Kit::kPackage},
      {"per user", {{"package", kRefused, " ALLUSERS=\"\""}}, Kit::kNone},
      {"per user on Windows 7",
       {{"package", perUserOnWindows7 ? kRefused : 0, " ALLUSERS=2 MSIINSTALLPERUSER=1"}},
       perUserOnWindows7 ? Kit::kNone : Kit::kPackage},
  };
  for (const auto& scenario : scenarios) {
    SCOPED_TRACE(scenario.name);
    Run(scenario.steps, scenario.installed);
  }
}

TEST_F(PackageTest, RefusesWindows8AndChangesNothing) {
  const std::vector<ListenLine> lines = Run({{"package", kRefused}}, Kit::kNone, kit::kWindows8);
  EXPECT_TRUE(TextsOf(lines, kit::kQuorlinExe).empty());
}

TEST_F(PackageTest, UpgradesAnOlderVersionToOneInstallation) {
  const std::vector<ListenLine> lines = Run({{"older package", 0}, {"package", 0}}, Kit::kPackage);
  // The older one went whole, its staged INF files too, before the new one.
  EXPECT_EQ(CountOf(TextsOf(lines, kit::kVeskotExe), Seen(veskot::kUninstallDevice)), 2u);
}

TEST_F(PackageTest, InstallingTheSameVersionAgainMakesNoSecondInstallation) {
  Run({{"package", 0}, {"package", 0}}, Kit::kPackage);
}

TEST_F(PackageTest, RemovesAKitTheSetupProgramInstalled) {
  Run({{"setup", 0}, {"package", 0}}, Kit::kPackage);
}

TEST_F(PackageTest, TheSetupProgramRemovesAKitThePackageInstalled) {
  Run({{"package", 0}, {"setup", 0}}, Kit::kSetupProgram);
}

TEST_F(PackageTest, AFailureAfterTheStagingRollsTheMachineBack) {
  const std::vector<ListenLine> lines = Run({{"failing package", RolledBackInstallExitCode()}}, Kit::kNone);
  // The INF files were staged, and unstaged by the rollback.
  EXPECT_EQ(CountOf(TextsOf(lines, kit::kQuorlinExe), Seen(quorlin::kPkgCopyInfSuccessful)), 8u);
  EXPECT_EQ(CountOf(TextsOf(lines, kit::kVeskotExe), Seen(veskot::kUninstallDevice)), 1u);
}

}  // namespace
}  // namespace e2e
