// End-to-end tests of Quorlin.exe: the driver version recorded in the
// product key is reported and never written. Each test runs the real
// installer on Windows 7 under the debugger and checks its whole debugger
// output and the copies in the INF store.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/quorlin_fixture.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/kit_facts/trace_channel.h"
#include "tests/wine/capture.h"
#include "tests/wine/registry.h"
#include "tests/wine/wine_answers.h"

namespace e2e {
namespace {

// The messages by their names, so that an expected trace reads as the trace.
using namespace quorlin;  // quorlin::StoredVersion names the message; StoredVersion alone is the suite
using namespace wine;
using kit::kNullShown;
using kit::Traced;

// The driver version recorded in the product key is reported, nothing
// more.
class StoredVersion : public QuorlinScenario {
 protected:
  void CheckRun(const kit::Messages& expected) {
    EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunQuorlin(quorlinPath_, {}).strings));
    ExpectAllStaged(OnThisPrefix(kit::kWindows7).edition);
  }
};

TEST_F(StoredVersion, RecordedVersionIsShown) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, kit::kProductKey, kit::kVersionValue, "V1.0.0"));

  CheckRun({kStartSetVistaRight,
            kSetupDevice,
            ArgumentCount(1),
            OsVersion(6, 1),
            kStartCloseAutorun,
            kNoAutorun,
            ArgumentScan(kNullShown),
            kOpenProductKey,
            kProductKeyOpened,
            quorlin::StoredVersion("V1.0.0"),
            kCompareVersion,
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
  // The installer reads the product key and never writes it.
  const RegistryValue value = ReadValue(HKEY_LOCAL_MACHINE, kit::kProductKey, kit::kVersionValue);
  EXPECT_TRUE(value.present);
  EXPECT_EQ(value.data, StoredString("V1.0.0"));
}

TEST_F(StoredVersion, EmptyVersionCountsAsNotInstalled) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, kit::kProductKey, kit::kVersionValue, ""));

  CheckRun({kStartSetVistaRight,
            kSetupDevice,
            ArgumentCount(1),
            OsVersion(6, 1),
            kStartCloseAutorun,
            kNoAutorun,
            ArgumentScan(kNullShown),
            kOpenProductKey,
            kProductKeyOpened,
            quorlin::StoredVersion(""),
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

TEST_F(StoredVersion, KeyWithoutVersionValueCountsAsNotInstalled) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, kit::kProductKey, "path", "C:\\somewhere"));

  CheckRun({kStartSetVistaRight,
            kSetupDevice,
            ArgumentCount(1),
            OsVersion(6, 1),
            kStartCloseAutorun,
            kNoAutorun,
            ArgumentScan(kNullShown),
            kOpenProductKey,
            kProductKeyOpened,
            QueryVersionFailed(kLastErrorAfterFullProcessWalk),
            quorlin::StoredVersion(""),
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

TEST_F(StoredVersion, MissingKeyCountsAsNotInstalled) {
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
  const kit::Classification& here = OnThisPrefix(kit::kWindows7);
  const std::string folder = PackageFolder(here.edition);

  CheckRun({kStartSetVistaRight,
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
  EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, kit::kProductKey, kit::kVersionValue).present);
}

}  // namespace
}  // namespace e2e
