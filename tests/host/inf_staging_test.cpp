// Handing one INF file of the package to Windows.
#include "installer/inf_staging.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/simulated_paths.h"
#include "tests/host/simulated_trace.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "winsim/simulated_windows.h"

namespace {
const std::string& kFolder = sim::kPackageDir32;

class InfStagingTest : public ::testing::Test {
 protected:
  void SetUp() override { winsim::Reset(); }
};

TEST_F(InfStagingTest, HandsTheFileWithItsFolderAsMediaLocation) {
  EXPECT_EQ(PkgCopyInf(kFolder.c_str(), "qcser.inf"), 1);
  const std::string fullName = kFolder + "\\qcser.inf";
  const kit::Messages expected = {quorlin::kEnterPkgCopyInf, quorlin::FullName(fullName),
                                  quorlin::kPkgCopyInfSuccessful};
  EXPECT_EQ(TracedMessages(quorlin::kTag), expected);
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
  const std::string fullName = kFolder + "\\qcnet.inf";
  winsim::machine().refusedInfs[fullName] = ERROR_FILE_NOT_FOUND;
  EXPECT_EQ(PkgCopyInf(kFolder.c_str(), "qcnet.inf"), 1);
  const kit::Messages expected = {quorlin::kEnterPkgCopyInf, quorlin::FullName(fullName),
                                  quorlin::CopyFailed(2), quorlin::kPkgCopyInfSuccessful};
  EXPECT_EQ(TracedMessages(quorlin::kTag), expected);
}

TEST_F(InfStagingTest, NoBufferForTheFullName) {
  winsim::machine().failingHeapAllocations = {1};
  EXPECT_EQ(PkgCopyInf(kFolder.c_str(), "qcmdm.inf"), 0);
  const kit::Messages expected = {quorlin::kEnterPkgCopyInf, quorlin::kNoFullNameBuffer};
  EXPECT_EQ(TracedMessages(quorlin::kTag), expected);
  EXPECT_TRUE(winsim::machine().copyOemInfCalls.empty());
}

TEST_F(InfStagingTest, FullNameBeyondMaxPathIsNotBuilt) {
  const std::string folder = "C:\\" + std::string(250, 'f');
  EXPECT_EQ(PkgCopyInf(folder.c_str(), "android_usb.inf"), 0);
  EXPECT_EQ(TracedMessages(quorlin::kTag), kit::Messages{quorlin::kEnterPkgCopyInf});
  EXPECT_TRUE(winsim::machine().copyOemInfCalls.empty());
  ClearTrace();
  const std::string fits = "C:\\" + std::string(259 - 3 - 1 - 9, 'f');  // 259 with "\qcmdm.inf"
  EXPECT_EQ(PkgCopyInf(fits.c_str(), "qcmdm.inf"), 1);
  ASSERT_EQ(winsim::machine().copyOemInfCalls.size(), 1u);
  EXPECT_EQ(winsim::machine().copyOemInfCalls[0].sourceInfFileName.size(), 259u);
}
}  // namespace
