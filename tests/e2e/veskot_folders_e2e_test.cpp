// End-to-end tests of Veskot.exe: the product folder and the temporary
// folder go with everything in them, but for a file a program holds open,
// whose holder is ended only when it runs from the folder; and paths past
// MAX_PATH are passed over. Each test lays the folders out through Win32,
// runs the real uninstaller under the debugger and checks its whole
// debugger output and what it leaves.
#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/veskot_device_walk.h"
#include "tests/e2e/veskot_fixture.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tests/wine/capture.h"
#include "tests/wine/files.h"
#include "tests/wine/long_paths_and_links.h"
#include "tests/wine/programs.h"

namespace e2e {
namespace {

// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;
using namespace wine;
using kit::kNullShown;
using kit::Traced;

// The product folder and the temporary folder go with everything in them.
// No keys, no device instances of the test's own.
using FolderDeletion = VeskotScenario;

// How many programs besides the handset tool run while the product
// folder is deleted.
const size_t kOtherPrograms = 40;

TEST_F(FolderDeletion, FileHeldByARunningProgramOfAnotherNameStaysAndTheProgramRuns) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const std::string guide = productFolder_ + "\\docs\\guide.txt";
  // A document viewer holds the file open: the handle it inherited is the
  // only one left.
  const std::string viewerPath = JoinPath(kitFolder_, "DocViewer.exe");
  ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "e2e_sleeper.exe"), viewerPath));
  HeldOpenFile held;
  ASSERT_TRUE(held.Open(guide, true));
  BackgroundProgram viewer;
  ASSERT_TRUE(viewer.Start(viewerPath, true));
  held.Close();
  // The file's name is looked up among the processes, and the file stays.
  const Messages expected = Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown),
                                   kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
                                  Branch64(veskotPath_),
                                  DeviceWalk({}),
                                  {kNeedSearch,
                                   kStartRegOpenKeyEx,
                                   kStartProductFolder,
                                   SearchFolder(productFolder_),
                                   SearchFolder(productFolder_ + "\\docs"),
                                   SearchFolder(productFolder_ + "\\docs\\empty"),
                                   DeleteFailedTryLater(guide),
                                   HolderName("guide.txt"),
                                   DeleteFailed(guide),
                                   SearchFolder(productFolder_ + kit::kInfFolder32),
                                   SearchFolder(productFolder_ + kit::kInfFolder64),
                                   SearchFolder(productFolder_ + "\\tools"),
                                   kOverProductFolder,
                                   kStartTempFolder,
                                   SearchFolder(tempFolder_),
                                   SearchFolder(tempFolder_ + "\\cache"),
                                   SearchFolder(tempFolder_ + "\\cache\\a"),
                                   SearchFolder(tempFolder_ + "\\cache\\a\\b"),
                                   SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"),
                                   kOverTempFolder}});

  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(veskotPath_, {}).strings));

  EXPECT_TRUE(viewer.Running()) << viewerPath << " was ended";
  EXPECT_TRUE(FileExists(guide));
  EXPECT_FALSE(FolderExists(productFolder_ + "\\docs\\empty"));
  EXPECT_FALSE(FolderExists(productFolder_ + kit::kInfFolder32));
  EXPECT_FALSE(FileExists(productFolder_ + "\\readme.txt"));
  EXPECT_FALSE(FolderExists(tempFolder_));
  viewer.Stop();
}

TEST_F(FolderDeletion, AmongManyRunningProgramsOnlyTheHolderIsEnded) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  ASSERT_NO_FATAL_FAILURE(StartHandsetTool());
  // Names that come close to the handset tool's without containing it,
  // then plain ones.
  std::vector<std::string> names = {"HandsetToo.exe", "andsetTool.exe", "HandsetTool.ex.exe",
                                    "Handset Tool.exe", "HandsetTool_old.exe"};
  while (names.size() < kOtherPrograms) {
    names.push_back("Sleeper" + std::to_string(names.size()) + ".exe");
  }
  std::vector<std::unique_ptr<BackgroundProgram>> others;
  for (const std::string& name : names) {
    const std::string path = JoinPath(kitFolder_, name);
    ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "e2e_sleeper.exe"), path));
    others.emplace_back(new BackgroundProgram);
    ASSERT_TRUE(others.back()->Start(path));
  }
  const std::map<DWORD, std::string> before = RunningProcesses();
  ASSERT_GT(before.size(), kOtherPrograms);
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo,
             OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk({}),
            {kNeedSearch, kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
             SearchFolder(productFolder_ + "\\docs"), SearchFolder(productFolder_ + "\\docs\\empty"),
             SearchFolder(productFolder_ + kit::kInfFolder32),
             SearchFolder(productFolder_ + kit::kInfFolder64), SearchFolder(productFolder_ + "\\tools"),
             DeleteFailedTryLater(productFolder_ + "\\tools\\HandsetTool.exe"), HolderName("HandsetTool.exe"),
             kOverProductFolder, kStartTempFolder, SearchFolder(tempFolder_),
             SearchFolder(tempFolder_ + "\\cache"), SearchFolder(tempFolder_ + "\\cache\\a"),
             SearchFolder(tempFolder_ + "\\cache\\a\\b"), SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"),
             kOverTempFolder}});

  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(veskotPath_, {}).strings));

  ExpectHandsetToolEnded();
  for (size_t i = 0; i < others.size(); ++i) {
    EXPECT_TRUE(others[i]->Running()) << names[i] << " was ended";
  }
  const std::map<DWORD, std::string> after = RunningProcesses();
  for (const auto& process : before) {
    if (lstrcmpiA(process.second.c_str(), "HandsetTool.exe") != 0) {
      EXPECT_EQ(after.count(process.first), 1u) << process.second << " (" << process.first << ") ended";
    }
  }
  ExpectFoldersGone();
}

TEST_F(FolderDeletion, UninstallerInsideTheProductFolderDoesNotEndItself) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const std::string inside = JoinPath(productFolder_, kit::kVeskotExe);
  ASSERT_TRUE(CopyOneFile(veskotPath_, inside));
  const Messages expected = Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown),
                                   kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
                                  Branch64(inside),
                                  DeviceWalk({}),
                                  {kNeedSearch,
                                   kStartRegOpenKeyEx,
                                   kStartProductFolder,
                                   SearchFolder(productFolder_),
                                   SearchFolder(productFolder_ + "\\docs"),
                                   SearchFolder(productFolder_ + "\\docs\\empty"),
                                   SearchFolder(productFolder_ + kit::kInfFolder32),
                                   SearchFolder(productFolder_ + kit::kInfFolder64),
                                   SearchFolder(productFolder_ + "\\tools"),
                                   DeleteFailedTryLater(inside),
                                   HolderName(kit::kVeskotExe),
                                   DeleteFailed(inside),
                                   kOverProductFolder,
                                   kStartTempFolder,
                                   SearchFolder(tempFolder_),
                                   SearchFolder(tempFolder_ + "\\cache"),
                                   SearchFolder(tempFolder_ + "\\cache\\a"),
                                   SearchFolder(tempFolder_ + "\\cache\\a\\b"),
                                   SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"),
                                   kOverTempFolder}});

  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(inside, {}).strings));

  // It went on to the temporary folder and ended as always.
  EXPECT_TRUE(FileExists(inside));
  EXPECT_EQ(ListFolder(productFolder_).size(), 1u);
  EXPECT_FALSE(FolderExists(tempFolder_));
}

TEST_F(FolderDeletion, EntryPathOf259CharactersGoesAndOf260IsPassedOverAndTraced) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const std::string outer = productFolder_ + "\\long\\";
  const std::string deep = outer + std::string(240 - outer.size(), 'd');
  const std::string file259 = JoinPath(deep, std::string(18, 'a'));
  const std::string file260 = JoinPath(deep, std::string(19, 'b'));
  // A folder whose own path fits but whose search pattern would not, and
  // one whose pattern just fits.
  const std::string folder259 = JoinPath(deep, std::string(18, 'f'));
  const std::string folder255 = JoinPath(deep, std::string(14, 'g'));
  ASSERT_EQ(file259.size(), 259u);
  ASSERT_EQ(file260.size(), 260u);
  ASSERT_EQ(folder255.size(), 255u);
  ASSERT_TRUE(MakeFolders(deep));
  ASSERT_TRUE(WriteLongFile(file259, "259\r\n"));
  ASSERT_TRUE(WriteLongFile(file260, "260\r\n"));
  ASSERT_TRUE(MakeLongFolder(folder259));
  ASSERT_TRUE(MakeLongFolder(folder255));
  ASSERT_TRUE(WriteLongFile(JoinPath(folder255, "z"), "257\r\n"));
  const Messages expected = Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown),
                                   kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
                                  Branch64(veskotPath_),
                                  DeviceWalk({}),
                                  {kNeedSearch,
                                   kStartRegOpenKeyEx,
                                   kStartProductFolder,
                                   SearchFolder(productFolder_),
                                   SearchFolder(productFolder_ + "\\docs"),
                                   SearchFolder(productFolder_ + "\\docs\\empty"),
                                   SearchFolder(productFolder_ + kit::kInfFolder32),
                                   SearchFolder(productFolder_ + kit::kInfFolder64),
                                   SearchFolder(productFolder_ + "\\long"),
                                   SearchFolder(deep),
                                   PathTooLong(file260),
                                   PathTooLong(folder259),
                                   SearchFolder(folder255),
                                   SearchFolder(productFolder_ + "\\tools"),
                                   kOverProductFolder,
                                   kStartTempFolder,
                                   SearchFolder(tempFolder_),
                                   SearchFolder(tempFolder_ + "\\cache"),
                                   SearchFolder(tempFolder_ + "\\cache\\a"),
                                   SearchFolder(tempFolder_ + "\\cache\\a\\b"),
                                   SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"),
                                   kOverTempFolder}});

  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(veskotPath_, {}).strings));

  EXPECT_FALSE(LongPathExists(file259));
  EXPECT_TRUE(LongPathExists(file260));
  EXPECT_TRUE(LongPathExists(folder259));
  EXPECT_FALSE(LongPathExists(folder255));
  EXPECT_TRUE(FolderExists(deep));
  EXPECT_FALSE(FileExists(productFolder_ + "\\readme.txt"));
  EXPECT_FALSE(FolderExists(productFolder_ + kit::kInfFolder32));
  EXPECT_FALSE(FolderExists(tempFolder_));
}

TEST_F(FolderDeletion, PathsPastMaxPathArePassedOver) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  // A folder of 240 characters, which the ANSI functions still reach.
  const std::string outer = tempFolder_ + "\\long\\";
  const std::string deep = outer + std::string(240 - outer.size(), 'a');
  ASSERT_TRUE(MakeFolders(deep));
  // A file whose full path has more than MAX_PATH - 1 characters, and a
  // folder whose path fits but whose search pattern would not.
  const std::string file = JoinPath(deep, std::string(26, 'c') + ".txt");
  const std::string folder = JoinPath(deep, std::string(MAX_PATH - 3 - deep.size() - 1, 'b'));
  ASSERT_GE(file.size(), static_cast<size_t>(MAX_PATH));
  ASSERT_LT(folder.size(), static_cast<size_t>(MAX_PATH));
  ASSERT_GE(folder.size() + 4, static_cast<size_t>(MAX_PATH));
  ASSERT_TRUE(WriteLongFile(file, "far down\r\n"));
  ASSERT_TRUE(MakeLongFolder(folder));
  ASSERT_TRUE(WriteLongFile(JoinPath(folder, "inner.txt"), "further down\r\n"));
  const Messages expected = Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown),
                                   kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
                                  Branch64(veskotPath_),
                                  DeviceWalk({}),
                                  {kNeedSearch,
                                   kStartRegOpenKeyEx,
                                   kStartProductFolder,
                                   SearchFolder(productFolder_),
                                   SearchFolder(productFolder_ + "\\docs"),
                                   SearchFolder(productFolder_ + "\\docs\\empty"),
                                   SearchFolder(productFolder_ + kit::kInfFolder32),
                                   SearchFolder(productFolder_ + kit::kInfFolder64),
                                   SearchFolder(productFolder_ + "\\tools"),
                                   kOverProductFolder,
                                   kStartTempFolder,
                                   SearchFolder(tempFolder_),
                                   SearchFolder(tempFolder_ + "\\cache"),
                                   SearchFolder(tempFolder_ + "\\cache\\a"),
                                   SearchFolder(tempFolder_ + "\\cache\\a\\b"),
                                   SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"),
                                   SearchFolder(tempFolder_ + "\\long"),
                                   SearchFolder(deep),
                                   PathTooLong(folder),
                                   PathTooLong(file),
                                   kOverTempFolder}});

  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(veskotPath_, {}).strings));

  EXPECT_TRUE(LongPathExists(file));
  EXPECT_TRUE(LongPathExists(JoinPath(folder, "inner.txt")));
  EXPECT_TRUE(FolderExists(deep));
  EXPECT_FALSE(FileExists(tempFolder_ + "\\setup.log"));
  EXPECT_FALSE(FolderExists(tempFolder_ + "\\cache"));
  EXPECT_FALSE(FolderExists(productFolder_));
}

}  // namespace
}  // namespace e2e
