// End-to-end tests of tracecap.exe's listen mode under Wine: the kit's
// programs started by another program, session 0's buffer beside the
// session's with --global, the --out file and a viewer it refuses, --only,
// and a file that cannot take more.
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/tracecap_fixture.h"
#include "tests/kit_facts/names.h"
#include "tests/wine/capture.h"
#include "tests/wine/files.h"
#include "tests/wine/listener.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"

namespace e2e {
namespace {

using namespace wine;

TEST_F(TracecapTest, ListenCatchesTheKitsProgramsStartedByAnotherProgram) {
  const std::string quorlin = KitProgram(kit::kQuorlinExe);
  const std::string veskot = KitProgram(kit::kVeskotExe);
  const std::vector<std::string> quorlinTrace = Reference(quorlin, 1);
  const std::vector<std::string> veskotTrace = Reference(veskot, 0);
  ASSERT_GT(quorlinTrace.size(), 40u);

  DeleteFileA(ScratchFile("listened.txt").c_str());
  Listener listener;
  ASSERT_TRUE(listener.Start({"--out", Quote(ScratchFile("listened.txt"))}));
  DWORD exitCode = 0;
  Started quorlinRun;
  ASSERT_TRUE(RunToEnd("cmd.exe /c " + Quote(quorlin), "quorlin.txt", &exitCode, &quorlinRun));
  EXPECT_EQ(exitCode, 1u);
  ASSERT_TRUE(RunToEnd("cmd.exe /c " + Quote(veskot), &exitCode));
  EXPECT_EQ(exitCode, 0u);
  ASSERT_TRUE(listener.Stop());

  std::vector<ListenLine> lines;
  ASSERT_TRUE(listener.Lines(&lines));
  const std::vector<ListenLine> quorlinLines = LinesOf(lines, kit::kQuorlinExe);
  const std::vector<ListenLine> veskotLines = LinesOf(lines, kit::kVeskotExe);
  EXPECT_TRUE(SameDebugStrings(quorlinTrace, TextsOf(quorlinLines)));
  EXPECT_TRUE(SameDebugStrings(veskotTrace, TextsOf(veskotLines)));
  ASSERT_FALSE(quorlinLines.empty());
  ASSERT_FALSE(veskotLines.empty());
  // One process each, neither of them cmd.exe, and in the order they ran.
  EXPECT_NE(quorlinLines[0].pid, quorlinRun.Pid());
  EXPECT_NE(quorlinLines[0].pid, veskotLines[0].pid);
  EXPECT_LE(quorlinLines.back().time, veskotLines.front().time);
  for (const std::vector<ListenLine>* of : {&quorlinLines, &veskotLines}) {
    for (size_t i = 1; i < of->size(); ++i) {
      EXPECT_EQ((*of)[i].pid, (*of)[0].pid);
      EXPECT_GE((*of)[i].time, (*of)[i - 1].time);
    }
  }
  // The --out file holds the capture's header and the same lines.
  std::string file;
  ASSERT_TRUE(ReadWholeFile(ScratchFile("listened.txt"), &file));
  std::vector<std::string> written = SplitLines(file);
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(written[0].rfind("# tracecap listening since ", 0), 0u) << written[0];
  written.erase(written.begin());
  EXPECT_EQ(written, SplitLines(listener.Output()));
}

TEST_F(TracecapTest, GlobalTakesInSessionZeroBesideTheSession) {
  const std::string out = ScratchFile("global.txt");
  for (const bool global : {true, false}) {
    SCOPED_TRACE(global ? "--global" : "the session only");
    DeleteFileA(out.c_str());
    Listener listener;
    std::vector<std::string> options = {"--out", Quote(out)};
    if (global) {
      options.push_back("--global");
    }
    ASSERT_TRUE(listener.Start(options));
    Started session;
    Started service;
    ASSERT_TRUE(session.Start(Quote(WriterPath()) + " send S 300", ScratchFile("session.txt")));
    ASSERT_TRUE(service.Start(Quote(WriterPath()) + " global G 300", ScratchFile("service.txt")));
    DWORD exitCode = 0;
    ASSERT_TRUE(session.Wait(60000, &exitCode));
    ASSERT_TRUE(service.Wait(60000, &exitCode));
    ASSERT_TRUE(listener.Stop());
    std::vector<ListenLine> lines;
    ASSERT_TRUE(listener.Lines(&lines));
    std::map<char, long> next;
    for (const ListenLine& line : LinesOf(lines, "e2e_dbwin_writer.exe")) {
      char expected[32];
      snprintf(expected, sizeof(expected), "%c %06ld", line.text[0], ++next[line.text[0]]);
      ASSERT_EQ(line.text, expected) << "out of order or lost";
    }
    EXPECT_EQ(next['S'], 300);
    EXPECT_EQ(next['G'], global ? 300 : 0);
    EXPECT_EQ(SplitLines(service.Output()),
              global ? std::vector<std::string>{} : std::vector<std::string>{"no listener"});
    std::string file;
    ASSERT_TRUE(ReadWholeFile(out, &file));
    EXPECT_NE(file.find(global ? "; to this session and session 0\n" : "; to this session\n"),
              std::string::npos);
  }
}

// A support engineer's file: every capture goes after the ones before,
// and a viewer that is refused leaves it as it was.
TEST_F(TracecapTest, OutAppendsEachCaptureWithItsHeaderAndARefusedViewerLeavesItAlone) {
  const std::string out = ScratchFile("appended.txt");
  const std::string earlier = "# an earlier capture\n12\t34\tQuorlin.exe\tearlier\n";
  ASSERT_TRUE(WriteWholeFile(out, earlier));
  Listener first;
  ASSERT_TRUE(first.Start());
  DWORD exitCode = 0;
  Started refused;
  ASSERT_TRUE(RunToEnd(Quote(TracecapPath()) + " --listen --seconds 5 --out " + Quote(out), "refused.txt",
                       &exitCode, &refused));
  EXPECT_EQ(exitCode, 1u);
  ASSERT_TRUE(first.Stop());
  std::string file;
  ASSERT_TRUE(ReadWholeFile(out, &file));
  EXPECT_EQ(file, earlier);

  Listener second;
  ASSERT_TRUE(second.Start({"--out", Quote(out)}));
  ASSERT_TRUE(RunToEnd(Quote(WriterPath()) + " send later 2", &exitCode));
  ASSERT_TRUE(second.Stop());
  ASSERT_TRUE(ReadWholeFile(out, &file));
  ASSERT_EQ(file.compare(0, earlier.size(), earlier), 0) << file;
  std::vector<ListenLine> lines;
  std::vector<std::string> headers;
  ASSERT_TRUE(ParseListenLines(file.substr(earlier.size()), &lines, &headers));
  ASSERT_EQ(headers.size(), 1u);
  EXPECT_TRUE(file.compare(earlier.size(), headers[0].size() + 1, headers[0] + "\n") == 0) << "not first";
  // "# tracecap listening since 2026-12-09 14:03:07.125 +01:00 on PC, Windows 6.1 build 7601 ..."
  char date[11];
  char clock[13];
  char offset[7];
  char computer[64];
  unsigned major = 0;
  unsigned minor = 0;
  unsigned build = 0;
  ASSERT_EQ(sscanf(headers[0].c_str(),
                   "# tracecap listening since %10s %12s %6s on %63[^,], Windows %u.%u build %u", date, clock,
                   offset, computer, &major, &minor, &build),
            7)
      << headers[0];
  EXPECT_EQ(std::string(offset).size(), 6u);
  EXPECT_EQ(std::string(clock).size(), 12u);
  EXPECT_EQ(major * 10 + minor, 61u);
  BOOL wow64 = FALSE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
  EXPECT_NE(headers[0].find(wow64 ? ", 64-bit; " : ", 32-bit; "), std::string::npos) << headers[0];
  EXPECT_EQ(TextsOf(LinesOf(lines, "e2e_dbwin_writer.exe")),
            (std::vector<std::string>{"later 000001", "later 000002"}));
}

TEST_F(TracecapTest, OnlyKeepsTheStringsOfTheProgramsNamed) {
  Listener listener;
  ASSERT_TRUE(listener.Start({"--only", "nothing.exe,E2E_DBWIN_WRITER.EXE"}));
  DWORD exitCode = 0;
  ASSERT_TRUE(RunToEnd(Quote(KitProgram(kit::kQuorlinExe)), &exitCode));
  ASSERT_TRUE(RunToEnd(Quote(WriterPath()) + " send kept 2", &exitCode));
  ASSERT_TRUE(listener.Stop());
  std::vector<ListenLine> lines;
  ASSERT_TRUE(listener.Lines(&lines));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(TextsOf(LinesOf(lines, "e2e_dbwin_writer.exe")),
            (std::vector<std::string>{"kept 000001", "kept 000002"}));
}

// A full disk, under Wine: a file on /dev/full. The console goes on.
TEST_F(TracecapTest, AFileThatCannotTakeMoreIsSaidOnceAndTheConsoleGoesOn) {
  if (!UnderWine()) {
    GTEST_SKIP() << "needs Wine's Z:\\dev\\full";
  }
  Listener listener;
  ASSERT_TRUE(listener.Start({"--out", "Z:\\dev\\full"}));
  DWORD exitCode = 0;
  ASSERT_TRUE(RunToEnd(Quote(WriterPath()) + " send onward 3", &exitCode));
  ASSERT_TRUE(listener.Stop(1));
  std::vector<ListenLine> lines;
  ASSERT_TRUE(listener.Lines(&lines));
  EXPECT_EQ(LinesOf(lines, "e2e_dbwin_writer.exe").size(), 3u);
  const std::string errors = listener.Errors();
  const std::string said = "tracecap: cannot write to Z:\\dev\\full any more";
  EXPECT_NE(errors.find(said), std::string::npos) << errors;
  EXPECT_EQ(errors.find(said), errors.rfind(said)) << errors;
}

// --max-size: captures of one writer with --out FILE, and command lines
// refused before any file is made. FILE is rolled.txt, its older part
// rolled.1.txt.

}  // namespace
}  // namespace e2e
