// The setup program as a person at the screen sees it (Xvfb): its welcome,
// progress and finish pages, then the uninstall through the Add/Remove
// Programs command with its pages and the completion prompt, in English
// and, on a Chinese (PRC) system, in Simplified Chinese. Each step leaves
// a picture of the screen in the scratch folder, for a person to look at.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/listener.h"
#include "tests/e2e/machine.h"
#include "tests/e2e/setup_machine.h"
#include "tests/e2e/wizard.h"

namespace e2e {
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
    "Uninstall prompt",
    "Uninstalling of  the driver is successful !",
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
};

// The process id of the running program `name`, once it runs.
DWORD WaitForProcess(const std::string& name) {
  const DWORD start = GetTickCount();
  do {
    for (const auto& process : RunningProcesses()) {
      if (lstrcmpiA(process.second.c_str(), name.c_str()) == 0) {
        return process.first;
      }
    }
    Sleep(100);
  } while (GetTickCount() - start < kPageWait);
  return 0;
}

class SetupOnADisplay : public SetupTest {
 protected:
  // A picture of the screen, once what just appeared has been drawn.
  void Shoot(const Texts& texts, const char* step) {
    Sleep(1500);
    EXPECT_TRUE(SaveScreen(ScratchFile(std::string(texts.shots) + "_" + step + ".bmp")));
  }

  // Goes through one wizard: welcome, progress, finish.
  void Wizard(DWORD pid, const Texts& texts, const char* caption, const char* welcome, const char* done,
              const char* finished, const char* name, bool prompt) {
    SeenWindow page;
    ASSERT_TRUE(WaitForText(pid, welcome, kPageWait, &page));
    EXPECT_EQ(page.title, caption);
    Shoot(texts, (std::string(name) + "_1_welcome").c_str());
    ASSERT_TRUE(ClickButton(page.window, IDOK));
    if (prompt) {
      // Veskot's completion prompt, over the uninstall's progress page.
      const DWORD veskot = WaitForProcess("Veskot.exe");
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
    Shoot(texts, (std::string(name) + "_4_finish").c_str());
    ASSERT_TRUE(ClickButton(page.window, IDOK));
  }

  void InstallAndUninstall(const Texts& texts) {
    ASSERT_NO_FATAL_FAILURE(UseRelease("win7"));
    Started setup;
    ASSERT_TRUE(setup.Start(Quote(setup_), ScratchFile("setup_display.txt")));
    ASSERT_NO_FATAL_FAILURE(Wizard(setup.Pid(), texts, texts.setupCaption, texts.welcome, texts.installed,
                                   texts.finished, "setup", false));
    DWORD exitCode = 99;
    ASSERT_TRUE(setup.Wait(kPageWait, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    ExpectInstalled();
    const std::vector<std::string> staged = StagedCopies();

    const RegistryValue command = ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    ASSERT_TRUE(command.present);
    Started uninstall;
    ASSERT_TRUE(uninstall.Start(command.data.c_str(), ScratchFile("uninstall_display.txt")));
    const DWORD pid = WaitForProcess("NORDAL_5120_Uninstall.exe");
    ASSERT_NE(pid, 0u);
    ASSERT_NO_FATAL_FAILURE(Wizard(pid, texts, texts.uninstallCaption, texts.uninstallWelcome,
                                   texts.uninstalled, texts.uninstallFinished, "uninstall", true));
    ASSERT_TRUE(uninstall.Wait(kPageWait, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    ExpectNothingLeft(staged);
  }
};

TEST_F(SetupOnADisplay, EnglishPagesAndPrompt) { InstallAndUninstall(kEnglish); }

TEST_F(SetupOnADisplay, ChinesePagesAndPromptOnAChineseSystem) { InstallAndUninstall(kChinese); }

}  // namespace
}  // namespace e2e
