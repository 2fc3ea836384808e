// What the stored-version check traces between the argument scan and the
// system path, for each state of the product key: it only reports, and
// the package is staged whatever it finds.
#include <gtest/gtest.h>

#include <string>

#include "tests/host/quorlin_fixture.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace quorlin;

class StoredVersion : public InstallerFlow {
 protected:
  // The run leaves no key open and stages the four files.
  void ExpectKeyClosedAndPackageStaged() {
    EXPECT_EQ(winsim::machine().OpenHandles(winsim::Handle::Kind::kKey), 0);
    EXPECT_EQ(winsim::machine().copyOemInfCalls.size(), 4u);
  }
};

TEST_F(StoredVersion, ProductKeyAbsent) {
  winsim::Machine& m = winsim::machine();
  m.keys.erase(sim::kProductKey);
  m.lastError = 0x7e;
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kit::kNullShown),
                                  kOpenProductKey,
                                  OpenProductKeyFailed(0x7e),
                                  ProductKeyAnswer(2, 0),
                                  kCompareVersion,
                                  kNoVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kit::kWindows7.on32.quorlinLine,
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
  ExpectKeyClosedAndPackageStaged();
}

TEST_F(StoredVersion, ProductKeyRefused) {
  winsim::machine().refusedOpen[sim::kProductKey] = ERROR_ACCESS_DENIED;
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kit::kNullShown),
                                  kOpenProductKey,
                                  OpenProductKeyFailed(0),
                                  ProductKeyAnswer(5, 0),
                                  kCompareVersion,
                                  kNoVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kit::kWindows7.on32.quorlinLine,
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
  ExpectKeyClosedAndPackageStaged();
}

TEST_F(StoredVersion, ValueAbsent) {
  winsim::Machine& m = winsim::machine();
  m.keys[sim::kProductKey].values.clear();
  m.lastError = 0x12;
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kit::kNullShown),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  QueryVersionFailed(0x12),
                                  quorlin::StoredVersion(""),
                                  kCompareVersion,
                                  kNoVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kit::kWindows7.on32.quorlinLine,
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
  ExpectKeyClosedAndPackageStaged();
}

TEST_F(StoredVersion, EmptyValueCountsAsNone) {
  winsim::machine().SetValue(sim::kProductKey, kit::kVersionValue, REG_SZ, std::string("\0", 1));
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kit::kNullShown),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  quorlin::StoredVersion(""),
                                  kCompareVersion,
                                  kNoVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kit::kWindows7.on32.quorlinLine,
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
  ExpectKeyClosedAndPackageStaged();
}

TEST_F(StoredVersion, ValueLongerThanTheBufferFails) {
  winsim::machine().SetValue(sim::kProductKey, kit::kVersionValue, REG_SZ, std::string(61, 'v') + '\0');
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kit::kNullShown),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  QueryVersionFailed(0),
                                  quorlin::StoredVersion(""),
                                  kCompareVersion,
                                  kNoVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kit::kWindows7.on32.quorlinLine,
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
  ExpectKeyClosedAndPackageStaged();
}

TEST_F(StoredVersion, ValueFillingTheBufferIsNeverReadPastIt) {
  // 60 bytes without a terminator: the last one gives way to it.
  winsim::machine().SetValue(sim::kProductKey, kit::kVersionValue, REG_SZ, std::string(60, 'v'));
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kit::kNullShown),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  quorlin::StoredVersion(std::string(59, 'v')),
                                  kCompareVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kit::kWindows7.on32.quorlinLine,
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
  ExpectKeyClosedAndPackageStaged();
}

TEST_F(StoredVersion, ValueOfFiftyNineCharactersWithTerminatorIsWhole) {
  winsim::machine().SetValue(sim::kProductKey, kit::kVersionValue, REG_SZ, std::string(59, 'w') + '\0');
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kit::kNullShown),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  quorlin::StoredVersion(std::string(59, 'w')),
                                  kCompareVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kit::kWindows7.on32.quorlinLine,
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
  ExpectKeyClosedAndPackageStaged();
}

TEST_F(StoredVersion, ShortValueWithoutTerminator) {
  winsim::machine().SetValue(sim::kProductKey, kit::kVersionValue, REG_SZ, "V2.1");
  EXPECT_EQ(Run(), 1);
  const kit::Messages expected = {kStartSetVistaRight,
                                  kSetupDevice,
                                  ArgumentCount(1),
                                  OsVersion(6, 1),
                                  kStartCloseAutorun,
                                  kCloseAutorun,
                                  ArgumentScan(kit::kNullShown),
                                  kOpenProductKey,
                                  kProductKeyOpened,
                                  quorlin::StoredVersion("V2.1"),
                                  kCompareVersion,
                                  SystemPath("C:\\WINDOWS\\system32"),
                                  kLumlog1,
                                  kit::kWindows7.on32.quorlinLine,
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
  ExpectKeyClosedAndPackageStaged();
}
}  // namespace
