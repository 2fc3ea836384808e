// The RUNASADMIN record in the current user's registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/path_compat.h"
#include "tests/host/trace_log.h"
#include "winsim/machine.h"

namespace {
const char kTag[] = "..Quorlin32 - Zenor";
const char kLayers[] = "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
const std::string kRunAsAdmin("RUNASADMIN\0", 11);

class SetVistaRightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::Reset();
    winsim::machine().modulePath = "C:\\Program Files\\NORDAL_5120_USB_DRIVER\\Quorlin.exe";
  }
};

TEST_F(SetVistaRightTest, CreatesTheKeyAndRecordsTheProgramPath) {
  EXPECT_EQ(SetVistaRight(), 1);
  const winsim::RegistryValue* value =
      winsim::machine().Value(kLayers, "C:\\Program Files\\NORDAL_5120_USB_DRIVER\\Quorlin.exe");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value->data, kRunAsAdmin);
  EXPECT_EQ(TracedMessages(kTag), std::vector<std::string>{"Start set vista right, line: 1569"});
  EXPECT_EQ(winsim::machine().OpenHandles(winsim::Handle::Kind::kKey), 0);
}

TEST_F(SetVistaRightTest, OverwritesEarlierLayersAndKeepsOtherPrograms) {
  winsim::Machine& m = winsim::machine();
  m.SetValue(kLayers, m.modulePath, REG_SZ, std::string("WINXPSP3 HIGHDPIAWARE\0", 22));
  m.SetValue(kLayers, "C:\\Other\\tool.exe", REG_SZ, std::string("WIN98\0", 6));
  EXPECT_EQ(SetVistaRight(), 1);
  EXPECT_EQ(SetVistaRight(), 1);
  EXPECT_EQ(m.Value(kLayers, m.modulePath)->data, kRunAsAdmin);
  EXPECT_EQ(m.Value(kLayers, "C:\\Other\\tool.exe")->data, std::string("WIN98\0", 6));
  EXPECT_EQ(m.keys[kLayers].values.size(), 2u);
}

TEST_F(SetVistaRightTest, ACopyElsewhereGetsItsOwnRecord) {
  winsim::Machine& m = winsim::machine();
  EXPECT_EQ(SetVistaRight(), 1);
  m.modulePath = "D:\\copy\\Quorlin.exe";
  EXPECT_EQ(SetVistaRight(), 1);
  EXPECT_NE(m.Value(kLayers, "C:\\Program Files\\NORDAL_5120_USB_DRIVER\\Quorlin.exe"), nullptr);
  EXPECT_NE(m.Value(kLayers, "D:\\copy\\Quorlin.exe"), nullptr);
}

TEST_F(SetVistaRightTest, KeyThatCannotBeOpenedIsReportedWithBothCodes) {
  winsim::Machine& m = winsim::machine();
  m.refusedOpen[kLayers] = ERROR_ACCESS_DENIED;
  m.lastError = 0x3f0;
  EXPECT_EQ(SetVistaRight(), 0);
  const std::vector<std::string> expected = {"Start set vista right, line: 1569",
                                             "Open registry for set feature failed, error code 0x:3f0",
                                             "dwErrorCode: [5], hVistaRight: [0]"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m.HasKey(kLayers));
}

TEST_F(SetVistaRightTest, ValueThatCannotBeWrittenClosesTheKey) {
  winsim::Machine& m = winsim::machine();
  m.refusedSetValue[kLayers] = ERROR_ACCESS_DENIED;
  m.lastError = 5;
  EXPECT_EQ(SetVistaRight(), 0);
  const std::vector<std::string> expected = {"Start set vista right, line: 1569",
                                             "Set registry value failed, error code 0x:5"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kKey), 0);
  EXPECT_TRUE(m.keys[kLayers].values.empty());
}

TEST_F(SetVistaRightTest, ProgramPathTooLongForTheBufferIsNotRecorded) {
  winsim::Machine& m = winsim::machine();
  m.modulePath = "C:\\" + std::string(300, 'd') + "\\Quorlin.exe";
  EXPECT_EQ(SetVistaRight(), 0);
  EXPECT_TRUE(m.keys[kLayers].values.empty());
  EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kKey), 0);

  m.modulePath = "C:\\" + std::string(256, 'd');  // 259 characters still fit
  EXPECT_EQ(SetVistaRight(), 1);
  EXPECT_NE(m.Value(kLayers, m.modulePath), nullptr);
}
}  // namespace
