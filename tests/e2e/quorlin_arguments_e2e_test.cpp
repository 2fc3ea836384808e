// End-to-end tests of Quorlin.exe: every argument up to the first that
// contains "interactive" is traced. Each test runs the real installer on
// Windows 7 under the debugger and checks its whole debugger output, the
// compatibility record and the copies in the INF store.
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

// Every argument up to the first that contains "interactive" is traced.
class Arguments : public QuorlinScenario {
 protected:
  void CheckRun(const std::string& path, const std::vector<std::string>& arguments,
                const kit::Messages& expected) {
    EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunQuorlin(path, arguments).strings));
    ExpectRunAsAdmin(path);
    ExpectAllStaged(OnThisPrefix(kit::kWindows7).edition);
  }
};

TEST_F(Arguments, ProgramPathAloneIsScannedOnce) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);

  CheckRun(quorlinPath_, {},
           {kStartSetVistaRight,
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
            kPkgCopyInfSuccessful});
}

TEST_F(Arguments, ScanStopsAtTheArgumentThatContainsInteractive) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);

  CheckRun(quorlinPath_, {"a", "xinteractivex", "b"},
           {kStartSetVistaRight,
            kSetupDevice,
            ArgumentCount(4),
            OsVersion(6, 1),
            kStartCloseAutorun,
            kNoAutorun,
            ArgumentScan(kNullShown),
            ArgumentScan(kNullShown),
            ArgumentScan("interactivex"),
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
            kPkgCopyInfSuccessful});
}

TEST_F(Arguments, ActionChangesNothing) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);

  CheckRun(quorlinPath_, {"/Action"},
           {kStartSetVistaRight,
            kSetupDevice,
            ArgumentCount(2),
            OsVersion(6, 1),
            kStartCloseAutorun,
            kNoAutorun,
            ArgumentScan(kNullShown),
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
            kPkgCopyInfSuccessful});
}

TEST_F(Arguments, ActionBeforeInteractiveIsScannedToo) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);

  CheckRun(quorlinPath_, {"/Action", "interactive", "/Action"},
           {kStartSetVistaRight,
            kSetupDevice,
            ArgumentCount(4),
            OsVersion(6, 1),
            kStartCloseAutorun,
            kNoAutorun,
            ArgumentScan(kNullShown),
            ArgumentScan(kNullShown),
            ArgumentScan("interactive"),
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
            kPkgCopyInfSuccessful});
}

TEST_F(Arguments, ProgramPathWithInteractiveEndsTheScanAtOnce) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);
  const std::string path = JoinPath(JoinPath(kitFolder_, "interactive"), kit::kQuorlinExe);
  ASSERT_TRUE(MakeFolders(FolderOf(path)));
  ASSERT_TRUE(CopyOneFile(quorlinPath_, path));
  ASSERT_TRUE(DeleteValue(HKEY_CURRENT_USER, kit::kLayersKey, path));

  CheckRun(path, {"a"},
           {kStartSetVistaRight,
            kSetupDevice,
            ArgumentCount(2),
            OsVersion(6, 1),
            kStartCloseAutorun,
            kNoAutorun,
            ArgumentScan("interactive\\Quorlin.exe"),
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
            kPkgCopyInfSuccessful});
}

}  // namespace
}  // namespace e2e
