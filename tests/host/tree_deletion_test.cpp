// Deleting a folder with everything in it.
#include "uninstaller/tree_deletion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/trace_log.h"
#include "winsim/machine.h"

namespace {
const char kTag[] = "..Veskot - Zenor";
const char kDir[] = "C:\\Program Files\\NORDAL_5120_USB_DRIVER";

typedef std::vector<std::string> Lines;

std::string Search(const std::string& folder) {
  return "Get file name 32 bit: [" + folder + "\\*.*], line: 1014";
}

class TreeDeletion : public ::testing::Test {
 protected:
  void SetUp() override { winsim::Reset(); }
  winsim::Machine& m() { return winsim::machine(); }
  std::string In(const std::string& name) { return std::string(kDir) + "\\" + name; }
};

TEST_F(TreeDeletion, FolderThatDoesNotExist) {
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  const Lines expected = {Search(kDir),
                          "Find first file failed, Path[" + std::string(kDir) + "\\*.*], line: 1019"};
  EXPECT_EQ(TracedMessages(kTag), expected);
}

TEST_F(TreeDeletion, EmptyFolderIsRemoved) {
  m().AddFolder(kDir);
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  EXPECT_EQ(TracedMessages(kTag), Lines{Search(kDir)});
  EXPECT_FALSE(m().Exists(kDir));
  EXPECT_TRUE(m().Exists("C:\\Program Files"));
}

TEST_F(TreeDeletion, NestedFoldersAndProtectedFilesGoDepthFirst) {
  m().AddFile(In("INF\\android_usb.inf"), "x", FILE_ATTRIBUTE_READONLY);
  m().AddFile(In("INF\\64_inf\\qcser.inf"), "x", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  m().AddFile(In("INF\\64_inf\\deep\\er\\still.cat"), "x", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  m().AddFile(In("readme.txt"), "x");
  m().AddFolder(In("empty"));
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  const Lines expected = {Search(kDir),
                          Search(In("empty")),
                          Search(In("INF")),
                          Search(In("INF\\64_inf")),
                          Search(In("INF\\64_inf\\deep")),
                          Search(In("INF\\64_inf\\deep\\er"))};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists(kDir));
  EXPECT_TRUE(m().sleeps.empty());
}

TEST_F(TreeDeletion, TrailingBackslashIsNotDoubled) {
  m().AddFile(In("sub\\a.txt"), "x");
  EXPECT_EQ(PkgDeleteFile((std::string(kDir) + "\\").c_str()), 1);
  const Lines expected = {"Get file name 32 bit: [" + std::string(kDir) + "\\*.*], line: 1014",
                          Search(In("sub"))};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists(kDir));
}

TEST_F(TreeDeletion, HolderNamedLikeTheFileIsEndedAndTheFileGoes) {
  m().AddProcess(300, "Orvane_M4730_Temp.exe").imagePath = In("Orvane_M4730_Temp.exe");
  m().AddProcess(301, "xHandsetTool.exe").imagePath = In("tools\\xHandsetTool.exe");
  m().AddProcess(302, "HandsetTool.exe").imagePath = In("HandsetTool.exe");
  m().AddFile(In("HandsetTool.exe"), "MZ").heldBy = 301;
  m().AddFile(In("other.dll"), "MZ");
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  const Lines expected = {Search(kDir),
                          "Delete file failed, try late, file: [" + In("HandsetTool.exe") + "], line: 1054",
                          "Buf: HandsetTool.exe"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  // The first process from the folder whose name contains the file's name,
  // by containment.
  EXPECT_TRUE(m().FindProcess(301)->terminated);
  EXPECT_EQ(m().FindProcess(301)->exitCode, 0u);
  EXPECT_TRUE(m().FindProcess(302)->running);
  ASSERT_EQ(m().openProcessCalls.size(), 1u);
  EXPECT_EQ(m().openProcessCalls[0].access, 0x1F0FFFu);
  EXPECT_EQ(m().openProcessCalls[0].inheritHandle, TRUE);
  EXPECT_EQ(m().sleeps, std::vector<DWORD>{200});
  EXPECT_FALSE(m().Exists(kDir));
  EXPECT_EQ(m().OpenHandles(winsim::Handle::Kind::kProcess), 0);
  EXPECT_EQ(m().OpenHandles(winsim::Handle::Kind::kFind), 0);
}

TEST_F(TreeDeletion, HolderWithAnotherNameIsLeftAndTheFileStays) {
  m().AddProcess(400, "editor.exe");
  m().AddFile(In("sub\\notes.txt"), "x").heldBy = 400;
  m().AddFile(In("sub\\z.txt"), "x");
  m().AddFile(In("a.txt"), "x");
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  const Lines expected = {Search(kDir), Search(In("sub")),
                          "Delete file failed, try late, file: [" + In("sub\\notes.txt") + "], line: 1054",
                          "Buf: notes.txt",
                          "Delete file failed, file: [" + In("sub\\notes.txt") + "], line: 1074"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m().FindProcess(400)->running);
  EXPECT_EQ(m().sleeps, std::vector<DWORD>{200});
  EXPECT_TRUE(m().Exists(In("sub\\notes.txt")));
  EXPECT_FALSE(m().Exists(In("sub\\z.txt")));
  EXPECT_FALSE(m().Exists(In("a.txt")));
  EXPECT_TRUE(m().Exists(In("sub")));
  EXPECT_TRUE(m().Exists(kDir));
}

TEST_F(TreeDeletion, HolderThatCannotBeOpened) {
  winsim::Process& service = m().AddProcess(500, "service.exe");
  service.imagePath = In("service.exe");
  service.refuseOpen = true;
  m().AddFile(In("service.exe"), "MZ").heldBy = 500;
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  const Lines expected = {Search(kDir),
                          "Delete file failed, try late, file: [" + In("service.exe") + "], line: 1054",
                          "Buf: service.exe", "Cannot open process, line: 1066",
                          "Delete file failed, file: [" + In("service.exe") + "], line: 1074"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(m().sleeps, std::vector<DWORD>{200});
  EXPECT_TRUE(m().Exists(In("service.exe")));
}

// A held file ends a process only when its name contains the file's name
// and its program file lies inside the folder being deleted; never the
// program that started the uninstaller.
TEST_F(TreeDeletion, OnlyAKitProgramRunningFromTheFolderIsEnded) {
  const char kTemp[] = "C:\\Program Files\\Orvane_M4730_Temp";
  const struct {
    const char* row;
    const char* folder;  // the folder deleted
    const char* file;    // the held file inside it
    const char* exeFile;
    std::string imagePath;
    bool startedTheUninstaller;
    bool ended;
  } cases[] = {
      {"from a subfolder", kDir, "HandsetTool.exe", "HandsetTool.exe", In("tools\\HandsetTool.exe"), false,
       true},
      {"path in another case", kDir, "HandsetTool.exe", "HandsetTool.exe",
       "c:\\PROGRAM FILES\\nordal_5120_usb_driver\\HandsetTool.exe", false, true},
      {"from elsewhere", kDir, "HandsetTool.exe", "HandsetTool.exe", "C:\\Users\\me\\HandsetTool.exe", false,
       false},
      {"from a folder whose name begins alike", kDir, "HandsetTool.exe", "HandsetTool.exe",
       "C:\\Program Files\\NORDAL_5120_USB_DRIVER_old\\HandsetTool.exe", false, false},
      {"cannot be learned", kDir, "HandsetTool.exe", "HandsetTool.exe", "", false, false},
      {"started the uninstaller", kDir, "uninstall.exe", "uninstall.exe", In("uninstall.exe"), true, false},
      {"a system program that contains the name", kDir, "a", "plugplay.exe",
       "C:\\WINDOWS\\system32\\plugplay.exe", false, false},
      {"from the other kit folder", kTemp, "HandsetTool.exe", "HandsetTool.exe", In("HandsetTool.exe"), false,
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    SetUp();
    winsim::Process& holder = m().AddProcess(300, c.exeFile);
    holder.imagePath = c.imagePath;
    if (c.startedTheUninstaller) {
      m().processes.front().parentId = 300;
    }
    const std::string held = std::string(c.folder) + "\\" + c.file;
    m().AddFile(held, "x").heldBy = 300;
    EXPECT_EQ(PkgDeleteFile(c.folder), 1);
    Lines expected = {Search(c.folder), "Delete file failed, try late, file: [" + held + "], line: 1054",
                      "Buf: " + std::string(c.file)};
    if (!c.ended) {
      expected.push_back("Delete file failed, file: [" + held + "], line: 1074");
    }
    EXPECT_EQ(TracedMessages(kTag), expected);
    EXPECT_EQ(holder.terminated, c.ended);
    EXPECT_EQ(m().Exists(held), !c.ended);
    EXPECT_EQ(m().sleeps, std::vector<DWORD>{200});
    EXPECT_EQ(m().OpenHandles(winsim::Handle::Kind::kSnapshot), 0);
  }
}

TEST_F(TreeDeletion, OwnProgramFileStaysAndTheRestGoes) {
  m().processes.front().exeFile = "Veskot.exe";
  m().processes.front().imagePath = In("Veskot.exe");
  m().AddFile(In("Veskot.exe"), "MZ").heldBy = m().currentProcessId;
  m().AddFile(In("zz.txt"), "x");
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  const Lines expected = {
      Search(kDir), "Delete file failed, try late, file: [" + In("Veskot.exe") + "], line: 1054",
      "Buf: Veskot.exe", "Delete file failed, file: [" + In("Veskot.exe") + "], line: 1074"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m().processes.front().running);
  EXPECT_TRUE(m().Exists(In("Veskot.exe")));
  EXPECT_FALSE(m().Exists(In("zz.txt")));
}

TEST_F(TreeDeletion, JunctionIsRemovedAndItsTargetKept) {
  m().AddFile("D:\\Data\\keep.txt", "precious");
  m().AddJunction(In("link"), "D:\\Data");
  m().AddFile(In("a.txt"), "x");
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  EXPECT_EQ(TracedMessages(kTag), Lines{Search(kDir)});
  EXPECT_FALSE(m().Exists(kDir));
  EXPECT_EQ(m().FileContent("D:\\Data\\keep.txt"), "precious");
}

TEST_F(TreeDeletion, FolderThatIsItselfAJunctionGoesAsALinkAndItsTargetStays) {
  m().AddFile("D:\\Data\\keep.txt", "precious");
  m().AddFile("D:\\Data\\sub\\deep.txt", "also precious");
  m().AddJunction(kDir, "D:\\Data");
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  const Lines expected = {"Folder is a link, removed and not entered: [" + std::string(kDir) + "]\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists(kDir));
  EXPECT_EQ(m().FileContent("D:\\Data\\keep.txt"), "precious");
  EXPECT_EQ(m().FileContent("D:\\Data\\sub\\deep.txt"), "also precious");
}

TEST_F(TreeDeletion, EntryWhosePathWouldNotFitIsPassedOver) {
  const std::string deep = In(std::string(200, 'd'));
  const std::string longName = std::string(300 - deep.size(), 'n');
  m().AddFile(deep + "\\" + longName, "x");
  m().AddFile(deep + "\\short.txt", "x");
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  const Lines expected = {Search(kDir), Search(deep),
                          "Path too long, passed over: [" + deep + "\\" + longName + "]\n"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m().Exists(deep + "\\" + longName));
  EXPECT_FALSE(m().Exists(deep + "\\short.txt"));
  EXPECT_TRUE(m().Exists(kDir));
}

TEST_F(TreeDeletion, EntryPathOf259CharactersGoesAndOf260IsPassedOverAndTraced) {
  const std::string deep = In(std::string(200, 'd'));
  ASSERT_EQ(deep.size(), 240u);
  const std::string file259 = deep + "\\" + std::string(18, 'a');
  const std::string file260 = deep + "\\" + std::string(19, 'b');
  // A folder whose own path fits but whose search pattern would not, and
  // one whose pattern just fits.
  const std::string folder259 = deep + "\\" + std::string(18, 'f');
  const std::string folder255 = deep + "\\" + std::string(14, 'g');
  ASSERT_EQ(file259.size(), 259u);
  ASSERT_EQ(file260.size(), 260u);
  ASSERT_EQ(folder255.size() + strlen("\\*.*"), 259u);
  m().AddFile(file259, "x");
  m().AddFile(file260, "x");
  m().AddFolder(folder259);
  m().AddFile(folder255 + "\\z", "x");
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  const Lines expected = {Search(kDir), Search(deep), "Path too long, passed over: [" + file260 + "]\n",
                          "Path too long, passed over: [" + folder259 + "]\n", Search(folder255)};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists(file259));
  EXPECT_TRUE(m().Exists(file260));
  EXPECT_TRUE(m().Exists(folder259));
  EXPECT_FALSE(m().Exists(folder255));
  EXPECT_TRUE(m().Exists(deep));
  EXPECT_TRUE(m().sleeps.empty());
}

TEST_F(TreeDeletion, TenThousandFilesAllGoAndNothingBesideTheFolder) {
  m().AddFile("C:\\Program Files\\NORDAL_5120_USB_DRIVER.txt", "beside");
  m().AddFile("C:\\Program Files\\NORDAL_5120_USB_DRIVER_old\\keep.txt", "beside");
  Lines expected = {Search(kDir)};
  for (int folder = 0; folder < 10; ++folder) {
    const std::string sub = In("part" + std::to_string(folder));
    expected.push_back(Search(sub));
    for (int file = 0; file < 1000; ++file) {
      m().AddFile(sub + "\\file" + std::to_string(file) + ".dat", "x",
                  file % 3 == 0 ? FILE_ATTRIBUTE_READONLY : 0);
    }
  }
  ASSERT_EQ(m().files.size(), 10000u + 10u + 1u + 2u + 2u);  // with the folders above
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists(kDir));
  EXPECT_EQ(m().FileContent("C:\\Program Files\\NORDAL_5120_USB_DRIVER.txt"), "beside");
  EXPECT_EQ(m().FileContent("C:\\Program Files\\NORDAL_5120_USB_DRIVER_old\\keep.txt"), "beside");
  EXPECT_EQ(m().files.size(), 4u);
  EXPECT_TRUE(m().sleeps.empty());
  EXPECT_EQ(m().OpenHandles(winsim::Handle::Kind::kFind), 0);
}

TEST_F(TreeDeletion, AmongFiveHundredProcessesOnlyTheHolderIsEnded) {
  // Names that come close to the held file's name without containing it,
  // and the holder somewhere in the middle of the list.
  const char* const nearMisses[] = {"HandsetToo.exe", "andsetTool.exe", "HandsetTool.ex.exe",
                                    "Handset Tool.exe", "HandsetTool"};
  for (DWORD i = 1; i < 500; ++i) {
    const DWORD id = 1000 + i * 4;
    if (i == 321) {
      m().AddProcess(id, "C_HANDSETTOOL.EXE").imagePath = In("tools\\C_HANDSETTOOL.EXE");
    } else {
      const std::string name = i % 50 == 0 ? nearMisses[(i / 50) % 5] : "svc" + std::to_string(i) + ".exe";
      m().AddProcess(id, name).imagePath = In(name);
    }
  }
  ASSERT_EQ(m().processes.size(), 500u);
  m().AddFile(In("tools\\HandsetTool.exe"), "MZ").heldBy = 1000 + 321 * 4;
  m().AddFile(In("tools\\other.txt"), "x");
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  const Lines expected = {
      Search(kDir), Search(In("tools")),
      "Delete file failed, try late, file: [" + In("tools\\HandsetTool.exe") + "], line: 1054",
      "Buf: HandsetTool.exe"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  for (const winsim::Process& process : m().processes) {
    const bool holder = process.id == 1000 + 321 * 4;
    EXPECT_EQ(process.running, !holder) << process.exeFile;
    EXPECT_EQ(process.terminated, holder) << process.exeFile;
  }
  EXPECT_EQ(m().FindProcess(1000 + 321 * 4)->exitCode, 0u);
  ASSERT_EQ(m().openProcessCalls.size(), 1u);
  EXPECT_EQ(m().openProcessCalls[0].processId, 1000u + 321u * 4u);
  EXPECT_FALSE(m().Exists(kDir));
  EXPECT_EQ(m().OpenHandles(winsim::Handle::Kind::kSnapshot), 0);
  EXPECT_EQ(m().OpenHandles(winsim::Handle::Kind::kProcess), 0);
}

TEST_F(TreeDeletion, SubfolderWithoutBufferIsLeftAndTheParentGoesOn) {
  m().AddFile(In("a\\x.txt"), "x");
  m().AddFile(In("b.txt"), "x");
  m().failingHeapAllocations = {2};
  EXPECT_EQ(PkgDeleteFile(kDir), 1);
  const Lines expected = {Search(kDir), "Malloc failed, line: 1003"};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m().Exists(In("a\\x.txt")));
  EXPECT_FALSE(m().Exists(In("b.txt")));
  m().failingHeapAllocations = {3};
  m().heapAllocations = 2;
  EXPECT_EQ(PkgDeleteFile(kDir), 0);
}

TEST_F(TreeDeletion, FileNameOfAPath) {
  char out[MAX_PATH];
  memset(out, 'z', sizeof(out));
  EXPECT_EQ(Transf2FileName(out, "C:\\Program Files\\Kit\\Tool.exe"), 1);
  EXPECT_STREQ(out, "Tool.exe");
  for (size_t i = strlen(out); i < sizeof(out); ++i) {
    ASSERT_EQ(out[i], '\0');
  }
  EXPECT_EQ(Transf2FileName(out, "plain.txt"), 1);
  EXPECT_STREQ(out, "plain.txt");
  EXPECT_EQ(Transf2FileName(out, "C:\\folder\\"), 1);
  EXPECT_STREQ(out, "");
  EXPECT_TRUE(m().debugOutput.empty());
  EXPECT_EQ(Transf2FileName(nullptr, "C:\\a"), 0);
  EXPECT_EQ(Transf2FileName(out, nullptr), 0);
  const Lines expected = {"Transf2Path is null, line: 971", "Transf2Path is null, line: 971"};
  EXPECT_EQ(TracedMessages(kTag), expected);
}

// Found by the fuzz target uninstaller_paths: a name of 260 characters or
// more came out cut to 259, the name of another file.
TEST_F(TreeDeletion, FileNameThatWouldNotFitIsNotCut) {
  char out[MAX_PATH];
  memset(out, 'z', sizeof(out));
  const std::string longName(260, 'n');
  EXPECT_EQ(Transf2FileName(out, ("C:\\dir\\" + longName).c_str()), 0);
  for (size_t i = 0; i < sizeof(out); ++i) {
    ASSERT_EQ(out[i], '\0') << "byte " << i;
  }
  EXPECT_EQ(Transf2FileName(out, longName.c_str()), 0);  // no backslash at all
  EXPECT_STREQ(out, "");
  const std::string longest(259, 'n');
  EXPECT_EQ(Transf2FileName(out, ("C:\\dir\\" + longest).c_str()), 1);
  EXPECT_EQ(std::string(out), longest);
  EXPECT_TRUE(m().debugOutput.empty());
}
}  // namespace
