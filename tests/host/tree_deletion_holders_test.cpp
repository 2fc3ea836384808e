// Deleting a folder when a file in it is held open: the program that
// holds it is ended only when it is one of the kit's, running from the
// folder being deleted, and never Veskot itself or its starter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/veskot_fixture.h"
#include "uninstaller/tree_deletion.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;

const std::string& kDir = sim::kProductDir32;

TEST_F(TreeDeletion, HolderNamedLikeTheFileIsEndedAndTheFileGoes) {
  m().AddProcess(300, std::string(kit::kTempFolderName) + ".exe").imagePath =
      In(std::string(kit::kTempFolderName) + ".exe");
  m().AddProcess(301, "xHandsetTool.exe").imagePath = In("tools\\xHandsetTool.exe");
  m().AddProcess(302, "HandsetTool.exe").imagePath = In("HandsetTool.exe");
  m().AddFile(In("HandsetTool.exe"), "MZ").heldBy = 301;
  m().AddFile(In("other.dll"), "MZ");
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  const kit::Messages expected = {SearchFolder(kDir), DeleteFailedTryLater(In("HandsetTool.exe")),
                                  HolderName("HandsetTool.exe")};
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
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  const kit::Messages expected = {SearchFolder(kDir), SearchFolder(In("sub")),
                                  DeleteFailedTryLater(In("sub\\notes.txt")), HolderName("notes.txt"),
                                  DeleteFailed(In("sub\\notes.txt"))};
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
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  const kit::Messages expected = {SearchFolder(kDir), DeleteFailedTryLater(In("service.exe")),
                                  HolderName("service.exe"), kCannotOpenHolder,
                                  DeleteFailed(In("service.exe"))};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_EQ(m().sleeps, std::vector<DWORD>{200});
  EXPECT_TRUE(m().Exists(In("service.exe")));
}

TEST_F(TreeDeletion, OnlyAKitProgramRunningFromTheFolderIsEnded) {
  const std::string& kTemp = sim::kTempDir32;
  const struct {
    const char* row;
    std::string folder;  // the folder deleted
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
       kDir + "_old\\HandsetTool.exe", false, false},
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
    const std::string held = c.folder + "\\" + c.file;
    m().AddFile(held, "x").heldBy = 300;
    EXPECT_EQ(PkgDeleteFile(c.folder.c_str()), 1);
    kit::Messages expected = {SearchFolder(c.folder), DeleteFailedTryLater(held), HolderName(c.file)};
    if (!c.ended) {
      expected.push_back(DeleteFailed(held));
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
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  const kit::Messages expected = {SearchFolder(kDir), DeleteFailedTryLater(In("Veskot.exe")),
                                  HolderName("Veskot.exe"), DeleteFailed(In("Veskot.exe"))};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m().processes.front().running);
  EXPECT_TRUE(m().Exists(In("Veskot.exe")));
  EXPECT_FALSE(m().Exists(In("zz.txt")));
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
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  const kit::Messages expected = {SearchFolder(kDir), SearchFolder(In("tools")),
                                  DeleteFailedTryLater(In("tools\\HandsetTool.exe")),
                                  HolderName("HandsetTool.exe")};
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

}  // namespace
