// Handing one INF file of the package to Windows.
#include "installer/inf_staging.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/trace_log.h"
#include "winsim/machine.h"

namespace {
const char kTag[] = "..Quorlin32 - Zenor";
const char kFolder[] = "C:\\Program Files\\NORDAL_5120_USB_DRIVER\\INF";

class InfStagingTest : public ::testing::Test {
 protected:
  void SetUp() override { winsim::Reset(); }
};

TEST_F(InfStagingTest, HandsTheFileWithItsFolderAsMediaLocation) {
  EXPECT_EQ(PkgCopyInf(kFolder, "qcser.inf"), 1);
  const std::string fullName = std::string(kFolder) + "\\qcser.inf";
  const std::vector<std::string> expected = {"\r\n =====>>>  Enter PkgCopyInf",
                                             "Full name: " + fullName + "\n",
                                             "\r\n =====>>>   PkgCopyInf Successful"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  const std::vector<winsim::CopyOemInfCall>& calls = winsim::machine().copyOemInfCalls;
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].sourceInfFileName, fullName);
  EXPECT_EQ(calls[0].mediaLocation, kFolder);
  EXPECT_EQ(calls[0].mediaType, static_cast<DWORD>(SPOST_PATH));
  EXPECT_EQ(calls[0].copyStyle, 0u);
  EXPECT_FALSE(calls[0].destinationNameGiven);
  EXPECT_EQ(calls[0].destinationSize, 0u);
  EXPECT_FALSE(calls[0].requiredSizeGiven);
  EXPECT_FALSE(calls[0].componentGiven);
}

TEST_F(InfStagingTest, RefusedFileIsReportedAndTheStepStillCloses) {
  const std::string fullName = std::string(kFolder) + "\\qcnet.inf";
  winsim::machine().refusedInfs[fullName] = ERROR_FILE_NOT_FOUND;
  EXPECT_EQ(PkgCopyInf(kFolder, "qcnet.inf"), 1);
  const std::vector<std::string> expected = {
      "\r\n =====>>>  Enter PkgCopyInf", "Full name: " + fullName + "\n",
      "SetupCopyOEMInf failed, error code: 0x2\n", "\r\n =====>>>   PkgCopyInf Successful"};
  EXPECT_EQ(TracedMessages(kTag), expected);
}

TEST_F(InfStagingTest, NoBufferForTheFullName) {
  winsim::machine().failingHeapAllocations = {1};
  EXPECT_EQ(PkgCopyInf(kFolder, "qcmdm.inf"), 0);
  const std::vector<std::string> expected = {"\r\n =====>>>  Enter PkgCopyInf",
                                             "Malloc for pFullName failed!\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(winsim::machine().copyOemInfCalls.empty());
}

TEST_F(InfStagingTest, FullNameBeyondMaxPathIsNotBuilt) {
  const std::string folder = "C:\\" + std::string(250, 'f');
  EXPECT_EQ(PkgCopyInf(folder.c_str(), "android_usb.inf"), 0);
  EXPECT_EQ(TracedMessages(kTag), std::vector<std::string>{"\r\n =====>>>  Enter PkgCopyInf"});
  EXPECT_TRUE(winsim::machine().copyOemInfCalls.empty());
  ClearTrace();
  const std::string fits = "C:\\" + std::string(259 - 3 - 1 - 9, 'f');  // 259 with "\qcmdm.inf"
  EXPECT_EQ(PkgCopyInf(fits.c_str(), "qcmdm.inf"), 1);
  ASSERT_EQ(winsim::machine().copyOemInfCalls.size(), 1u);
  EXPECT_EQ(winsim::machine().copyOemInfCalls[0].sourceInfFileName.size(), 259u);
}
}  // namespace
