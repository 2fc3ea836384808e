// The uninstaller's completion prompt as a person sees it: these tests run
// with a display (Xvfb), find the message box by its caption from a
// watcher thread, read its caption, text and buttons, look at the machine
// while it is up, and dismiss it with its OK button.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/veskot_device_walk.h"
#include "tests/e2e/veskot_fixture.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tests/wine/capture.h"
#include "tests/wine/files.h"
#include "tests/wine/prefix.h"
#include "tests/wine/registry.h"

namespace e2e {
namespace {

// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;
using namespace wine;
using kit::kNullShown;
using kit::Traced;

const DWORD kPromptWait = 30 * 1000;

// What the watcher saw of the message box, and of the machine while the
// box was up.
struct SeenPrompt {
  bool found = false;
  std::string windowClass;
  std::string caption;
  std::vector<std::string> texts;    // the non-empty static controls
  std::vector<std::string> buttons;  // the button captions
  bool uninstallKeyPresent = false;
  bool productKeyPresent = false;
  bool productFolderPresent = false;
  bool tempFolderPresent = false;
  bool dismissed = false;
};

struct Watch {
  std::string caption;
  std::string productFolder;
  std::string tempFolder;
  SeenPrompt seen;
  HWND okButton = NULL;
};

std::string TextOf(HWND window) {
  char text[1024];
  const int length = GetWindowTextA(window, text, sizeof(text));
  return std::string(text, length > 0 ? length : 0);
}

BOOL CALLBACK CollectControl(HWND control, LPARAM parameter) {
  Watch* watch = reinterpret_cast<Watch*>(parameter);
  char windowClass[64];
  const int length = GetClassNameA(control, windowClass, sizeof(windowClass));
  const std::string name(windowClass, length > 0 ? length : 0);
  const std::string text = TextOf(control);
  if (lstrcmpiA(name.c_str(), "Static") == 0 && !text.empty()) {
    watch->seen.texts.push_back(text);
  } else if (lstrcmpiA(name.c_str(), "Button") == 0) {
    watch->seen.buttons.push_back(text);
    if (GetDlgCtrlID(control) == IDOK) {
      watch->okButton = control;
    }
  }
  return TRUE;
}

// Waits for the box, reads it, notes the machine's state and clicks OK.
DWORD WINAPI WatchForPrompt(void* parameter) {
  Watch* watch = static_cast<Watch*>(parameter);
  HWND box = NULL;
  const DWORD start = GetTickCount();
  while (box == NULL && GetTickCount() - start < kPromptWait) {
    box = FindWindowA(NULL, watch->caption.c_str());
    if (box == NULL || !IsWindowVisible(box)) {
      box = NULL;
      Sleep(50);
    }
  }
  if (box == NULL) {
    return 0;
  }
  SeenPrompt& seen = watch->seen;
  seen.found = true;
  char windowClass[64];
  const int length = GetClassNameA(box, windowClass, sizeof(windowClass));
  seen.windowClass.assign(windowClass, length > 0 ? length : 0);
  seen.caption = TextOf(box);
  EnumChildWindows(box, CollectControl, reinterpret_cast<LPARAM>(watch));
  seen.uninstallKeyPresent = KeyExists(HKEY_LOCAL_MACHINE, kit::kUninstallKey);
  seen.productKeyPresent = KeyExists(HKEY_LOCAL_MACHINE, kit::kProductKey);
  seen.productFolderPresent = FolderExists(watch->productFolder);
  seen.tempFolderPresent = FolderExists(watch->tempFolder);
  seen.dismissed = PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                reinterpret_cast<LPARAM>(watch->okButton)) != 0;
  return 0;
}

class Prompt : public VeskotScenario {
 protected:
  // Runs "Veskot.exe showmessage" while a watcher waits for the box with
  // `caption`; returns what it saw.
  SeenPrompt RunWithPrompt(const std::string& caption, const Messages& expected) {
    Watch watch;
    watch.caption = caption;
    watch.productFolder = productFolder_;
    watch.tempFolder = tempFolder_;
    HANDLE watcher = CreateThread(NULL, 0, WatchForPrompt, &watch, 0, NULL);
    EXPECT_NE(watcher, static_cast<HANDLE>(NULL));
    const CaptureResult result = RunVeskot(veskotPath_, {"showmessage"});
    if (watcher != NULL) {
      WaitForSingleObject(watcher, kPromptWait + 5000);
      CloseHandle(watcher);
    }
    EXPECT_TRUE(SameDebugStrings(Traced(kTag, expected), result.strings));
    EXPECT_TRUE(watch.seen.found) << "no window captioned \"" << caption << "\" came up";
    EXPECT_TRUE(watch.seen.dismissed);
    return watch.seen;
  }

  void ExpectShownAfterTheKeysBeforeTheFolders(const SeenPrompt& seen) {
    EXPECT_FALSE(seen.uninstallKeyPresent) << "the prompt came before the Uninstall key was deleted";
    EXPECT_FALSE(seen.productKeyPresent) << "the prompt came before the product key was deleted";
    EXPECT_TRUE(seen.productFolderPresent) << "the product folder went before the prompt";
    EXPECT_TRUE(seen.tempFolderPresent) << "the temporary folder went before the prompt";
  }
};

// On Windows the system's own UI language decides which prompt a test can
// see; under Wine the test's environment sets it.
bool ChineseWindows() { return !UnderWine() && GetSystemDefaultUILanguage() == kit::kLanguageChinesePrc; }

TEST_F(Prompt, EnglishPromptStaysUntilItIsDismissed) {
  if (ChineseWindows()) {
    GTEST_SKIP() << "a test for an English prompt, on a Chinese (PRC) Windows";
  }
  ASSERT_NO_FATAL_FAILURE(LayOutInstalledKit());
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), ArgumentScan("showmessage"),
             kShowIsTrue, kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk(InstalledKitWalk(RemoveAnswer())),
            {kNeedSearch,
             kNotAnInf,
             NotAnInfName(Store("general__toaster__toastpkg__inf__autorun.inf")),
             kFoundHandsetInf,
             FileFullName(Store("nordal_adb_legacy.inf")),
             DeviceContext("OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"),
             kFoundHandsetInf,
             FileFullName(Store("nordal_modem_legacy.inf")),
             DeviceContext("OrvaneModem.Install,usb\\vid_3a8d&pid_6c31&mi_00,USB\\Class_02&SubClass_02"),
             kStartRegOpenKeyEx,
             kStartRegDeleteKey,
             kPromptAfterDeletion,
             kStartProductFolder,
             SearchFolder(productFolder_),
             SearchFolder(productFolder_ + "\\docs"),
             SearchFolder(productFolder_ + "\\docs\\empty"),
             SearchFolder(productFolder_ + kit::kInfFolder32),
             SearchFolder(productFolder_ + kit::kInfFolder64),
             SearchFolder(productFolder_ + "\\tools"),
             DeleteFailedTryLater(productFolder_ + "\\tools\\HandsetTool.exe"),
             HolderName("HandsetTool.exe"),
             kOverProductFolder,
             kStartTempFolder,
             SearchFolder(tempFolder_),
             SearchFolder(tempFolder_ + "\\cache"),
             SearchFolder(tempFolder_ + "\\cache\\a"),
             SearchFolder(tempFolder_ + "\\cache\\a\\b"),
             SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"),
             kOverTempFolder}});

  const SeenPrompt seen = RunWithPrompt(kit::kPromptCaption, expected);

  EXPECT_EQ(seen.windowClass, "#32770");
  EXPECT_EQ(seen.caption, kit::kPromptCaption);
  EXPECT_EQ(seen.texts, std::vector<std::string>({kit::kPromptText}));
  EXPECT_EQ(seen.buttons, std::vector<std::string>({"OK"}));
  ExpectShownAfterTheKeysBeforeTheFolders(seen);
  ExpectKeysGone();
  ExpectFoldersGone();
  ExpectHandsetToolEnded();
}

TEST_F(Prompt, PromptIsShownOnAMachineWithoutTheKit) {
  if (ChineseWindows()) {
    GTEST_SKIP() << "a test for an English prompt, on a Chinese (PRC) Windows";
  }
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

  const SeenPrompt seen = RunWithPrompt(kit::kPromptCaption, expected);

  EXPECT_EQ(seen.texts, std::vector<std::string>({kit::kPromptText}));
  ExpectShownAfterTheKeysBeforeTheFolders(seen);
  ExpectFoldersGone();
}

// Run with LC_ALL=zh_CN.UTF-8: Wine then reports the UI language Chinese
// (PRC) and the ANSI code page 936, in which the texts read back.
TEST_F(Prompt, ChinesePromptOnAChineseSystem) {
  if (!UnderWine() && !ChineseWindows()) {
    GTEST_SKIP() << "a test for a Chinese (PRC) Windows";
  }
  ASSERT_EQ(GetSystemDefaultUILanguage(), kit::kLanguageChinesePrc)
      << "this test needs a Chinese (PRC) system: LC_ALL=zh_CN.UTF-8";
  ASSERT_EQ(GetACP(), 936u);
  ASSERT_NO_FATAL_FAILURE(AddProductKey());
  ASSERT_NO_FATAL_FAILURE(AddUninstallKey());
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  const Messages expected =
      Join({{kUninstallDevice, kStartSetVistaRight, ArgumentScan(kNullShown), ArgumentScan("showmessage"),
             kShowIsTrue, kStartPkgGetSysInfo, OsVersion(6, 1), Windows7Line(), kOverPkgGetSysInfo},
            Branch64(veskotPath_),
            DeviceWalk({}),
            {kNeedSearch, kStartRegOpenKeyEx, kStartRegDeleteKey, kPromptAfterDeletion, kStartProductFolder,
             SearchFolder(productFolder_), SearchFolder(productFolder_ + "\\docs"),
             SearchFolder(productFolder_ + "\\docs\\empty"), SearchFolder(productFolder_ + kit::kInfFolder32),
             SearchFolder(productFolder_ + kit::kInfFolder64), SearchFolder(productFolder_ + "\\tools"),
             kOverProductFolder, kStartTempFolder, SearchFolder(tempFolder_),
             SearchFolder(tempFolder_ + "\\cache"), SearchFolder(tempFolder_ + "\\cache\\a"),
             SearchFolder(tempFolder_ + "\\cache\\a\\b"), SearchFolder(tempFolder_ + "\\cache\\a\\b\\c"),
             kOverTempFolder}});

  const SeenPrompt seen = RunWithPrompt(kit::kPromptCaptionChinese, expected);

  EXPECT_EQ(seen.caption, kit::kPromptCaptionChinese);
  EXPECT_EQ(seen.texts, std::vector<std::string>({kit::kPromptTextChinese}));
  ExpectShownAfterTheKeysBeforeTheFolders(seen);
  ExpectKeysGone();
  ExpectFoldersGone();
}

}  // namespace
}  // namespace e2e
