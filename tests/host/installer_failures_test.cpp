// The installer's whole run when a step fails: the system directory, a
// buffer, or Windows refusing an INF file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/quorlin_fixture.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace quorlin;

const char* const kNull = kit::kNullShown;
const char* const kWindows7Line = kit::kWindows7.on32.quorlinLine;

TEST_F(InstallerFlow, SystemDirectoryFailureEndsTheRun) {
  winsim::machine().systemDirectoryFails = true;
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,     kSetupDevice,       ArgumentCount(1),
                                  OsVersion(6, 1),         kStartCloseAutorun, kCloseAutorun,
                                  ArgumentScan(kNull),     kOpenProductKey,    kProductKeyOpened,
                                  StoredVersion("V1.0.0"), kCompareVersion,    kNoSystemDir};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(winsim::machine().copyOemInfCalls.empty());
}

TEST_F(InstallerFlow, SystemDirectoryTooLongForTheBufferEndsTheRun) {
  winsim::machine().systemDirectory = "C:\\" + std::string(300, 's');
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,     kSetupDevice,       ArgumentCount(1),
                                  OsVersion(6, 1),         kStartCloseAutorun, kCloseAutorun,
                                  ArgumentScan(kNull),     kOpenProductKey,    kProductKeyOpened,
                                  StoredVersion("V1.0.0"), kCompareVersion,    kNoSystemDir};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(winsim::machine().copyOemInfCalls.empty());
}

TEST_F(InstallerFlow, SystemOnAnotherDriveStagesFromThatDrive) {
  winsim::machine().systemDirectory = "D:\\WINNT\\system32";
  EXPECT_EQ(Run(), 1);
  ASSERT_EQ(winsim::machine().copyOemInfCalls.size(), 4u);
  EXPECT_EQ(winsim::machine().copyOemInfCalls[3].sourceInfFileName,
            std::string("D:") + kit::kProgramFiles + "\\" + kit::kProductFolderName + kit::kInfFolder32 +
                "\\" + kit::kPackageInfs[3]);
}

TEST_F(InstallerFlow, NoVersionBufferSkipsOnlyTheCheck) {
  winsim::machine().failingHeapAllocations = {1};
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kNull),
                                  kMallocFailed,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kWindows7Line,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[0]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[1]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[2]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[3]),
                                  kPkgCopyInfSuccessful};
  EXPECT_EQ(TracedMessages(kTag), expected);
}

TEST_F(InstallerFlow, NoSystemDirectoryBufferEndsTheRun) {
  winsim::machine().failingHeapAllocations = {2};
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,     kSetupDevice,       ArgumentCount(1),
                                  OsVersion(6, 1),         kStartCloseAutorun, kCloseAutorun,
                                  ArgumentScan(kNull),     kOpenProductKey,    kProductKeyOpened,
                                  StoredVersion("V1.0.0"), kCompareVersion,    kNoSystemDirBuffer};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(winsim::machine().copyOemInfCalls.empty());
}

TEST_F(InstallerFlow, NoFolderBufferEndsTheRun) {
  winsim::machine().failingHeapAllocations = {3};
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kNull),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  StoredVersion("V1.0.0"),
                                  kCompareVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kMallocFailed};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(winsim::machine().copyOemInfCalls.empty());
}

TEST_F(InstallerFlow, NoBufferForOneFullNameSkipsOnlyThatFile) {
  winsim::machine().failingHeapAllocations = {5};  // the second file's name
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kNull),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  StoredVersion("V1.0.0"),
                                  kCompareVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kWindows7Line,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[0]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  kNoFullNameBuffer,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[2]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[3]),
                                  kPkgCopyInfSuccessful};
  EXPECT_EQ(TracedMessages(kTag), expected);
  ASSERT_EQ(winsim::machine().copyOemInfCalls.size(), 3u);
  EXPECT_EQ(winsim::machine().copyOemInfCalls[1].sourceInfFileName, kPackageInfs32[2]);
}

TEST_F(InstallerFlow, RefusedFilesDoNotStopTheOthers) {
  winsim::Machine& m = winsim::machine();
  m.refusedInfs[kPackageInfs32[0]] = 0xE000022F;
  m.refusedInfs[kPackageInfs32[2]] = ERROR_ACCESS_DENIED;
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kNull),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  StoredVersion("V1.0.0"),
                                  kCompareVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kWindows7Line,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[0]),
                                  CopyFailed(0xE000022F),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[1]),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[2]),
                                  CopyFailed(5),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(kPackageInfs32[3]),
                                  kPkgCopyInfSuccessful};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(m.copyOemInfCalls.size(), 4u);
}
}  // namespace
