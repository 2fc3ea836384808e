// End-to-end tests of the kit's setup program under Wine: installs and
// uninstalls as a handset owner and a fleet tool run them, with the
// traces of both programs caught by tracecap's listen mode, and what the
// machine holds afterwards.
#include <windows.h>

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
#include "tests/wine/long_paths_and_links.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"
#include "tests/wine/registry.h"
#include "tests/wine/wine_answers.h"

namespace e2e {

using namespace wine;
namespace {

TEST_F(SetupTest, SilentInstallPutsTheKitWhereItsProgramsLook) {
  for (const kit::WindowsRelease* release : SilentInstallReleases()) {
    SCOPED_TRACE(release->name);
    ASSERT_NO_FATAL_FAILURE(RemoveKit());
    ASSERT_NO_FATAL_FAILURE(UseRelease(*release));
    DWORD exitCode = 99;
    std::vector<ListenLine> lines;
    ASSERT_TRUE(RunSetup(" /S", &exitCode, &lines));
    EXPECT_EQ(exitCode, 0u);
    ExpectInstalled();
    // The installer sent its trace, classified Windows as the release
    // and staged the four INF files; nothing was there to remove first.
    const std::vector<std::string> trace = TextsOf(lines, kit::kQuorlinExe);
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.front(), quorlin::kTag);
    EXPECT_EQ(CountOf(trace, ClassificationSeen(*release)), 1u);
    EXPECT_EQ(CountOf(trace, Seen(quorlin::kPkgCopyInfSuccessful)), 4u);
    EXPECT_TRUE(TextsOf(lines, kit::kVeskotExe).empty());
  }
}

TEST_F(SetupTest, QuietUninstallLeavesNothingAndShowsNoBox) {
  std::vector<ListenLine> lines;
  ASSERT_NO_FATAL_FAILURE(InstallSilently(&lines));
  DWORD exitCode = 99;
  const std::vector<std::string> staged = StagedCopies();
  ASSERT_EQ(staged.size(), 4u);
  // The uninstall program refuses to run from the folder it deletes.
  ASSERT_TRUE(RunListened(Quote(productFolder_ + "\\uninstall.exe") + " /uninstall /S", &exitCode, &lines));
  EXPECT_EQ(exitCode, kExitFailed);
  EXPECT_TRUE(TextsOf(lines, kit::kVeskotExe).empty());
  EXPECT_EQ(StagedCopies(), staged);

  ASSERT_TRUE(RunUninstallCommand("QuietUninstallString", &exitCode, &lines));
  EXPECT_EQ(exitCode, 0u);
  // The command returned once everything was gone.
  ExpectNothingLeft(staged);
  const std::vector<std::string> trace = TextsOf(lines, kit::kVeskotExe);
  EXPECT_EQ(CountOf(trace, Seen(veskot::kUninstallDevice)), 1u);
  for (const std::string& text : trace) {
    EXPECT_EQ(text.find("Start present a prompt"), std::string::npos) << "a silent uninstall showed a box";
  }
}

TEST_F(SetupTest, RefusesWindows8AndChangesNothing) {
  ASSERT_NO_FATAL_FAILURE(UseRelease(kit::kWindows8));
  const std::string programFiles = productFolder_.substr(0, productFolder_.rfind('\\'));
  const std::vector<std::string> programFilesBefore = NamesIn(programFiles);
  const std::vector<std::string> infsBefore = NamesIn(InfStoreFolder());
  const std::vector<std::string> softwareBefore = SubKeys(HKEY_LOCAL_MACHINE, "SOFTWARE");
  const std::vector<std::string> uninstallBefore = SubKeys(HKEY_LOCAL_MACHINE, kit::kUninstallRoot);
  DWORD exitCode = 99;
  std::vector<ListenLine> lines;
  ASSERT_TRUE(RunSetup(" /S", &exitCode, &lines));
  EXPECT_EQ(exitCode, kExitUnsupportedWindows);
  EXPECT_EQ(NamesIn(programFiles), programFilesBefore);
  EXPECT_EQ(NamesIn(InfStoreFolder()), infsBefore);
  EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, "SOFTWARE"), softwareBefore);
  EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, kit::kUninstallRoot), uninstallBefore);
  EXPECT_FALSE(FolderExists(productFolder_));
  EXPECT_TRUE(TextsOf(lines, kit::kQuorlinExe).empty());
}

TEST_F(SetupTest, InstallingTwiceLeavesOneInstallation) {
  std::vector<ListenLine> lines;
  ASSERT_NO_FATAL_FAILURE(InstallSilently(&lines));
  DWORD exitCode = 99;
  // A file an older package had.
  ASSERT_TRUE(WriteWholeFile(JoinPath(packageFolder_, "older.sys"), "an older driver"));
  ASSERT_TRUE(RunSetup(" /S", &exitCode, &lines));
  EXPECT_EQ(exitCode, 0u);
  ExpectInstalled();
  EXPECT_FALSE(FileExists(JoinPath(packageFolder_, "older.sys")));
  // The kit installed before went through its own uninstaller first.
  EXPECT_EQ(CountOf(TextsOf(lines, kit::kVeskotExe), Seen(veskot::kUninstallDevice)), 1u);

  const std::vector<std::string> staged = StagedCopies();
  ASSERT_TRUE(RunUninstallCommand("QuietUninstallString", &exitCode, &lines));
  EXPECT_EQ(exitCode, 0u);
  ExpectNothingLeft(staged);
}

TEST_F(SetupTest, RunsFromAReadOnlyFolder) {
  ASSERT_NO_FATAL_FAILURE(UseRelease(kit::kWindows7));
  const std::string folder = JoinPath(ProgramFolder(), "e2e_read_only");
  const std::string copy = JoinPath(folder, kit::kSetupExe);
  SetAttributes(copy, FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(MakeFolders(folder));
  ASSERT_TRUE(CopyOneFile(setup_, copy));
  ASSERT_TRUE(SetAttributes(copy, FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetAttributes(folder, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
  const std::vector<std::string> before = NamesIn(folder);
  DWORD exitCode = 99;
  std::vector<ListenLine> lines;
  ASSERT_TRUE(RunListened(Quote(copy) + " /S", &exitCode, &lines));
  EXPECT_EQ(exitCode, 0u);
  ExpectInstalled();
  EXPECT_EQ(NamesIn(folder), before);
  SetAttributes(folder, FILE_ATTRIBUTE_DIRECTORY);
  SetAttributes(copy, FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SetupTest, TouchesNothingBesideTheKit) {
  // A folder beside the product folder whose name begins like it, an INF
  // file of another maker with its precompiled copy, another program's
  // Uninstall key and compatibility record, and, inside the product
  // folder, a link to a folder outside it.
  const std::string sibling = productFolder_ + "_notes";
  const std::string outside = JoinPath(ProgramFolder(), "e2e_outside");
  ASSERT_TRUE(MakeFolders(sibling));
  ASSERT_TRUE(WriteWholeFile(JoinPath(sibling, "keep.txt"), "keep"));
  ASSERT_TRUE(MakeFolders(outside));
  ASSERT_TRUE(WriteWholeFile(JoinPath(outside, "keep.txt"), "keep"));
  const std::string otherInf = JoinPath(InfStoreFolder(), "oem_kestrel.inf");
  const std::string otherPnf = JoinPath(InfStoreFolder(), "oem_kestrel.pnf");
  ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "e2e_inf_store\\kestrel_camera.inf"), otherInf));
  ASSERT_TRUE(WriteWholeFile(otherPnf, "precompiled"));
  const std::string otherKey = std::string(kit::kUninstallKey) + "_Tools";
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, otherKey, "DisplayName", "Orvane tools"));
  ASSERT_TRUE(WriteStringValue(HKEY_CURRENT_USER, kit::kLayersKey, "C:\\tools\\other.exe", kit::kRunAsAdmin));

  std::vector<ListenLine> lines;
  ASSERT_NO_FATAL_FAILURE(InstallSilently(&lines));
  UnixFolderLink link;
  ASSERT_TRUE(link.Make(JoinPath(packageFolder_, "linked"), outside));
  DWORD exitCode = 99;
  ASSERT_TRUE(RunSetup(" /S", &exitCode, &lines));
  EXPECT_EQ(exitCode, 0u);
  // Wine cannot remove its stand-in for a junction (wine_answers.h): it
  // stays in the product folder, and the uninstall says so. Windows
  // removes a junction.
  ASSERT_TRUE(RunUninstallCommand("QuietUninstallString", &exitCode, &lines));
  EXPECT_EQ(exitCode, FolderLinksStay() ? kExitRestartRequired : 0u);

  EXPECT_TRUE(FileExists(JoinPath(sibling, "keep.txt")));
  EXPECT_TRUE(FileExists(JoinPath(outside, "keep.txt")));
  EXPECT_TRUE(FileExists(otherInf));
  EXPECT_TRUE(FileExists(otherPnf));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, otherKey));
  EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kit::kLayersKey, "C:\\tools\\other.exe").present);
  link.Remove();
  EXPECT_TRUE(DeleteTree(sibling));
  EXPECT_TRUE(DeleteTree(outside));
  EXPECT_TRUE(DeleteOneFile(otherInf));
  EXPECT_TRUE(DeleteOneFile(otherPnf));
  EXPECT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, otherKey));
  EXPECT_TRUE(DeleteValue(HKEY_CURRENT_USER, kit::kLayersKey, "C:\\tools\\other.exe"));
}

}  // namespace
}  // namespace e2e
