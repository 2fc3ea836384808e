// The shared support as the installer links it: trace channel, WOW64
// probe, text matching, process lookup and path cutting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/path_compat.h"
#include "common/platform_probes.h"
#include "common/process_helpers.h"
#include "common/trace.h"
#include "tests/host/simulated_trace.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "winsim/simulated_windows.h"

namespace {
using quorlin::kTag;

class SharedSupport : public ::testing::Test {
 protected:
  void SetUp() override { winsim::Reset(); }
};

TEST_F(SharedSupport, TraceSendsTagThenFormattedMessage) {
  Trace("Start close autorun, line: %d", 445);
  Trace("Plain text without placeholders\n");
  Trace("code 0x:%x, [%8x]", 0x1f, 0xab);
  const std::vector<std::string> expected = {kTag, quorlin::kStartCloseAutorun,
                                             kTag, "Plain text without placeholders\n",
                                             kTag, "code 0x:1f, [      ab]"};
  EXPECT_EQ(winsim::machine().debugOutput, expected);
}

TEST_F(SharedSupport, TraceKeepsA259CharacterPathWhole) {
  const std::string path = "C:\\" + std::string(256, 'p');
  ASSERT_EQ(path.size(), 259u);
  Trace("Full name: %s\n", path.c_str());
  EXPECT_EQ(TracedMessages(kTag), kit::Messages{quorlin::FullName(path)});
}

TEST_F(SharedSupport, TraceCutsWhatWsprintfCannotHoldWithoutOverrun) {
  const std::string huge(5000, 'x');
  Trace("%s", huge.c_str());
  EXPECT_EQ(TracedMessages(kTag), kit::Messages{std::string(kit::kLongestMessage, 'x')});
}

TEST_F(SharedSupport, TraceTextIsSentVerbatim) {
  TraceText("USB\\VID_3A8D&PID_6C31%s%d");
  EXPECT_EQ(TracedMessages(kTag), kit::Messages{"USB\\VID_3A8D&PID_6C31%s%d"});
}

TEST_F(SharedSupport, ContainsNoCaseMatchesAsciiLettersInEitherCase) {
  EXPECT_EQ(ContainsNoCase("USB\\VID_3a8d&pid_6C31&MI_00", kit::kHandsetId), 1);
  EXPECT_EQ(ContainsNoCase("MyAutoRun.exe", "autorun"), 1);
  EXPECT_EQ(ContainsNoCase("setup.EXE", ".exe"), 1);  // right at the end
  EXPECT_EQ(ContainsNoCase("aaab", "aab"), 1);        // inside a failed partial match
  EXPECT_EQ(ContainsNoCase("autoru", "autorun"), 0);  // text longer than the string
  EXPECT_EQ(ContainsNoCase("autorun", "autorunx"), 0);
  EXPECT_EQ(ContainsNoCase("notepad.exe", "autorun"), 0);
}

TEST_F(SharedSupport, ContainsNoCaseFoldsNothingButLetters) {
  EXPECT_EQ(ContainsNoCase("a@b", "a`b"), 0);
  EXPECT_EQ(ContainsNoCase("a`b", "a@b"), 0);
  EXPECT_EQ(ContainsNoCase("[x]", "{x}"), 0);
  EXPECT_EQ(ContainsNoCase("\xC9t\xE9", "\xE9"), 1);  // a high byte matches itself
  EXPECT_EQ(ContainsNoCase("\xC9", "\xE9"), 0);       // and nothing else
  EXPECT_EQ(ContainsNoCase("\xA9", "\xC9"), 0);
}

TEST_F(SharedSupport, ContainsNoCaseEmptyAndNull) {
  EXPECT_EQ(ContainsNoCase("abc", ""), 0);
  EXPECT_EQ(ContainsNoCase("", ""), 0);
  EXPECT_EQ(ContainsNoCase("", "a"), 0);
  EXPECT_EQ(ContainsNoCase(nullptr, "a"), 0);
  EXPECT_EQ(ContainsNoCase("a", nullptr), 0);
}

TEST_F(SharedSupport, Wow64ProbeFollowsTheExportAndItsAnswer) {
  winsim::Machine& m = winsim::machine();
  m.wow64 = winsim::Wow64::kAnswersTrue;
  EXPECT_NE(IsRunningOnWow64(), FALSE);
  m.wow64 = winsim::Wow64::kAnswersFalse;
  EXPECT_EQ(IsRunningOnWow64(), FALSE);
  m.wow64 = winsim::Wow64::kCallFails;
  EXPECT_EQ(IsRunningOnWow64(), FALSE);
  EXPECT_EQ(m.wow64Calls, 3);  // asked anew every time
  m.wow64 = winsim::Wow64::kExportMissing;
  EXPECT_EQ(IsRunningOnWow64(), FALSE);
  EXPECT_EQ(m.wow64Calls, 3);
  EXPECT_TRUE(m.debugOutput.empty());
}

TEST_F(SharedSupport, FindProcessByNameTakesTheFirstMatchOfTheWalk) {
  winsim::Machine& m = winsim::machine();
  m.AddProcess(4, "System");
  m.AddProcess(210, "explorer.exe");
  m.AddProcess(300, "HandsetAutoRun.exe");
  m.AddProcess(301, "autorun2.exe");
  EXPECT_EQ(FindProcessByName("autorun"), 300u);
  EXPECT_EQ(FindProcessByName("EXPLORER"), 210u);
  EXPECT_EQ(FindProcessByName("missing.exe"), kNoProcess);
  EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kSnapshot), 0);
}

TEST_F(SharedSupport, FindProcessByNamePassesOverTheCallingProcess) {
  winsim::Machine& m = winsim::machine();
  m.processes.front().exeFile = "autorun_setup.exe";  // the caller itself
  EXPECT_EQ(FindProcessByName("autorun"), kNoProcess);
  m.AddProcess(500, "autorun.exe");
  EXPECT_EQ(FindProcessByName("autorun"), 500u);
}

TEST_F(SharedSupport, FindProcessByNameWithoutSnapshot) {
  winsim::Machine& m = winsim::machine();
  m.AddProcess(300, "autorun.exe");
  m.snapshotFails = true;
  EXPECT_EQ(FindProcessByName("autorun"), kNoProcess);
}

TEST_F(SharedSupport, Transf2PathCutsAtTheLastBackslash) {
  char path[MAX_PATH];
  memset(path, 'z', sizeof(path));
  strcpy(path, "C:\\Program Files\\Kit\\Veskot.exe");
  EXPECT_EQ(Transf2Path(path), 1);
  EXPECT_STREQ(path, "C:\\Program Files\\Kit");
  for (size_t i = strlen(path); i < sizeof(path); ++i) {
    ASSERT_EQ(path[i], '\0') << "byte " << i;
  }
  strcpy(path, "C:\\Kit\\");
  EXPECT_EQ(Transf2Path(path), 1);
  EXPECT_STREQ(path, "C:\\Kit");
  strcpy(path, "C:\\setup.exe");
  EXPECT_EQ(Transf2Path(path), 1);
  EXPECT_STREQ(path, "C:");
  EXPECT_TRUE(winsim::machine().debugOutput.empty());
}

TEST_F(SharedSupport, Transf2PathWithoutBackslashOrBuffer) {
  char path[MAX_PATH] = "setup.exe";
  EXPECT_EQ(Transf2Path(path), 0);
  EXPECT_STREQ(path, "setup.exe");
  EXPECT_TRUE(winsim::machine().debugOutput.empty());
  EXPECT_EQ(Transf2Path(nullptr), 0);
  EXPECT_EQ(TracedMessages(kTag), kit::Messages{quorlin::kTransf2PathNull});
}
}  // namespace
