// The uninstaller's whole run on 64-bit Windows, where it traces the
// 64-bit uninstaller beside its own program and takes the folders under
// Program Files (x86), and on a release outside its table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/veskot_fixture.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;

const char* const kNull = kit::kNullShown;
const char* const kWindows7Line64 = kit::kWindows7.on64.veskotLine;

TEST_F(UninstallerFlow, SixtyFourBitWindowsTracesTheOtherUninstallerAndUsesX86Folders) {
  m().wow64 = winsim::Wow64::kAnswersTrue;
  m().AddFolder(sim::kPackageDir64);
  m().AddFolder(sim::kTempDir64);
  EXPECT_EQ(Run(), 0);
  const kit::Messages expected = {kUninstallDevice,
                                  kStartSetVistaRight,
                                  ArgumentScan(kNull),
                                  kStartPkgGetSysInfo,
                                  OsVersion(6, 1),
                                  kWindows7Line64,
                                  kOverPkgGetSysInfo,
                                  kStartUninstall64,
                                  Uninstaller64(std::string("C:\\kit\\") + kit::kVeskot64Exe),
                                  kInstance,
                                  kEnterForLoop,
                                  kit::kModemInterface,
                                  kEndOfId,
                                  kDeleteInPkgQuickDel,
                                  FileFullPath(sim::InInfStore("oem3.inf")),
                                  kInstance,
                                  kEnterForLoop,
                                  kit::kAdbInterface,
                                  kEndOfId,
                                  kDeleteInPkgQuickDel,
                                  FileFullPath(sim::InInfStore("oem4.inf")),
                                  kStartRegOpenKeyEx,
                                  kStartRegDeleteKey,
                                  kStartProductFolder,
                                  SearchFolder(sim::kProductDir64),
                                  SearchFolder(sim::kProductDir64 + kit::kInfFolder32),
                                  SearchFolder(sim::kPackageDir64),
                                  kOverProductFolder,
                                  kStartTempFolder,
                                  SearchFolder(sim::kTempDir64),
                                  kOverTempFolder};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists(sim::kProductDir64));
  EXPECT_FALSE(m().Exists(sim::kTempDir64));
  EXPECT_TRUE(m().Exists(sim::kProductDir32));  // the 32-bit names are not touched there
  EXPECT_TRUE(m().messageBoxes.empty());
}

// Found by the fuzz target uninstaller_paths: a program path cut short by
// its buffer was cut again at its last backslash, and a folder it is not in
// traced as the place of the 64-bit uninstaller.
TEST_F(UninstallerFlow, ProgramPathCutByItsBufferNamesNoUninstallerBesideIt) {
  m().wow64 = winsim::Wow64::kAnswersTrue;
  m().modulePath = "C:\\kit\\" + std::string(300, 'v') + "\\" + kit::kVeskotExe;
  m().AddFolder(sim::kPackageDir64);
  m().AddFolder(sim::kTempDir64);
  EXPECT_EQ(Run(), 0);
  const kit::Messages expected = {kUninstallDevice,
                                  kStartSetVistaRight,
                                  ArgumentScan(kNull),
                                  kStartPkgGetSysInfo,
                                  OsVersion(6, 1),
                                  kWindows7Line64,
                                  kOverPkgGetSysInfo,
                                  kStartUninstall64,
                                  kInstance,
                                  kEnterForLoop,
                                  kit::kModemInterface,
                                  kEndOfId,
                                  kDeleteInPkgQuickDel,
                                  FileFullPath(sim::InInfStore("oem3.inf")),
                                  kInstance,
                                  kEnterForLoop,
                                  kit::kAdbInterface,
                                  kEndOfId,
                                  kDeleteInPkgQuickDel,
                                  FileFullPath(sim::InInfStore("oem4.inf")),
                                  kStartRegOpenKeyEx,
                                  kStartRegDeleteKey,
                                  kStartProductFolder,
                                  SearchFolder(sim::kProductDir64),
                                  SearchFolder(sim::kProductDir64 + kit::kInfFolder32),
                                  SearchFolder(sim::kPackageDir64),
                                  kOverProductFolder,
                                  kStartTempFolder,
                                  SearchFolder(sim::kTempDir64),
                                  kOverTempFolder};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(m().Value(sim::kLayersKey, m().modulePath), nullptr);
  EXPECT_FALSE(m().Exists(sim::kProductDir64));
}

TEST_F(UninstallerFlow, NoMemoryInTheSixtyFourBitBranch) {
  const std::pair<int, const char*> cases[] = {{1, kNoOwnFolderBuffer}, {2, kNoUninstaller64Buffer}};
  for (const auto& c : cases) {
    SetUp();
    m().wow64 = winsim::Wow64::kAnswersTrue;
    m().failingHeapAllocations = {c.first};
    EXPECT_EQ(Run(), 0);
    const kit::Messages expected = {kUninstallDevice,    kStartSetVistaRight, ArgumentScan(kNull),
                                    kStartPkgGetSysInfo, OsVersion(6, 1),     kWindows7Line64,
                                    kOverPkgGetSysInfo,  kStartUninstall64,   c.second};
    EXPECT_EQ(TracedMessages(kTag), expected);
    EXPECT_FALSE(m().FindDevice(kModemInstance)->removed);
    EXPECT_TRUE(m().HasKey(sim::kUninstallKey));
    EXPECT_TRUE(m().Exists(sim::kProductDir32));
    EXPECT_NE(m().Value(sim::kLayersKey, kVeskotPath), nullptr);
  }
}

TEST_F(UninstallerFlow, WindowsOutsideTheTableTakesNoSixtyFourBitBranch) {
  m().majorVersion = kit::kWindows8.major;
  m().minorVersion = kit::kWindows8.minor;
  m().wow64 = winsim::Wow64::kAnswersTrue;
  m().AddFolder(sim::kProductDir64);
  EXPECT_EQ(Run(), 0);
  const kit::Messages messages = TracedMessages(kTag);
  const kit::Messages head = {kUninstallDevice,
                              kStartSetVistaRight,
                              ArgumentScan(kNull),
                              kStartPkgGetSysInfo,
                              OsVersion(6, 2),
                              kOverPkgGetSysInfo,
                              kInstance};
  ASSERT_GE(messages.size(), head.size());
  EXPECT_EQ(kit::Messages(messages.begin(), messages.begin() + head.size()), head);
  EXPECT_FALSE(m().Exists(sim::kProductDir64));  // the folders follow the WOW64 probe
  EXPECT_TRUE(m().Exists(sim::kProductDir32));
}
}  // namespace
