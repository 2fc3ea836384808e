// End-to-end tests of Quorlin.exe: the handset's "autorun" program is
// ended before anything is staged, and a program of another name is left
// alone. Each test runs the real installer on Windows 7 under the debugger
// and checks its whole debugger output.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/quorlin_fixture.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/kit_facts/trace_channel.h"
#include "tests/wine/capture.h"
#include "tests/wine/files.h"
#include "tests/wine/wine_answers.h"

namespace e2e {
namespace {

// The messages by their names, so that an expected trace reads as the trace.
using namespace quorlin;
using namespace wine;
using kit::kNullShown;
using kit::Traced;

// The handset's "autorun" program is ended before anything is staged.
class Autorun : public QuorlinScenario {
 protected:
  // Starts a program of this name from the kit's folder.
  void StartProgram(const std::string& name) {
    const std::string helper = JoinPath(kitFolder_, name);
    ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "e2e_sleeper.exe"), helper));
    ASSERT_TRUE(autorun_.Start(helper));
  }

  void ExpectEndedByTheInstaller() {
    DWORD exitCode = 0;
    ASSERT_TRUE(autorun_.WaitForEnd(10 * 1000, &exitCode)) << "the program still runs";
    EXPECT_EQ(exitCode, 0u) << "the program was not ended by the installer";
  }
};

TEST_F(Autorun, RunningAutorunIsEndedWithExitCodeZero) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);
  ASSERT_NO_FATAL_FAILURE(StartProgram("myautorun.exe"));

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kNullShown),
                                  kOpenProductKey,
                                  OpenProductKeyFailed(kLastErrorAfterAutorunClosed),
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
  ExpectEndedByTheInstaller();
  ExpectAllStaged(here.edition);
}

TEST_F(Autorun, NameIsMatchedWithoutRegardToCase) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);
  ASSERT_NO_FATAL_FAILURE(StartProgram("NORDAL_AutoRun.exe"));

  const CaptureResult result = RunQuorlin(quorlinPath_, {});

  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kNullShown),
                                  kOpenProductKey,
                                  OpenProductKeyFailed(kLastErrorAfterAutorunClosed),
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
  ExpectEndedByTheInstaller();
  ExpectAllStaged(here.edition);
}

TEST_F(Autorun, ProgramWithoutTheWordInItsNameIsLeftRunning) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);
  ASSERT_NO_FATAL_FAILURE(StartProgram("handset_helper.exe"));

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
  DWORD exitCode = 0;
  EXPECT_FALSE(autorun_.WaitForEnd(0, &exitCode)) << "the program ended with exit code " << exitCode;
}

}  // namespace
}  // namespace e2e
