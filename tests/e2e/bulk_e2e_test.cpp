// End-to-end tests of Veskot.exe on machines with big trees: ten thousand
// files in the product folder, five thousand INF files in the INF store.
// Each takes half a minute or more under Wine, so they run in the 32-bit
// prefix only.
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
#include "tests/wine/long_paths_and_links.h"

namespace e2e {
namespace {

// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;
using namespace wine;
using kit::kNullShown;
using kit::Traced;

class BulkMachine : public VeskotScenario {
 protected:
  void CheckRun(const Messages& expected) {
    EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(veskotPath_, {}).strings));
  }
};

TEST_F(BulkMachine, TenThousandFilesAllGoAndNothingBesideTheFolder) {
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const std::string beside = productFolder_ + "_old";
  ASSERT_TRUE(MakeFolders(beside));
  ASSERT_TRUE(WriteWholeFile(JoinPath(beside, "keep.txt"), "not in the product folder\r\n"));
  const std::string bulk = productFolder_ + "\\bulk";
  ASSERT_TRUE(MakeFolders(bulk));
  ASSERT_TRUE(MakeNumberedFiles(bulk, "file", ".dat", 10000));
  ASSERT_EQ(ListFolder(bulk).size(), 10000u);
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), kStartPkgGetSysInfo,
             OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk({}),
            {kNeedSearch, kStartRegOpenKeyEx, kStartProductFolder, SearchFolder(productFolder_),
             SearchFolder(productFolder_ + "\\bulk"), SearchFolder(productFolder_ + "\\docs"),
             SearchFolder(productFolder_ + "\\docs\\empty"), SearchFolder(productFolder_ + kit::kInfFolder32),
             SearchFolder(productFolder_ + kit::kInfFolder64), SearchFolder(productFolder_ + "\\tools"),
             kOverProductFolder, kStartTempFolder, SearchFolder(tempFolder_),
             SearchFolder(tempFolder_ + "\\cache"), SearchFolder(tempFolder_ + "\\cache\\a"),
             SearchFolder(tempFolder_ + "\\cache\\a\\b"), SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"),
             kOverTempFolder}});

  CheckRun(expected);

  ExpectFoldersGone();
  EXPECT_TRUE(FileExists(JoinPath(beside, "keep.txt")));
  EXPECT_TRUE(DeleteTree(beside));
}

TEST_F(BulkMachine, FiveThousandInfFilesAmongOddEntriesAreReadThroughAndOnlyHandsetInfsGo) {
  std::string handset;
  std::string other;
  ASSERT_TRUE(ReadWholeFile(DataPath("e2e_inf_store", "nordal_adb_legacy.inf"), &handset));
  ASSERT_TRUE(ReadWholeFile(DataPath("e2e_inf_store", "kestrel_camera.inf"), &other));
  ASSERT_NO_FATAL_FAILURE(AddOddStoreEntries());
  ASSERT_TRUE(MakeNumberedFiles(infStore_, "bulk", ".inf", 5000));
  // One in a thousand names the handset: bulk0500.inf, bulk1500.inf and
  // so on.
  for (int number = 0; number < 5000; ++number) {
    char name[16];
    wsprintfA(name, "bulk%04d.inf", number);
    const bool namesHandset = number % 1000 == 500;
    ASSERT_NO_FATAL_FAILURE(
        AddStoreContent(name, namesHandset ? handset : other, Encoding::kAnsi, namesHandset));
  }
  const Messages expected = Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown),
                                   kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
                                  Branch64(veskotPath_),
                                  DeviceWalk({}),
                                  {kNeedSearch,
                                   kFoundHandsetInf,
                                   FileFullName(Store("bulk0500.inf")),
                                   DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
                                   kFoundHandsetInf,
                                   FileFullName(Store("bulk1500.inf")),
                                   DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
                                   kFoundHandsetInf,
                                   FileFullName(Store("bulk2500.inf")),
                                   DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
                                   kFoundHandsetInf,
                                   FileFullName(Store("bulk3500.inf")),
                                   DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
                                   kFoundHandsetInf,
                                   FileFullName(Store("bulk4500.inf")),
                                   DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
                                   kNotAnInf,
                                   NotAnInfName(Store("odd_binary.inf")),
                                   kNotAnInf,
                                   NotAnInfName(Store("odd_empty.inf")),
                                   kFoundHandsetInf,
                                   FileFullName(Store("odd_utf16.inf")),
                                   DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
                                   kNotAnInf,
                                   NotAnInfName(Store("x.inf")),
                                   kStartRegOpenKeyEx,
                                   kStartProductFolder,
                                   SearchFolder(productFolder_),
                                   FindFirstFailed(productFolder_),
                                   kOverProductFolder,
                                   kStartTempFolder,
                                   SearchFolder(tempFolder_),
                                   FindFirstFailed(tempFolder_),
                                   kOverTempFolder}});

  CheckRun(expected);

  ExpectInfStoreAfterRun(
      {"bulk0500.inf", "bulk1500.inf", "bulk2500.inf", "bulk3500.inf", "bulk4500.inf", "odd_utf16.inf"});
  EXPECT_TRUE(FolderExists(Store("x.inf")));
}

}  // namespace
}  // namespace e2e
