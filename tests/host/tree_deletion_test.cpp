// Deleting a folder with everything in it.
#include "uninstaller/tree_deletion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/veskot_fixture.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;

const std::string& kDir = sim::kProductDir32;

TEST_F(TreeDeletion, FolderThatDoesNotExist) {
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  const kit::Messages expected = {SearchFolder(kDir), FindFirstFailed(kDir)};
  EXPECT_EQ(TracedMessages(kTag), expected);
}

TEST_F(TreeDeletion, EmptyFolderIsRemoved) {
  m().AddFolder(kDir);
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  EXPECT_EQ(TracedMessages(kTag), kit::Messages{SearchFolder(kDir)});
  EXPECT_FALSE(m().Exists(kDir));
  EXPECT_TRUE(m().Exists("C:\\Program Files"));
}

TEST_F(TreeDeletion, NestedFoldersAndProtectedFilesGoDepthFirst) {
  m().AddFile(In("INF\\android_usb.inf"), "x", FILE_ATTRIBUTE_READONLY);
  m().AddFile(In("INF\\64_inf\\qcser.inf"), "x", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  m().AddFile(In("INF\\64_inf\\deep\\er\\still.cat"), "x", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  m().AddFile(In("readme.txt"), "x");
  m().AddFolder(In("empty"));
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  const kit::Messages expected = {SearchFolder(kDir),
                                  SearchFolder(In("empty")),
                                  SearchFolder(In("INF")),
                                  SearchFolder(In("INF\\64_inf")),
                                  SearchFolder(In("INF\\64_inf\\deep")),
                                  SearchFolder(In("INF\\64_inf\\deep\\er"))};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists(kDir));
  EXPECT_TRUE(m().sleeps.empty());
}

TEST_F(TreeDeletion, TrailingBackslashIsNotDoubled) {
  m().AddFile(In("sub\\a.txt"), "x");
  EXPECT_EQ(PkgDeleteFile((kDir + "\\").c_str()), 1);
  const kit::Messages expected = {SearchFolder(kDir), SearchFolder(In("sub"))};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists(kDir));
}

// A held file ends a process only when its name contains the file's name
// and its program file lies inside the folder being deleted; never the
// program that started the uninstaller.
TEST_F(TreeDeletion, JunctionIsRemovedAndItsTargetKept) {
  m().AddFile("D:\\Data\\keep.txt", "precious");
  m().AddJunction(In("link"), "D:\\Data");
  m().AddFile(In("a.txt"), "x");
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  EXPECT_EQ(TracedMessages(kTag), kit::Messages{SearchFolder(kDir)});
  EXPECT_FALSE(m().Exists(kDir));
  EXPECT_EQ(m().FileContent("D:\\Data\\keep.txt"), "precious");
}

TEST_F(TreeDeletion, FolderThatIsItselfAJunctionGoesAsALinkAndItsTargetStays) {
  m().AddFile("D:\\Data\\keep.txt", "precious");
  m().AddFile("D:\\Data\\sub\\deep.txt", "also precious");
  m().AddJunction(kDir, "D:\\Data");
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  const kit::Messages expected = {FolderIsLink(kDir)};
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
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  const kit::Messages expected = {SearchFolder(kDir), SearchFolder(deep),
                                  PathTooLong(deep + "\\" + longName)};
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
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  const kit::Messages expected = {SearchFolder(kDir), SearchFolder(deep), PathTooLong(file260),
                                  PathTooLong(folder259), SearchFolder(folder255)};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists(file259));
  EXPECT_TRUE(m().Exists(file260));
  EXPECT_TRUE(m().Exists(folder259));
  EXPECT_FALSE(m().Exists(folder255));
  EXPECT_TRUE(m().Exists(deep));
  EXPECT_TRUE(m().sleeps.empty());
}

TEST_F(TreeDeletion, TenThousandFilesAllGoAndNothingBesideTheFolder) {
  m().AddFile(kDir + ".txt", "beside");
  m().AddFile(kDir + "_old\\keep.txt", "beside");
  for (int folder = 0; folder < 10; ++folder) {
    const std::string sub = In("part" + std::to_string(folder));
    for (int file = 0; file < 1000; ++file) {
      m().AddFile(sub + "\\file" + std::to_string(file) + ".dat", "x",
                  file % 3 == 0 ? FILE_ATTRIBUTE_READONLY : 0);
    }
  }
  ASSERT_EQ(m().files.size(), 10000u + 10u + 1u + 2u + 2u);  // with the folders above
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  const kit::Messages expected = {
      SearchFolder(kDir),        SearchFolder(In("part0")), SearchFolder(In("part1")),
      SearchFolder(In("part2")), SearchFolder(In("part3")), SearchFolder(In("part4")),
      SearchFolder(In("part5")), SearchFolder(In("part6")), SearchFolder(In("part7")),
      SearchFolder(In("part8")), SearchFolder(In("part9"))};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_FALSE(m().Exists(kDir));
  EXPECT_EQ(m().FileContent(kDir + ".txt"), "beside");
  EXPECT_EQ(m().FileContent(kDir + "_old\\keep.txt"), "beside");
  EXPECT_EQ(m().files.size(), 4u);
  EXPECT_TRUE(m().sleeps.empty());
  EXPECT_EQ(m().OpenHandles(winsim::Handle::Kind::kFind), 0);
}

TEST_F(TreeDeletion, SubfolderWithoutBufferIsLeftAndTheParentGoesOn) {
  m().AddFile(In("a\\x.txt"), "x");
  m().AddFile(In("b.txt"), "x");
  m().failingHeapAllocations = {2};
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 1);
  const kit::Messages expected = {SearchFolder(kDir), kNoFolderBuffer};
  EXPECT_EQ(TracedMessages(kTag), expected);
  EXPECT_TRUE(m().Exists(In("a\\x.txt")));
  EXPECT_FALSE(m().Exists(In("b.txt")));
  m().failingHeapAllocations = {3};
  m().heapAllocations = 2;
  EXPECT_EQ(PkgDeleteFile(kDir.c_str()), 0);
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
  const kit::Messages expected = {kTransf2FileNameNull, kTransf2FileNameNull};
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
