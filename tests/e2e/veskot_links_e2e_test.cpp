// End-to-end tests of Veskot.exe: a link to another folder, inside the
// product folder or as the product folder itself, is removed and never
// followed: what it points to stays. Each test lays the folders out
// through Win32, runs the real uninstaller under the debugger and checks
// its debugger output and what it leaves.
#include <windows.h>

#include <algorithm>
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
#include "tests/wine/known_wine_gap.h"
#include "tests/wine/long_paths_and_links.h"
#include "tests/wine/wine_answers.h"

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

TEST_F(FolderDeletion, JunctionGoesAndWhatItPointsToStays) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const std::string target = JoinPath(kitFolder_, "shared_drivers");
  ASSERT_TRUE(MakeFolders(target));
  ASSERT_TRUE(WriteWholeFile(JoinPath(target, "keep.sys"), "not the kit's\r\n"));
  const std::string link = productFolder_ + "\\docs\\drivers";
  KnownWineGap(kNoJunctions, [&] {
    DWORD error = ERROR_SUCCESS;
    ASSERT_TRUE(MakeJunction(link, target, &error));
    // The junction is removed, not searched: it sends nothing.
    const Messages expected = Join(
        {{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo,
          OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
         Branch64(veskotPath_),
         DeviceWalk({}),
         {kNeedSearch, kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
          SearchFolder(productFolder_ + "\\docs"), SearchFolder(productFolder_ + "\\docs\\empty"),
          SearchFolder(productFolder_ + kit::kInfFolder32), SearchFolder(productFolder_ + kit::kInfFolder64),
          SearchFolder(productFolder_ + "\\tools"), kOverProductFolder, kStartTempFolder,
          SearchFolder(tempFolder_), SearchFolder(tempFolder_ + "\\cache"),
          SearchFolder(tempFolder_ + "\\cache\\a"), SearchFolder(tempFolder_ + "\\cache\\a\\b"),
          SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"), kOverTempFolder}});

    EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(veskotPath_, {}).strings));

    EXPECT_TRUE(FileExists(JoinPath(target, "keep.sys")));
    EXPECT_FALSE(FolderExists(productFolder_));
  });
}

TEST_F(FolderDeletion, FolderLinkIsNotFollowedAndWhatItPointsToStays) {
  if (!UnderWine()) {
    GTEST_SKIP() << "a Unix folder link, Wine's stand-in for a junction; the junction test and the host "
                    "tests cover Windows";
  }
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const std::string target = JoinPath(kitFolder_, "shared_drivers");
  ASSERT_TRUE(MakeFolders(target + "\\nested"));
  ASSERT_TRUE(WriteWholeFile(JoinPath(target, "keep.sys"), "not the kit's\r\n"));
  ASSERT_TRUE(WriteWholeFile(JoinPath(target, "nested\\keep.inf"), "not the kit's either\r\n"));
  const std::string link = productFolder_ + "\\docs\\drivers";
  UnixFolderLink made;
  ASSERT_TRUE(made.Make(link, target));
  ASSERT_EQ(AttributesOf(link) & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
  // The link is not searched: it sends nothing.
  const Messages expected = Join(
      {{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo, OsVersion(6, 1),
        Windows7Line(), kOverPkgGetSysInfo},
       Branch64(veskotPath_),
       DeviceWalk({}),
       {kNeedSearch, kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
        SearchFolder(productFolder_ + "\\docs"), SearchFolder(productFolder_ + "\\docs\\empty"),
        SearchFolder(productFolder_ + kit::kInfFolder32), SearchFolder(productFolder_ + kit::kInfFolder64),
        SearchFolder(productFolder_ + "\\tools"), kOverProductFolder, kStartTempFolder,
        SearchFolder(tempFolder_), SearchFolder(tempFolder_ + "\\cache"),
        SearchFolder(tempFolder_ + "\\cache\\a"), SearchFolder(tempFolder_ + "\\cache\\a\\b"),
        SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"), kOverTempFolder}});

  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(veskotPath_, {}).strings));

  std::string content;
  EXPECT_TRUE(ReadWholeFile(JoinPath(target, "keep.sys"), &content));
  EXPECT_EQ(content, "not the kit's\r\n");
  EXPECT_TRUE(ReadWholeFile(JoinPath(target, "nested\\keep.inf"), &content));
  EXPECT_EQ(content, "not the kit's either\r\n");
  // Wine cannot remove its stand-in while the folder it points to holds
  // files (wine_answers.h: FolderLinksStay), so the link and the folders
  // above it stay; Windows removes a junction (the host tests prove it).
  EXPECT_EQ(FolderExists(link), FolderLinksStay());
  EXPECT_FALSE(FileExists(productFolder_ + "\\docs\\guide.txt"));
  EXPECT_FALSE(FolderExists(productFolder_ + "\\docs\\empty"));
  EXPECT_FALSE(FolderExists(productFolder_ + kit::kInfFolder32));
  EXPECT_FALSE(FolderExists(tempFolder_));
}

TEST_F(FolderDeletion, ProductFolderThatIsALinkIsNotEnteredAndWhatItPointsToStays) {
  if (!UnderWine()) {
    GTEST_SKIP() << "a Unix folder link, Wine's stand-in for a junction; the junction test and the host "
                    "tests cover Windows";
  }
  const std::string target = JoinPath(kitFolder_, "elsewhere");
  ASSERT_TRUE(MakeFolders(target + "\\nested"));
  ASSERT_TRUE(WriteWholeFile(JoinPath(target, "keep.sys"), "not the kit's\r\n"));
  ASSERT_TRUE(WriteWholeFile(JoinPath(target, "nested\\keep.inf"), "not the kit's either\r\n"));
  ASSERT_FALSE(FolderExists(productFolder_));
  UnixFolderLink made;
  ASSERT_TRUE(made.Make(productFolder_, target));

  const CaptureResult result = RunVeskot(veskotPath_, {});

  EXPECT_EQ(result.exitCode, 0u);
  const std::vector<std::string>& strings = result.strings;
  EXPECT_NE(std::find(strings.begin(), strings.end(), FolderIsLink(productFolder_)), strings.end());
  EXPECT_EQ(std::find(strings.begin(), strings.end(), SearchFolder(productFolder_)), strings.end());
  std::string content;
  EXPECT_TRUE(ReadWholeFile(JoinPath(target, "keep.sys"), &content));
  EXPECT_EQ(content, "not the kit's\r\n");
  EXPECT_TRUE(ReadWholeFile(JoinPath(target, "nested\\keep.inf"), &content));
  EXPECT_EQ(content, "not the kit's either\r\n");
}

}  // namespace
}  // namespace e2e
