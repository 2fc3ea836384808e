// The search of the Windows INF directory by content.
#include "uninstaller/inf_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/simulated_paths.h"
#include "tests/host/simulated_trace.h"
#include "tests/kit_facts/veskot_messages.h"
#include "winsim/simulated_windows.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;

// An INF file whose first manufacturer lists `models` under `section`.
std::string Inf(const std::string& manufacturer, const std::string& section, const std::string& models) {
  return "; sample\r\n[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Ports\r\n"
         "[Manufacturer]\r\n" +
         manufacturer + "\r\n[" + section + "]\r\n" + models +
         "\r\n[Strings]\r\nMfg=\"Orvane\"\r\nDiag=\"NORDAL 5120 Diagnostics, COM\"\r\n";
}

const std::string kHandsetInf = Inf("%Mfg%=Orvane,NTx86,NTamd64", "Orvane",
                                    "%Diag%=QcSer, USB\\VID_3A8D&PID_6C31&MI_01\r\n"
                                    "%Diag%=QcSer, USB\\VID_3A8D&PID_6C32&MI_01");

class InfScan : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::Reset();
    winsim::machine().AddFolder(sim::kInfStore);
  }
  void AddInf(const std::string& name, const std::string& content, DWORD attributes = 0) {
    winsim::machine().AddFile(sim::InInfStore(name), content, attributes);
  }
  bool Present(const std::string& name) { return winsim::machine().Exists(sim::InInfStore(name)); }
  void ExpectAllClosed() {
    EXPECT_EQ(winsim::machine().OpenHandles(winsim::Handle::Kind::kInf), 0);
    EXPECT_EQ(winsim::machine().OpenHandles(winsim::Handle::Kind::kFind), 0);
  }
};

TEST_F(InfScan, DeletesOnlyTheFilesThatNameTheHandset) {
  AddInf("machine.inf", Inf("%Mfg%=Std", "Std", "%Diag%=Pci, PCI\\VEN_8086&DEV_1234"));
  AddInf("oem7.inf", kHandsetInf, FILE_ATTRIBUTE_READONLY);
  AddInf("oem7.pnf", "precompiled");
  AddInf("oem8.inf", Inf("%Mfg%=M", "M", "%Diag%=I, usb\\vid_3a8d&pid_6c31&mi_00&Rev_0232, USB\\Class_FF"));
  EXPECT_EQ(SearchInfDirectory(), 0);
  const kit::Messages expected = {kFoundHandsetInf,
                                  FileFullName(sim::InInfStore("oem7.inf")),
                                  DeviceContext("QcSer,USB\\VID_3A8D&PID_6C31&MI_01"),
                                  kFoundHandsetInf,
                                  FileFullName(sim::InInfStore("oem8.inf")),
                                  DeviceContext("I,usb\\vid_3a8d&pid_6c31&mi_00&Rev_0232,USB\\Class_FF")};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(Present("machine.inf"));
  EXPECT_FALSE(Present("oem7.inf"));
  EXPECT_TRUE(Present("oem7.pnf"));
  EXPECT_FALSE(Present("oem8.inf"));
  // Windows' own files are read like the OEM copies; the .pnf is not.
  const std::vector<std::string> opened = {sim::InInfStore("machine.inf"), sim::InInfStore("oem7.inf"),
                                           sim::InInfStore("oem8.inf")};
  EXPECT_EQ(winsim::machine().infOpenCalls, opened);
  ExpectAllClosed();
}

TEST_F(InfScan, SecondIdAloneIsNotSearchedFor) {
  AddInf("oem1.inf", Inf("%Mfg%=M", "M", "%Diag%=I, USB\\VID_3A8D&PID_6C32&MI_01"));
  SearchInfDirectory();
  EXPECT_TRUE(winsim::machine().debugOutput.empty());
  EXPECT_TRUE(Present("oem1.inf"));
}

TEST_F(InfScan, OnlyTheFirstManufacturersUndecoratedSectionCounts) {
  AddInf("second.inf",
         "[Version]\r\nSignature=$Chicago$\r\n[Manufacturer]\r\nA=First\r\nB=Second\r\n"
         "[First]\r\nX=I,USB\\VID_0000\r\n[Second]\r\nY=I,USB\\VID_3A8D&PID_6C31\r\n");
  AddInf("decorated.inf", Inf("%Mfg%=Orvane,NTx86", "Orvane.NTx86", "%Diag%=I, USB\\VID_3A8D&PID_6C31"));
  AddInf("emptyfield.inf", Inf("%Mfg%=,NTx86", "Orvane", "%Diag%=I, USB\\VID_3A8D&PID_6C31"));
  AddInf("nomanufacturer.inf",
         "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Models]\r\nX=I,USB\\VID_3A8D&PID_6C31\r\n");
  SearchInfDirectory();
  EXPECT_TRUE(winsim::machine().debugOutput.empty());
  EXPECT_TRUE(Present("second.inf"));
  EXPECT_TRUE(Present("decorated.inf"));
  EXPECT_TRUE(Present("emptyfield.inf"));
  EXPECT_TRUE(Present("nomanufacturer.inf"));
  ExpectAllClosed();
}

TEST_F(InfScan, StopsReadingAFileAtItsFirstMatch) {
  AddInf("oem2.inf", Inf("%Mfg%=M", "M",
                         "A=I1, USB\\VID_3A8D&PID_6C31&MI_00\r\nB=I2, USB\\VID_3A8D&PID_6C31&MI_01\r\n"
                         "C=I3, USB\\VID_3A8D&PID_6C31&MI_02"));
  SearchInfDirectory();
  const kit::Messages expected = {kFoundHandsetInf, FileFullName(sim::InInfStore("oem2.inf")),
                                  DeviceContext("I1,USB\\VID_3A8D&PID_6C31&MI_00")};
  EXPECT_EQ(TracedMessages(kTag), expected);
}

TEST_F(InfScan, FileThatIsNoInfIsReportedAndPassedOver) {
  AddInf("broken.inf", "this is no INF file\r\n");
  winsim::machine().AddFolder(sim::InInfStore("folder.inf"));
  AddInf("oem9.inf", kHandsetInf);
  SearchInfDirectory();
  const kit::Messages expected = {kNotAnInf,
                                  NotAnInfName(sim::InInfStore("broken.inf")),
                                  kNotAnInf,
                                  NotAnInfName(sim::InInfStore("folder.inf")),
                                  kFoundHandsetInf,
                                  FileFullName(sim::InInfStore("oem9.inf")),
                                  DeviceContext("QcSer,USB\\VID_3A8D&PID_6C31&MI_01")};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(Present("oem9.inf"));
  ExpectAllClosed();
}

TEST_F(InfScan, Utf16FileIsReadToo) {
  const std::string text = kHandsetInf;
  std::string utf16 = "\xFF\xFE";
  for (char c : text) {
    utf16 += c;
    utf16 += '\0';
  }
  AddInf("oem11.inf", utf16);
  SearchInfDirectory();
  const kit::Messages expected = {kFoundHandsetInf, FileFullName(sim::InInfStore("oem11.inf")),
                                  DeviceContext("QcSer,USB\\VID_3A8D&PID_6C31&MI_01")};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(Present("oem11.inf"));
}

TEST_F(InfScan, OddEntriesAndFiveThousandFilesAreScannedThroughAndOnlyHandsetInfsGo) {
  winsim::machine().AddFolder(sim::InInfStore("x.inf"));
  AddInf("empty.inf", "");
  std::string binary;
  for (int i = 0; i < 4096; ++i) {
    binary += static_cast<char>((i * 7919 + 13) % 256);
  }
  AddInf("binary.inf", binary);
  std::string utf16;
  for (char c : kHandsetInf) {
    utf16 += c;
    utf16 += '\0';
  }
  AddInf("utf16.inf", utf16);
  const std::string other = Inf("%Mfg%=Kestrel", "Kestrel", "%Diag%=Cam, USB\\VID_0C45&PID_6340");
  for (int number = 1000; number < 6000; ++number) {
    AddInf("oem" + std::to_string(number) + ".inf", number % 1000 == 0 ? kHandsetInf : other);
  }
  EXPECT_EQ(SearchInfDirectory(), 0);
  // In name order: the five handset INF files among the others, the two
  // that are no INF file before them, and the folder after.
  const std::string handsetLine = "QcSer,USB\\VID_3A8D&PID_6C31&MI_01";
  const kit::Messages expected = {kNotAnInf,
                                  NotAnInfName(sim::InInfStore("binary.inf")),
                                  kNotAnInf,
                                  NotAnInfName(sim::InInfStore("empty.inf")),
                                  kFoundHandsetInf,
                                  FileFullName(sim::InInfStore("oem1000.inf")),
                                  DeviceContext(handsetLine),
                                  kFoundHandsetInf,
                                  FileFullName(sim::InInfStore("oem2000.inf")),
                                  DeviceContext(handsetLine),
                                  kFoundHandsetInf,
                                  FileFullName(sim::InInfStore("oem3000.inf")),
                                  DeviceContext(handsetLine),
                                  kFoundHandsetInf,
                                  FileFullName(sim::InInfStore("oem4000.inf")),
                                  DeviceContext(handsetLine),
                                  kFoundHandsetInf,
                                  FileFullName(sim::InInfStore("oem5000.inf")),
                                  DeviceContext(handsetLine),
                                  kFoundHandsetInf,
                                  FileFullName(sim::InInfStore("utf16.inf")),
                                  DeviceContext(handsetLine),
                                  kNotAnInf,
                                  NotAnInfName(sim::InInfStore("x.inf"))};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(winsim::machine().infOpenCalls.size(), 5004u);
  for (int number = 1000; number < 6000; ++number) {
    EXPECT_EQ(Present("oem" + std::to_string(number) + ".inf"), number % 1000 != 0) << number;
  }
  EXPECT_FALSE(Present("utf16.inf"));
  EXPECT_EQ(winsim::machine().FileContent(sim::InInfStore("empty.inf")), "");
  EXPECT_EQ(winsim::machine().FileContent(sim::InInfStore("binary.inf")), binary);
  EXPECT_NE(winsim::machine().Attributes(sim::InInfStore("x.inf")) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_TRUE(winsim::machine().Exists("C:\\WINDOWS"));
  ExpectAllClosed();
}

TEST_F(InfScan, EmptyInfDirectory) {
  AddInf("oem1.pnf", "precompiled");
  SearchInfDirectory();
  EXPECT_EQ(TracedMessages(kTag), kit::Messages{kNoFileList});
}

TEST_F(InfScan, NoMemoryForAPathBuffer) {
  AddInf("oem7.inf", kHandsetInf);
  const std::pair<int, const char*> cases[] = {
      {1, kNoWindowsDirBuffer}, {2, kNoPatternBuffer}, {3, kNoFileNameBuffer}};
  for (const auto& c : cases) {
    ClearTrace();
    winsim::machine().heapAllocations = 0;
    winsim::machine().failingHeapAllocations = {c.first};
    EXPECT_EQ(SearchInfDirectory(), 0);
    EXPECT_EQ(TracedMessages(kTag), kit::Messages{c.second});
    EXPECT_TRUE(Present("oem7.inf"));
  }
}

TEST_F(InfScan, NoMemoryInsideAFileEndsOnlyThatFile) {
  AddInf("oem1.inf", kHandsetInf);
  AddInf("oem2.inf", kHandsetInf);
  // After the three path buffers, each file takes: the first field's text,
  // the section name, the first field's text again, then one per line.
  winsim::machine().failingHeapAllocations = {5};
  SearchInfDirectory();
  const kit::Messages expected = {kFoundHandsetInf, FileFullName(sim::InInfStore("oem2.inf")),
                                  DeviceContext("QcSer,USB\\VID_3A8D&PID_6C31&MI_01")};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(Present("oem1.inf"));
  EXPECT_FALSE(Present("oem2.inf"));
  ExpectAllClosed();
}

TEST_F(InfScan, WithoutTheWindowsDirectoryNothingIsSearched) {
  AddInf("oem7.inf", kHandsetInf);
  winsim::machine().windowsDirectoryFails = true;
  EXPECT_EQ(SearchInfDirectory(), 0);
  EXPECT_TRUE(winsim::machine().debugOutput.empty());
  EXPECT_TRUE(winsim::machine().infOpenCalls.empty());
  EXPECT_TRUE(Present("oem7.inf"));
}

class LineFirstField : public InfScan {
 protected:
  INFCONTEXT LineOf(const std::string& line) {
    AddInf("one.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n[S]\r\n" + line + "\r\n");
    inf_ = SetupOpenInfFileA(sim::InInfStore("one.inf").c_str(), nullptr, INF_STYLE_WIN4, nullptr);
    EXPECT_NE(inf_, INVALID_HANDLE_VALUE);
    INFCONTEXT context;
    EXPECT_TRUE(SetupFindFirstLineA(inf_, "S", nullptr, &context));
    return context;
  }
  void TearDown() override { SetupCloseInfFile(inf_); }
  HINF inf_ = INVALID_HANDLE_VALUE;
};

TEST_F(LineFirstField, FirstFieldWithItsTerminator) {
  INFCONTEXT context = LineOf("%Mfg% = Orvane, NTx86, NTamd64");
  DWORD length = 0;
  EXPECT_EQ(GetLineFirstField(&context, nullptr, 0, &length), 1);
  EXPECT_EQ(length, 7u);
  char small[6];
  memset(small, '#', sizeof(small));
  EXPECT_EQ(GetLineFirstField(&context, small, sizeof(small), &length), 1);
  EXPECT_EQ(std::string(small, sizeof(small)), "######");  // too small: nothing copied
  char out[7];
  EXPECT_EQ(GetLineFirstField(&context, out, sizeof(out), &length), 1);
  EXPECT_EQ(std::string(out, 7), std::string("Orvane\0", 7));
}

TEST_F(LineFirstField, LineWithoutCommaIsOneField) {
  INFCONTEXT context = LineOf("Models");
  DWORD length = 0;
  char out[16];
  EXPECT_EQ(GetLineFirstField(&context, out, sizeof(out), &length), 1);
  EXPECT_EQ(length, 7u);
  EXPECT_STREQ(out, "Models");
}

TEST_F(LineFirstField, NoMemoryForTheText) {
  INFCONTEXT context = LineOf("A=B,C");
  winsim::machine().failingHeapAllocations = {winsim::machine().heapAllocations + 1};
  DWORD length = 99;
  EXPECT_EQ(GetLineFirstField(&context, nullptr, 0, &length), 0);
  EXPECT_EQ(length, 99u);
}
}  // namespace
