// End-to-end tests of Quorlin.exe: the Windows release decides the
// classification line and the edition of the package it stages. Each test
// runs the real installer under the debugger and checks its whole
// debugger output, the compatibility record and the copies in the INF
// store.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/quorlin_fixture.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/kit_facts/trace_channel.h"
#include "tests/wine/capture.h"
#include "tests/wine/wine_answers.h"

namespace e2e {
namespace {

// The messages by their names, so that an expected trace reads as the trace.
using namespace quorlin;
using namespace wine;
using kit::kNullShown;
using kit::Traced;

// The Windows release decides the INF folder.
class Classification : public QuorlinScenario {};

TEST_F(Classification, Windows2000TakesThe32BitFolderEvenUnderWow64) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows2000));
  const kit::Classification& here = OnThisPrefix(kit::kWindows2000);
  const std::string folder = PackageFolder(here.edition);

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(5, 0),
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
  ExpectAllStaged(here.edition);
}

TEST_F(Classification, WindowsXp) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindowsXp));
  const kit::Classification& here = OnThisPrefix(kit::kWindowsXp);
  const std::string folder = PackageFolder(here.edition);

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(5, 1),
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
  ExpectAllStaged(here.edition);
}

TEST_F(Classification, WindowsXp64EditionWithoutWow64TakesTheXp32BitRow) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindowsXp64));
  const kit::Classification& here = OnThisPrefix(kit::kWindowsXp64);
  const std::string folder = PackageFolder(here.edition);

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(5, 2),
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
  ExpectAllStaged(here.edition);
}

TEST_F(Classification, WindowsVista) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindowsVista));
  const kit::Classification& here = OnThisPrefix(kit::kWindowsVista);
  const std::string folder = PackageFolder(here.edition);

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 0),
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
  ExpectAllStaged(here.edition);
}

TEST_F(Classification, Windows7) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);

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
  ExpectAllStaged(here.edition);
}

TEST_F(Classification, Windows8IsOutsideTheTableAndStagesNothing) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows8));

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 2),
                                  kStartCloseAutorun,
                                  kNoAutorun,
                                  ArgumentScan(kNullShown),
                                  kOpenProductKey,
                                  OpenProductKeyFailed(kLastErrorAfterFullProcessWalk),
                                  ProductKeyAnswer(ERROR_FILE_NOT_FOUND, 0),
                                  kCompareVersion,
                                  kNoVersion,
                                  SystemPath(systemDirectory_),
                                  kLumlog1};
  EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), result.strings));
  ExpectRunAsAdmin(quorlinPath_);
  ExpectAllStaged(kit::PackageEdition::kNone);
}

}  // namespace
}  // namespace e2e
