// The setup program as a person at the screen sees it (Xvfb): its welcome,
// progress and finish pages, then the uninstall through the Add/Remove
// Programs command with its pages and the completion prompt, in English
// and, on a Chinese (PRC) system, in Simplified Chinese; then the Windows
// Installer package removed by its full user interface, whose message
// comes from the person's own msiexec. Each step leaves a picture of the
// screen in the scratch folder, for a person to look at.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/setup_fixture.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tests/kit_facts/windows_releases.h"
#include "tests/wine/files.h"
#include "tests/wine/listener.h"
#include "tests/wine/programs.h"
#include "tests/wine/registry.h"
#include "tests/wine/windows_on_display.h"

namespace e2e {

using namespace wine;
namespace {

const DWORD kPageWait = 60000;

// What the pages and the prompt say in one language.
struct Texts {
  const char* shots;  // the pictures' names begin so
  const char* setupCaption;
  const char* welcome;
  const char* installed;
  const char* finished;
  const char* uninstallCaption;
  const char* uninstallWelcome;
  const char* uninstalled;
  const char* uninstallFinished;
  const char* promptCaption;
  const char* prompt;
  const char* restart;  // the uninstall's finish page when a file in use waits for a restart
};

const Texts kEnglish = {
    "english",
    "NORDAL 5120 USB Driver Setup",
    "Welcome to NORDAL 5120 USB Driver Setup",
    "Installation Complete",
    "Completing NORDAL 5120 USB Driver Setup",
    "NORDAL 5120 USB Driver Uninstall",
    "Welcome to NORDAL 5120 USB Driver Uninstall",
    "Uninstallation Complete",
    "Completing NORDAL 5120 USB Driver Uninstall",
    kit::kPromptCaption,
    kit::kPromptText,
    "NORDAL 5120 USB Driver has been removed from this computer, but some of its files are in use. They will "
    "be deleted when the computer restarts.\r\n\r\nRestart the computer to complete the uninstallation.",
};

const Texts kChinese = {
    "chinese",
    "NORDAL 5120 USB Driver 安装",
    "欢迎使用 NORDAL 5120 USB Driver 安装程序",
    "安装完成",
    "NORDAL 5120 USB Driver 安装程序结束",
    "NORDAL 5120 USB Driver 卸载",
    "欢迎使用 NORDAL 5120 USB Driver 卸载程序",
    "卸载完成",
    "NORDAL 5120 USB Driver 卸载程序结束",
    "卸载提示",
    "手机驱动卸载成功!",
    "NORDAL 5120 USB Driver 已从本机卸载，但其部分文件正在使用中，将在计算机重新启动时删除。\r\n\r\n"
    "请重新启动计算机以完成卸载。",
};

class SetupOnADisplay : public SetupTest {
 protected:
  // A picture of the screen, once what just appeared has been drawn.
  void Shoot(const Texts& texts, const char* step) {
    Sleep(1500);
    EXPECT_TRUE(SaveScreen(ScratchFile(std::string(texts.shots) + "_" + step + ".bmp")));
  }

  // Goes through one wizard: welcome, progress, finish, whose page says
  // `restart` when it is given.
  void Wizard(DWORD pid, const Texts& texts, const char* caption, const char* welcome, const char* done,
              const char* finished, const char* name, bool prompt, const char* restart = nullptr) {
    SeenWindow page;
    ASSERT_TRUE(WaitForText(pid, welcome, kPageWait, &page));
    EXPECT_EQ(page.title, caption);
    Shoot(texts, (std::string(name) + "_1_welcome").c_str());
    ASSERT_TRUE(ClickButton(page.window, IDOK));
    if (prompt) {
      // Veskot's completion prompt, over the uninstall's progress page.
      const DWORD veskot = WaitForProcess(kit::kVeskotExe, kPageWait);
      ASSERT_NE(veskot, 0u);
      SeenWindow box;
      ASSERT_TRUE(WaitForText(veskot, texts.prompt, kPageWait, &box));
      EXPECT_EQ(box.title, texts.promptCaption);
      Shoot(texts, (std::string(name) + "_2_prompt").c_str());
      ASSERT_TRUE(ClickButton(box.window, IDOK));
    }
    ASSERT_TRUE(WaitForText(pid, done, kPageWait, &page));
    Shoot(texts, (std::string(name) + "_3_progress").c_str());
    ASSERT_TRUE(ClickButton(page.window, IDOK));
    ASSERT_TRUE(WaitForText(pid, finished, kPageWait, &page));
    if (restart != nullptr) {
      EXPECT_TRUE(WaitForText(pid, restart, 0, &page));
    }
    Shoot(texts, (std::string(name) + "_4_finish").c_str());
    ASSERT_TRUE(ClickButton(page.window, IDOK));
  }

  // The uninstall command runs with `temp` as the temporary folder, when
  // one is given, and with the package file `held` held open, when one is
  // given: it then ends with 3010, and the restart takes what is left.
  void InstallAndUninstall(const Texts& texts, const wchar_t* temp = nullptr, const char* held = nullptr) {
    const std::vector<std::string> layers = ValueNames(HKEY_CURRENT_USER, kit::kLayersKey);
    ASSERT_NO_FATAL_FAILURE(UseRelease(kit::kWindows7));
    Started setup;
    ASSERT_TRUE(setup.Start(Quote(setup_), ScratchFile("setup_display.txt")));
    ASSERT_NO_FATAL_FAILURE(Wizard(setup.Pid(), texts, texts.setupCaption, texts.welcome, texts.installed,
                                   texts.finished, "setup", false));
    DWORD exitCode = 99;
    ASSERT_TRUE(setup.Wait(kPageWait, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    ExpectInstalled();
    const std::vector<std::string> staged = StagedCopies();

    const RegistryValue command = ReadValue(HKEY_LOCAL_MACHINE, kit::kUninstallKey, "UninstallString");
    ASSERT_TRUE(command.present);
    wchar_t oldTemp[MAX_PATH];
    const DWORD oldLength = GetEnvironmentVariableW(L"TEMP", oldTemp, MAX_PATH);
    if (temp != nullptr) {
      CreateDirectoryW(L"C:\\kit temp", NULL);
      CreateDirectoryW(temp, NULL);
      SetEnvironmentVariableW(L"TEMP", temp);
      SetEnvironmentVariableW(L"TMP", temp);
    }
    HeldOpenFile holder;
    if (held != nullptr) {
      ASSERT_TRUE(holder.Open(JoinPath(productFolder_, held)));
    }
    Started uninstall;
    ASSERT_TRUE(uninstall.Start(command.data.c_str(), ScratchFile("uninstall_display.txt")));
    const DWORD pid = WaitForProcess(kit::kSetupUninstallCopyExe, kPageWait);
    ASSERT_NE(pid, 0u);
    ASSERT_NO_FATAL_FAILURE(Wizard(pid, texts, texts.uninstallCaption, texts.uninstallWelcome,
                                   texts.uninstalled, texts.uninstallFinished, "uninstall", true,
                                   held != nullptr ? texts.restart : nullptr));
    ASSERT_TRUE(uninstall.Wait(kPageWait, &exitCode));
    SetEnvironmentVariableW(L"TEMP", std::wstring(oldTemp, oldLength).c_str());
    SetEnvironmentVariableW(L"TMP", std::wstring(oldTemp, oldLength).c_str());
    EXPECT_EQ(exitCode, held != nullptr ? kExitRestartRequired : 0u);
    if (held != nullptr) {
      holder.Close();
      ASSERT_TRUE(Restart());
    }
    ExpectNothingLeft(staged);
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kit::kLayersKey), layers);
  }

  // The package installed silently, then removed by a person through its
  // full user interface: the message after the removal, from msiexec.
  void RemovePackage(const Texts& texts) {
    DWORD exitCode = 99;
    std::vector<ListenLine> lines;
    ASSERT_TRUE(RunListened("msiexec /i " + Quote(Package()) + " /qn", &exitCode, &lines));
    ASSERT_EQ(exitCode, 0u);
    const std::vector<std::string> staged = StagedCopies();
    Started removal;
    ASSERT_TRUE(removal.Start("msiexec /x " + Quote(Package()), ScratchFile("removal_display.txt")));
    SeenWindow box;
    const DWORD start = GetTickCount();
    bool shown = false;
    while (!shown && GetTickCount() - start < kPageWait) {
      for (const auto& process : RunningProcesses()) {
        shown =
            shown || (process.second == "msiexec.exe" && WaitForText(process.first, texts.prompt, 0, &box));
      }
      Sleep(200);
    }
    ASSERT_TRUE(shown) << "no message after the removal";
    EXPECT_EQ(box.title, texts.promptCaption);
    Shoot(texts, "package_removed");
    ASSERT_TRUE(ClickButton(box.window, IDOK));
    ASSERT_TRUE(removal.Wait(kPageWait, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(InstalledPackages().empty());
    ExpectNothingLeft(staged);
  }
};

// The uninstall command with a temporary folder whose path holds what a
// user name may hold, Chinese where the system's code page has it; in
// English, with a package file in use, which waits for the restart.
TEST_F(SetupOnADisplay, EnglishPagesAndPrompt) {
  ASSERT_NO_FATAL_FAILURE(
      InstallAndUninstall(kEnglish, L"C:\\kit temp\\Hi! !OS! ^ & %x% (1)", "INF\\qcser.inf"));
  RemovePackage(kEnglish);
}

TEST_F(SetupOnADisplay, ChinesePagesAndPromptOnAChineseSystem) {
  ASSERT_NO_FATAL_FAILURE(InstallAndUninstall(kChinese, L"C:\\kit temp\\\u7528\u6237 Hi! !OS! ^ & %x% (1)"));
  RemovePackage(kChinese);
}

}  // namespace
}  // namespace e2e
