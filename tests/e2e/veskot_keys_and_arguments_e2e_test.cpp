// End-to-end tests of Veskot.exe: the two keys go first, then the prompt,
// then the folders, and a key that cannot be deleted ends the run; and
// "showmessage" in any argument asks for the prompt. Each test lays the
// machine out through Win32, runs the real uninstaller under the debugger
// and checks its whole debugger output and what it leaves.
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/veskot_device_walk.h"
#include "tests/e2e/veskot_fixture.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tests/wine/capture.h"
#include "tests/wine/files.h"
#include "tests/wine/registry.h"

namespace e2e {
namespace {

// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;
using namespace wine;
using kit::kNullShown;
using kit::Traced;

// The two keys go first, then the prompt, then the folders; a key that
// opens but cannot be deleted ends the run there.
class ProductKeys : public VeskotScenario {
 protected:
  std::vector<std::string> Run(const Messages& expected) {
    const CaptureResult result = RunVeskot(veskotPath_, {"showmessage"});
    EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), result.strings));
    return result.strings;
  }

  static bool HasPrompt(const std::vector<std::string>& strings) {
    return std::find(strings.begin(), strings.end(), kPromptAfterDeletion) != strings.end() ||
           std::find(strings.begin(), strings.end(), kPromptWithoutKey) != strings.end();
  }
};

TEST_F(ProductKeys, UninstallKeyWithASubkeyEndsTheRun) {
  ASSERT_NO_FATAL_FAILURE(LayOutInstalledKit());
  ASSERT_NO_FATAL_FAILURE(AddSubkey(kit::kUninstallKey));
  // RegDeleteKeyA refuses a key with subkeys: ERROR_ACCESS_DENIED.
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), ArgumentScan("showmessage"),
             kShowIsTrue, kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk(InstalledKitWalk(RemoveAnswer())),
            {kNeedSearch, kNotAnInf, NotAnInfName(Store("general__toaster__toastpkg__inf__autorun.inf")),
             kFoundHandsetInf, FileFullName(Store("nordal_adb_legacy.inf")),
             DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"), kFoundHandsetInf,
             FileFullName(Store("nordal_modem_legacy.inf")),
             DeviceContext("OrvaneModem.Install,usb\\vid_3a8d&pid_6c31&mi_00,USB\\Class_02&SubClass_02"),
             kStartRegOpenKeyEx, kStartRegDeleteKey, DeleteKeyFailed(ERROR_ACCESS_DENIED)}});

  const std::vector<std::string> strings = Run(expected);

  ASSERT_FALSE(strings.empty());
  EXPECT_EQ(strings.back(), DeleteKeyFailed(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(HasPrompt(strings));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kit::kUninstallKey));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kit::kProductKey));
  EXPECT_TRUE(FolderExists(productFolder_));
  EXPECT_TRUE(FolderExists(tempFolder_));
  DWORD exitCode = 0;
  EXPECT_FALSE(handsetTool_.WaitForEnd(0, &exitCode)) << "the handset tool ended with " << exitCode;
}

TEST_F(ProductKeys, ProductKeyWithASubkeyEndsTheRunBeforeThePrompt) {
  ASSERT_NO_FATAL_FAILURE(LayOutInstalledKit());
  ASSERT_NO_FATAL_FAILURE(AddSubkey(kit::kProductKey));
  // The Uninstall key goes; the product key, with a subkey, is refused.
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), ArgumentScan("showmessage"),
             kShowIsTrue, kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk(InstalledKitWalk(RemoveAnswer())),
            {kNeedSearch, kNotAnInf, NotAnInfName(Store("general__toaster__toastpkg__inf__autorun.inf")),
             kFoundHandsetInf, FileFullName(Store("nordal_adb_legacy.inf")),
             DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"), kFoundHandsetInf,
             FileFullName(Store("nordal_modem_legacy.inf")),
             DeviceContext("OrvaneModem.Install,usb\\vid_3a8d&pid_6c31&mi_00,USB\\Class_02&SubClass_02"),
             kStartRegOpenKeyEx, kStartRegDeleteKey, DeleteKeyFailed(ERROR_ACCESS_DENIED)}});

  const std::vector<std::string> strings = Run(expected);

  ASSERT_FALSE(strings.empty());
  EXPECT_EQ(strings.back(), DeleteKeyFailed(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(HasPrompt(strings)) << "success was announced before the product key was deleted";
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kit::kUninstallKey));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kit::kProductKey));
  EXPECT_TRUE(FolderExists(productFolder_));
  EXPECT_TRUE(FolderExists(tempFolder_));
}

TEST_F(ProductKeys, WithoutAnUninstallKeyThePromptHasItsSecondLine) {
  ASSERT_NO_FATAL_FAILURE(AddProductKey());
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const Messages expected = Join(
      {{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), ArgumentScan("showmessage"),
        kShowIsTrue, kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
       Branch64(veskotPath_),
       DeviceWalk({}),
       {kNeedSearch, kStartRegOpenKeyEx, kPromptWithoutKey, kStartProductFolder, SearchFolder(productFolder_),
        SearchFolder(productFolder_ + "\\docs"), SearchFolder(productFolder_ + "\\docs\\empty"),
        SearchFolder(productFolder_ + kit::kInfFolder32), SearchFolder(productFolder_ + kit::kInfFolder64),
        SearchFolder(productFolder_ + "\\tools"), kOverProductFolder, kStartTempFolder,
        SearchFolder(tempFolder_), SearchFolder(tempFolder_ + "\\cache"),
        SearchFolder(tempFolder_ + "\\cache\\a"), SearchFolder(tempFolder_ + "\\cache\\a\\b"),
        SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"), kOverTempFolder}});

  const std::vector<std::string> strings = Run(expected);

  EXPECT_NE(std::find(strings.begin(), strings.end(), kPromptWithoutKey), strings.end());
  ExpectKeysGone();
  ExpectFoldersGone();
}

// Any argument that contains "showmessage", the program path included,
// asks for the prompt; the scan stops there. Both keys, no folders.
class Arguments : public VeskotScenario {
 protected:
  void LayOut() {
    ASSERT_NO_FATAL_FAILURE(AddProductKey());
    ASSERT_NO_FATAL_FAILURE(AddUninstallKey());
  }

  void CheckRun(const std::string& path, const std::vector<std::string>& arguments,
                const Messages& expected) {
    EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), RunVeskot(path, arguments).strings));
    ExpectKeysGone();
  }
};

TEST_F(Arguments, WordInsideAnArgumentAsksForThePrompt) {
  ASSERT_NO_FATAL_FAILURE(LayOut());
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), ArgumentScan(kNullShown),
             ArgumentScan("showmessagex"), kShowIsTrue, kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(),
             kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk({}),
            {kNeedSearch, kStartRegOpenKeyEx, kStartRegDeleteKey, kPromptAfterDeletion, kStartProductFolder,
             SearchFolder(productFolder_), FindFirstFailed(productFolder_), kOverProductFolder,
             kStartTempFolder, SearchFolder(tempFolder_), FindFirstFailed(tempFolder_), kOverTempFolder}});

  CheckRun(veskotPath_, {"a", "/xshowmessagex", "b"}, expected);
}

TEST_F(Arguments, WordInOtherLetterCaseIsNotRecognized) {
  ASSERT_NO_FATAL_FAILURE(LayOut());
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), ArgumentScan(kNullShown),
             ArgumentScan(kNullShown), ArgumentScan(kNullShown), kStartPkgGetSysInfo, OsVersion(6, 1),
             Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk({}),
            {kNeedSearch, kStartRegOpenKeyEx, kStartRegDeleteKey, kStartProductFolder,
             SearchFolder(productFolder_), FindFirstFailed(productFolder_), kOverProductFolder,
             kStartTempFolder, SearchFolder(tempFolder_), FindFirstFailed(tempFolder_), kOverTempFolder}});

  CheckRun(veskotPath_, {"SHOWMESSAGE", "ShowMessage", "-Showmessage"}, expected);
}

TEST_F(Arguments, ProgramPathWithTheWordAsksForThePrompt) {
  const std::string path = JoinPath(JoinPath(kitFolder_, "showmessage"), kit::kVeskotExe);
  ASSERT_TRUE(MakeFolders(FolderOf(path)));
  ASSERT_TRUE(CopyOneFile(veskotPath_, path));
  ASSERT_NO_FATAL_FAILURE(LayOut());
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan("showmessage\\Veskot.exe"), kShowIsTrue,
             kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(path),
            DeviceWalk({}),
            {kNeedSearch, kStartRegOpenKeyEx, kStartRegDeleteKey, kPromptAfterDeletion, kStartProductFolder,
             SearchFolder(productFolder_), FindFirstFailed(productFolder_), kOverProductFolder,
             kStartTempFolder, SearchFolder(tempFolder_), FindFirstFailed(tempFolder_), kOverTempFolder}});

  CheckRun(path, {"b"}, expected);
}

}  // namespace
}  // namespace e2e
