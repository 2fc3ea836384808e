// The uninstaller's whole run when a key cannot be deleted or opened, or a
// buffer of the folder paths cannot be had: the prompt never follows a
// failure, and the folders stay when the run ends early.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/veskot_fixture.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;

const char* const kNull = kit::kNullShown;
const char* const kWindows7Line = kit::kWindows7.on32.veskotLine;

TEST_F(UninstallerFlow, UninstallKeyWithSubkeyEndsTheRunBeforeThePrompt) {
  m().AddKey(sim::kUninstallKey + "\\Components");
  EXPECT_EQ(Run({"showmessage"}), 0);
  const kit::Messages expected = {kUninstallDevice,
                                  kStartSetVistaRight,
                                  ArgumentScan(kNull),
                                  ArgumentScan("showmessage"),
                                  kShowIsTrue,
                                  kStartPkgGetSysInfo,
                                  OsVersion(6, 1),
                                  kWindows7Line,
                                  kOverPkgGetSysInfo,
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
                                  DeleteKeyFailed(ERROR_ACCESS_DENIED)};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m().messageBoxes.empty());
  EXPECT_TRUE(m().HasKey(sim::kUninstallKey));
  EXPECT_TRUE(m().HasKey(sim::kProductKey));
  EXPECT_TRUE(m().Exists(sim::kProductDir32));
  EXPECT_TRUE(m().Exists(sim::kTempDir32));
}

TEST_F(UninstallerFlow, ProductKeyThatCannotBeDeletedIsNeverPrecededBySuccess) {
  m().refusedDelete[sim::kProductKey] = ERROR_ACCESS_DENIED;
  EXPECT_EQ(Run({"showmessage"}), 0);
  const kit::Messages expected = {kUninstallDevice,
                                  kStartSetVistaRight,
                                  ArgumentScan(kNull),
                                  ArgumentScan("showmessage"),
                                  kShowIsTrue,
                                  kStartPkgGetSysInfo,
                                  OsVersion(6, 1),
                                  kWindows7Line,
                                  kOverPkgGetSysInfo,
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
                                  DeleteKeyFailed(ERROR_ACCESS_DENIED)};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m().messageBoxes.empty());
  EXPECT_FALSE(m().HasKey(sim::kUninstallKey));
  EXPECT_TRUE(m().HasKey(sim::kProductKey));
  EXPECT_TRUE(m().Exists(sim::kProductDir32));
  EXPECT_TRUE(m().Exists(sim::kTempDir32));
}

TEST_F(UninstallerFlow, KeysThatCannotBeOpenedAreNoError) {
  m().refusedOpen[sim::kUninstallKey] = ERROR_ACCESS_DENIED;
  m().keys.erase(sim::kProductKey);
  EXPECT_EQ(Run({"showmessage"}), 0);
  const kit::Messages expected = {kUninstallDevice,
                                  kStartSetVistaRight,
                                  ArgumentScan(kNull),
                                  ArgumentScan("showmessage"),
                                  kShowIsTrue,
                                  kStartPkgGetSysInfo,
                                  OsVersion(6, 1),
                                  kWindows7Line,
                                  kOverPkgGetSysInfo,
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
                                  kPromptWithoutKey,
                                  kStartProductFolder,
                                  SearchFolder(sim::kProductDir32),
                                  SearchFolder(sim::kPackageDir32),
                                  kOverProductFolder,
                                  kStartTempFolder,
                                  SearchFolder(sim::kTempDir32),
                                  kOverTempFolder};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m().HasKey(sim::kUninstallKey));
}

TEST_F(UninstallerFlow, NoMemoryForAFolderPath) {
  // Allocations before the folder paths: four for each of the two deletions
  // of the device step, its two buffers and the two lines of the INF file
  // that show it names the handset.
  const std::pair<int, const char*> cases[] = {
      {9, kNoSystemDirBuffer}, {10, kNoProductDirBuffer}, {11, kNoTempDirBuffer}};
  for (const auto& c : cases) {
    SetUp();
    m().failingHeapAllocations = {c.first};
    EXPECT_EQ(Run({"showmessage"}), 0);
    const kit::Messages expected = {kUninstallDevice,
                                    kStartSetVistaRight,
                                    ArgumentScan(kNull),
                                    ArgumentScan("showmessage"),
                                    kShowIsTrue,
                                    kStartPkgGetSysInfo,
                                    OsVersion(6, 1),
                                    kWindows7Line,
                                    kOverPkgGetSysInfo,
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
                                    c.second};
    EXPECT_EQ(TracedMessages(kTag), expected);
    EXPECT_TRUE(m().FindDevice(kModemInstance)->removed);
    EXPECT_TRUE(m().HasKey(sim::kUninstallKey));
    EXPECT_TRUE(m().messageBoxes.empty());
    EXPECT_TRUE(m().Exists(sim::kProductDir32));
  }
}
}  // namespace
