// Ending the handset's "autorun" program.
#include "installer/close_autorun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/simulated_trace.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "winsim/simulated_windows.h"

namespace {
class CloseAutorunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::Reset();
    winsim::machine().AddProcess(8, "explorer.exe");
  }
};

TEST_F(CloseAutorunTest, NoAutorunRunning) {
  EXPECT_EQ(CloseAutorun(), 1);
  const kit::Messages expected = {quorlin::kStartCloseAutorun, quorlin::kNoAutorun};
  EXPECT_EQ(TracedMessages(quorlin::kTag), expected);
  EXPECT_TRUE(winsim::machine().openProcessCalls.empty());
}

TEST_F(CloseAutorunTest, EndsOnlyTheFirstMatchWithExitCodeZero) {
  winsim::Machine& m = winsim::machine();
  m.AddProcess(40, "NordalAutorun.exe");
  m.AddProcess(41, "AUTORUN.EXE");
  EXPECT_EQ(CloseAutorun(), 1);
  const kit::Messages expected = {quorlin::kStartCloseAutorun, quorlin::kCloseAutorun};
  EXPECT_EQ(TracedMessages(quorlin::kTag), expected);
  ASSERT_EQ(m.openProcessCalls.size(), 1u);
  EXPECT_EQ(m.openProcessCalls[0].access, 0x1F0FFFu);
  EXPECT_EQ(m.openProcessCalls[0].inheritHandle, TRUE);
  EXPECT_EQ(m.openProcessCalls[0].processId, 40u);
  EXPECT_TRUE(m.FindProcess(40)->terminated);
  EXPECT_EQ(m.FindProcess(40)->exitCode, 0u);
  EXPECT_TRUE(m.FindProcess(41)->running);
  EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kProcess), 0);
}

TEST_F(CloseAutorunTest, ProcessThatCannotBeOpened) {
  winsim::Machine& m = winsim::machine();
  m.AddProcess(40, "autorun.exe").refuseOpen = true;
  EXPECT_EQ(CloseAutorun(), 0);
  const kit::Messages expected = {quorlin::kStartCloseAutorun, quorlin::kCannotOpenAutorun};
  EXPECT_EQ(TracedMessages(quorlin::kTag), expected);
  EXPECT_TRUE(m.FindProcess(40)->running);
}

TEST_F(CloseAutorunTest, AnInstallerRenamedToAutorunDoesNotEndItself) {
  winsim::Machine& m = winsim::machine();
  m.processes.front().exeFile = "autorun_Quorlin.exe";
  EXPECT_EQ(CloseAutorun(), 1);
  const kit::Messages expected = {quorlin::kStartCloseAutorun, quorlin::kNoAutorun};
  EXPECT_EQ(TracedMessages(quorlin::kTag), expected);
  EXPECT_TRUE(m.processes.front().running);
}
}  // namespace
