// End-to-end tests of Quorlin.exe: the four INF files go to the INF store
// one by one, and the installer marks its own program file to run as
// administrator. Each test runs the real installer on Windows 7 under the
// debugger and checks its whole debugger output.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/quorlin_fixture.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/kit_facts/trace_channel.h"
#include "tests/wine/capture.h"
#include "tests/wine/files.h"
#include "tests/wine/registry.h"
#include "tests/wine/wine_answers.h"

namespace e2e {
namespace {

// The messages by their names, so that an expected trace reads as the trace.
using namespace quorlin;
using namespace wine;
using kit::kNullShown;
using kit::Traced;

// The four INF files go to the Windows INF store one by one.
class Staging : public QuorlinScenario {};

TEST_F(Staging, SecondRunAddsNoSecondCopy) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kNoAutorun,
                                  ArgumentScan(kNullShown),
                                  kOpenProductKey,
                                  OpenProductKeyFailed(kLastErrorAfterFullProcessWalk),
                                  ProductKeyAnswer(ERROR_FILE_NOT_FOUND, 0),
                                  kCompareVersion,
                                  kNoVersion,
                                  SystemPath(systemDirectory_),
                                  kLumlog1,
                                  here.quorlinLine,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\android_usb.inf"),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcmdm.inf"),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcser.inf"),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcnet.inf"),
                                  kPkgCopyInfSuccessful};

  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunQuorlin(quorlinPath_, {}).strings));
  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunQuorlin(quorlinPath_, {}).strings));
  ExpectAllStaged(here.edition);
}

TEST_F(Staging, MissingFileIsReportedAndTheOthersAreStaged) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);
  ASSERT_TRUE(DeleteOneFile(PackageFile(here.edition, "qcmdm.inf")));

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kNoAutorun,
                                  ArgumentScan(kNullShown),
                                  kOpenProductKey,
                                  OpenProductKeyFailed(kLastErrorAfterFullProcessWalk),
                                  ProductKeyAnswer(ERROR_FILE_NOT_FOUND, 0),
                                  kCompareVersion,
                                  kNoVersion,
                                  SystemPath(systemDirectory_),
                                  kLumlog1,
                                  here.quorlinLine,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\android_usb.inf"),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcmdm.inf"),
                                  CopyFailed(kCopyErrorFileMissing),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcser.inf"),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcnet.inf"),
                                  kPkgCopyInfSuccessful};
  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), result.strings));
  ExpectStagedCopies(here.edition, {"android_usb.inf", "qcser.inf", "qcnet.inf"});
}

TEST_F(Staging, MissingPackageFolderFailsEveryFile) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);
  for (const char* programFiles : {kit::kProgramFiles, kit::kProgramFilesX86}) {
    ASSERT_TRUE(DeleteTree(drive_ + programFiles + "\\" + kit::kProductFolderName));
  }

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kNoAutorun,
                                  ArgumentScan(kNullShown),
                                  kOpenProductKey,
                                  OpenProductKeyFailed(kLastErrorAfterFullProcessWalk),
                                  ProductKeyAnswer(ERROR_FILE_NOT_FOUND, 0),
                                  kCompareVersion,
                                  kNoVersion,
                                  SystemPath(systemDirectory_),
                                  kLumlog1,
                                  here.quorlinLine,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\android_usb.inf"),
                                  CopyFailed(kCopyErrorFolderMissing),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcmdm.inf"),
                                  CopyFailed(kCopyErrorFolderMissing),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcser.inf"),
                                  CopyFailed(kCopyErrorFolderMissing),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcnet.inf"),
                                  CopyFailed(kCopyErrorFolderMissing),
                                  kPkgCopyInfSuccessful};
  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), result.strings));
  ExpectAllStaged(kit::PackageEdition::kNone);
}

// The installer marks its own program file to run as administrator.
class CompatLayer : public QuorlinScenario {};

TEST_F(CompatLayer, EarlierLayersAreReplaced) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);
  ASSERT_TRUE(WriteStringValue(HKEY_CURRENT_USER, kit::kLayersKey, quorlinPath_, "HIGHDPIAWARE"));

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kNoAutorun,
                                  ArgumentScan(kNullShown),
                                  kOpenProductKey,
                                  OpenProductKeyFailed(kLastErrorAfterFullProcessWalk),
                                  ProductKeyAnswer(ERROR_FILE_NOT_FOUND, 0),
                                  kCompareVersion,
                                  kNoVersion,
                                  SystemPath(systemDirectory_),
                                  kLumlog1,
                                  here.quorlinLine,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\android_usb.inf"),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcmdm.inf"),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcser.inf"),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcnet.inf"),
                                  kPkgCopyInfSuccessful};
  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), result.strings));
  ExpectRunAsAdmin(quorlinPath_);
}

TEST_F(CompatLayer, EachCopyGetsARecordOfItsOwn) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);
  const std::string secondPath = JoinPath(JoinPath(kitFolder_, "second"), kit::kQuorlinExe);
  ASSERT_TRUE(MakeFolders(FolderOf(secondPath)));
  ASSERT_TRUE(CopyOneFile(quorlinPath_, secondPath));
  ASSERT_TRUE(DeleteValue(HKEY_CURRENT_USER, kit::kLayersKey, secondPath));
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kNoAutorun,
                                  ArgumentScan(kNullShown),
                                  kOpenProductKey,
                                  OpenProductKeyFailed(kLastErrorAfterFullProcessWalk),
                                  ProductKeyAnswer(ERROR_FILE_NOT_FOUND, 0),
                                  kCompareVersion,
                                  kNoVersion,
                                  SystemPath(systemDirectory_),
                                  kLumlog1,
                                  here.quorlinLine,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\android_usb.inf"),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcmdm.inf"),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcser.inf"),
                                  kPkgCopyInfSuccessful,
                                  kEnterPkgCopyInf,
                                  FullName(folder + "\\qcnet.inf"),
                                  kPkgCopyInfSuccessful};

  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunQuorlin(quorlinPath_, {}).strings));
  EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kit::kLayersKey, secondPath).present);
  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunQuorlin(secondPath, {}).strings));

  ExpectRunAsAdmin(quorlinPath_);
  ExpectRunAsAdmin(secondPath);
}

}  // namespace
}  // namespace e2e
