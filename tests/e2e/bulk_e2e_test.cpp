// End-to-end tests of Veskot.exe on machines with big trees: ten thousand
// files in the product folder, five thousand INF files in the INF store.
// Each takes half a minute or more under Wine, so they run in the 32-bit
// prefix only.
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_trace.h"
#include "tests/e2e/uninstall_machine.h"

namespace e2e {

using namespace wine;
namespace {

class BulkMachine : public UninstallerTest {
 protected:
  void CheckRun() {
    RunExpectation expectation;
    expectation.scanResults = {kNullText};
    const std::vector<std::string> expected = ExpectedRun(expectation);
    EXPECT_TRUE(SameDebugStrings(expected, RunVeskot(veskotPath_, {}).strings));
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

  CheckRun();

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
  for (int number = 0; number < 5000; ++number) {
    char name[16];
    wsprintfA(name, "bulk%04d.inf", number);
    const bool names = number % 1000 == 500;
    ASSERT_NO_FATAL_FAILURE(
        AddStoreContent({name, "", Encoding::kAnsi, names ? SearchFate::kDeleted : SearchFate::kKept,
                         names ? kAdbLegacyModelLine : ""},
                        names ? handset : other));
  }

  CheckRun();

  ExpectInfStoreCleaned(true);
  EXPECT_TRUE(FolderExists(StorePath("x.inf")));
}

}  // namespace
}  // namespace e2e
