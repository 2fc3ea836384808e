// The RUNASADMIN record in the current user's registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/path_compat.h"
#include "tests/host/simulated_paths.h"
#include "tests/host/simulated_trace.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "winsim/simulated_windows.h"

namespace {
const std::string& kLayers = sim::kLayersKey;
// The installer in the product folder.
const std::string kInstalled = sim::kProductDir32 + "\\" + kit::kQuorlinExe;

class SetVistaRightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::Reset();
    winsim::machine().modulePath = kInstalled;
  }
};

TEST_F(SetVistaRightTest, CreatesTheKeyAndRecordsTheProgramPath) {
  EXPECT_EQ(SetVistaRight(), 1);
  const winsim::RegistryValue* value = winsim::machine().Value(kLayers, kInstalled);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value->data, sim::kRunAsAdminData);
  EXPECT_EQ(TracedMessages(quorlin::kTag), kit::Messages{quorlin::kStartSetVistaRight});
  EXPECT_EQ(winsim::machine().OpenHandles(winsim::Handle::Kind::kKey), 0);
}

TEST_F(SetVistaRightTest, OverwritesEarlierLayersAndKeepsOtherPrograms) {
  winsim::Machine& m = winsim::machine();
  m.SetValue(kLayers, m.modulePath, REG_SZ, std::string("WINXPSP3 HIGHDPIAWARE\0", 22));
  m.SetValue(kLayers, "C:\\Other\\tool.exe", REG_SZ, std::string("WIN98\0", 6));
  EXPECT_EQ(SetVistaRight(), 1);
  EXPECT_EQ(SetVistaRight(), 1);
  EXPECT_EQ(m.Value(kLayers, m.modulePath)->data, sim::kRunAsAdminData);
  EXPECT_EQ(m.Value(kLayers, "C:\\Other\\tool.exe")->data, std::string("WIN98\0", 6));
  EXPECT_EQ(m.keys[kLayers].values.size(), 2u);
}

TEST_F(SetVistaRightTest, ACopyElsewhereGetsItsOwnRecord) {
  winsim::Machine& m = winsim::machine();
  EXPECT_EQ(SetVistaRight(), 1);
  m.modulePath = std::string("D:\\copy\\") + kit::kQuorlinExe;
  EXPECT_EQ(SetVistaRight(), 1);
  EXPECT_NE(m.Value(kLayers, kInstalled), nullptr);
  EXPECT_NE(m.Value(kLayers, m.modulePath), nullptr);
}

TEST_F(SetVistaRightTest, KeyThatCannotBeOpenedIsReportedWithBothCodes) {
  winsim::Machine& m = winsim::machine();
  m.refusedOpen[kLayers] = ERROR_ACCESS_DENIED;
  m.lastError = 0x3f0;
  EXPECT_EQ(SetVistaRight(), 0);
  const kit::Messages expected = {quorlin::kStartSetVistaRight, quorlin::OpenLayersFailed(0x3f0),
                                  quorlin::LayersKeyAnswer(5, 0)};
  EXPECT_EQ(TracedMessages(quorlin::kTag), expected);
  EXPECT_FALSE(m.HasKey(kLayers));
}

TEST_F(SetVistaRightTest, ValueThatCannotBeWrittenClosesTheKey) {
  winsim::Machine& m = winsim::machine();
  m.refusedSetValue[kLayers] = ERROR_ACCESS_DENIED;
  m.lastError = 5;
  EXPECT_EQ(SetVistaRight(), 0);
  const kit::Messages expected = {quorlin::kStartSetVistaRight, quorlin::SetLayerFailed(5)};
  EXPECT_EQ(TracedMessages(quorlin::kTag), expected);
  EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kKey), 0);
  EXPECT_TRUE(m.keys[kLayers].values.empty());
}

TEST_F(SetVistaRightTest, ProgramPathTooLongForTheBufferIsNotRecorded) {
  winsim::Machine& m = winsim::machine();
  m.modulePath = "C:\\" + std::string(300, 'd') + "\\" + kit::kQuorlinExe;
  EXPECT_EQ(SetVistaRight(), 0);
  EXPECT_TRUE(m.keys[kLayers].values.empty());
  EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kKey), 0);

  m.modulePath = "C:\\" + std::string(256, 'd');  // 259 characters still fit
  EXPECT_EQ(SetVistaRight(), 1);
  EXPECT_NE(m.Value(kLayers, m.modulePath), nullptr);
}
}  // namespace
