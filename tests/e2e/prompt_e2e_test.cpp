// The uninstaller's completion prompt as a person sees it: these tests run
// with a display (Xvfb), find the message box by its caption from a
// watcher thread, read its caption, text and buttons, look at the machine
// while it is up, and dismiss it with its OK button.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_trace.h"
#include "tests/e2e/uninstall_machine.h"

namespace e2e {

using namespace wine;
namespace {

const char kProductKey[] = "SOFTWARE\\Orvane_M4730_Driver";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane_M4730_Driver";

const char kEnglishCaption[] = "Uninstall prompt";
const char kEnglishText[] = "Uninstalling of  the driver is successful !";
// "卸载提示" and "手机驱动卸载成功!" in code page 936 (GBK).
const char kChineseCaption[] = "\xD0\xB6\xD4\xD8\xCC\xE1\xCA\xBE";
const char kChineseText[] =
    "\xCA\xD6\xBB\xFA\xC7\xFD\xB6\xAF\xD0\xB6\xD4\xD8\xB3\xC9\xB9\xA6"
    "!";

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
  seen.uninstallKeyPresent = KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey);
  seen.productKeyPresent = KeyExists(HKEY_LOCAL_MACHINE, kProductKey);
  seen.productFolderPresent = FolderExists(watch->productFolder);
  seen.tempFolderPresent = FolderExists(watch->tempFolder);
  seen.dismissed = PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                reinterpret_cast<LPARAM>(watch->okButton)) != 0;
  return 0;
}

class Prompt : public UninstallerTest {
 protected:
  // Runs "Veskot.exe showmessage" while a watcher waits for the box with
  // `caption`; returns what it saw.
  SeenPrompt RunWithPrompt(const std::string& caption, const RunExpectation& expectation) {
    const std::vector<std::string> expected = ExpectedRun(expectation);
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
    EXPECT_TRUE(SameDebugStrings(expected, result.strings));
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
bool ChineseWindows() { return !UnderWine() && GetSystemDefaultUILanguage() == 0x0804; }

TEST_F(Prompt, EnglishPromptStaysUntilItIsDismissed) {
  if (ChineseWindows()) {
    GTEST_SKIP() << "a test for an English prompt, on a Chinese (PRC) Windows";
  }
  ASSERT_NO_FATAL_FAILURE(LayOutInstalledMachine());
  RunExpectation expectation;
  expectation.scanResults = {kNullText, "showmessage"};
  expectation.deletedInfFiles = 4;

  const SeenPrompt seen = RunWithPrompt(kEnglishCaption, expectation);

  EXPECT_EQ(seen.windowClass, "#32770");
  EXPECT_EQ(seen.caption, kEnglishCaption);
  EXPECT_EQ(seen.texts, std::vector<std::string>({kEnglishText}));
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
  RunExpectation expectation;
  expectation.scanResults = {kNullText, "showmessage"};

  const SeenPrompt seen = RunWithPrompt(kEnglishCaption, expectation);

  EXPECT_EQ(seen.texts, std::vector<std::string>({kEnglishText}));
  ExpectShownAfterTheKeysBeforeTheFolders(seen);
  ExpectFoldersGone();
}

// Run with LC_ALL=zh_CN.UTF-8: Wine then reports the UI language Chinese
// (PRC) and the ANSI code page 936, in which the texts read back.
TEST_F(Prompt, ChinesePromptOnAChineseSystem) {
  if (!UnderWine() && !ChineseWindows()) {
    GTEST_SKIP() << "a test for a Chinese (PRC) Windows";
  }
  ASSERT_EQ(GetSystemDefaultUILanguage(), 0x0804)
      << "this test needs a Chinese (PRC) system: LC_ALL=zh_CN.UTF-8";
  ASSERT_EQ(GetACP(), 936u);
  ASSERT_NO_FATAL_FAILURE(AddProductKey());
  ASSERT_NO_FATAL_FAILURE(AddUninstallKey());
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  RunExpectation expectation;
  expectation.scanResults = {kNullText, "showmessage"};

  const SeenPrompt seen = RunWithPrompt(kChineseCaption, expectation);

  EXPECT_EQ(seen.caption, kChineseCaption);
  EXPECT_EQ(seen.texts, std::vector<std::string>({kChineseText}));
  ExpectShownAfterTheKeysBeforeTheFolders(seen);
  ExpectKeysGone();
  ExpectFoldersGone();
}

}  // namespace
}  // namespace e2e
