// End-to-end tests of tracecap.exe's launch mode under Wine: what the
// programs that PROGRAM starts send, in the plain and the joined view; and
// command lines it refuses with its usage.
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
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/wine/capture.h"
#include "tests/wine/files.h"
#include "tests/wine/listener.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"

namespace e2e {
namespace {

using namespace wine;

TEST_F(TracecapTest, LaunchShowsWhatTheProgramsThatProgramStartsSend) {
  const std::string quorlin = KitProgram(kit::kQuorlinExe);
  const std::vector<std::string> trace = Reference(quorlin, 1);
  struct Case {
    std::string starter;
    std::vector<std::string> ownLines;  // what the starter itself sends, in the plain form
  };
  const Case cases[] = {{Quote(WriterPath()) + " start " + Quote(quorlin), {"starter: starting"}},
                        {"cmd.exe /c " + Quote(quorlin), {}}};
  for (const Case& one : cases) {
    SCOPED_TRACE(one.starter);
    DWORD exitCode = 0;
    Started run;
    ASSERT_TRUE(RunToEnd(Quote(TracecapPath()) + " " + one.starter, "launch.txt", &exitCode, &run));
    // The starters pass the installer's exit code on.
    EXPECT_EQ(exitCode, 1u);
    std::vector<std::string> lines = SplitLines(run.Output());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "exit code: 1");
    lines.pop_back();
    std::vector<std::string> own;
    std::vector<std::string> child;
    std::string childPrefix;
    for (const std::string& line : lines) {
      const size_t tab = line.find('\t');
      if (tab == std::string::npos) {
        own.push_back(line);
        continue;
      }
      const size_t second = line.find('\t', tab + 1);
      ASSERT_NE(second, std::string::npos) << line;
      EXPECT_EQ(line.substr(tab + 1, second - tab - 1), kit::kQuorlinExe);
      if (childPrefix.empty()) {
        childPrefix = line.substr(0, second + 1);
      }
      EXPECT_EQ(line.substr(0, second + 1), childPrefix);
      child.push_back(line.substr(second + 1));
    }
    EXPECT_EQ(own, one.ownLines);
    EXPECT_TRUE(SameDebugStrings(trace, child));
  }

  // The joined view: each message after its tag, on one line.
  DWORD exitCode = 0;
  Started joined;
  ASSERT_TRUE(RunToEnd(Quote(TracecapPath()) + " --joined cmd.exe /c " + Quote(quorlin), "joined.txt",
                       &exitCode, &joined));
  std::vector<std::string> expected;
  for (size_t i = 0; i + 1 < trace.size(); i += 2) {
    ASSERT_EQ(trace[i], quorlin::kTag);
    expected.push_back(std::string(kit::kQuorlinExe) + "\t" + trace[i] + " | " + trace[i + 1]);
  }
  expected.push_back("exit code: 1");
  std::vector<std::string> lines = SplitLines(joined.Output());
  for (std::string& line : lines) {
    const size_t tab = line.find('\t');
    if (tab != std::string::npos) {
      line = line.substr(tab + 1);
    }
  }
  EXPECT_EQ(lines, expected);
}

TEST_F(TracecapTest, BadCommandLinesGetTheUsageAndStartNothing) {
  // Run while a listener listens: none of them may start the writer or
  // touch the buffer.
  DeleteFileA(ScratchFile("never.txt").c_str());
  Listener listener;
  ASSERT_TRUE(listener.Start());
  const std::string writer = Quote(WriterPath()) + " send started-anyway 1";
  const std::string lines[] = {
      "",
      "--bogus " + writer,
      "--joined --loud " + writer,
      "--seconds 3 " + writer,
      "--out " + Quote(ScratchFile("never.txt")) + " " + writer,
      "--listen " + writer,
      "--listen --out",
      "--listen --seconds",
      "--listen --seconds 0",
      "--listen --seconds -3",
      "--listen --seconds ten",
      "--listen --seconds 4294968",
      "--listen --seconds 2 --seconds 3",
      "--global " + writer,
      "--only e2e_dbwin_writer.exe " + writer,
      "--listen --only",
      "--listen --only \"\"",
      "--listen --only ,a.exe",
      "--listen --only a.exe,,b.exe",
      "--listen --only a.exe,",
      "--listen --only a.exe --only b.exe",
  };
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    DWORD exitCode = 0;
    Started run;
    ASSERT_TRUE(RunToEnd(Quote(TracecapPath()) + " " + line, "bad.txt", &exitCode, &run));
    EXPECT_EQ(exitCode, 2u);
    EXPECT_EQ(run.Errors().rfind("tracecap: ", 0), 0u) << run.Errors();
    EXPECT_NE(run.Errors().find("usage: tracecap [--joined] PROGRAM [ARGUMENTS...]"), std::string::npos);
    EXPECT_EQ(run.Output(), "");
  }
  EXPECT_FALSE(FileExists(ScratchFile("never.txt")));
  ASSERT_TRUE(listener.Stop());
  std::vector<ListenLine> caught;
  ASSERT_TRUE(listener.Lines(&caught));
  EXPECT_TRUE(LinesOf(caught, "e2e_dbwin_writer.exe").empty());
  // A file that cannot be written: found once the buffer is tracecap's,
  // which it then lets go.
  DWORD exitCode = 0;
  Started unwritable;
  ASSERT_TRUE(RunToEnd(Quote(TracecapPath()) + " --listen --out " +
                           Quote(JoinPath(ProgramFolder(), "no such folder\\out.txt")),
                       "unwritable.txt", &exitCode, &unwritable));
  EXPECT_EQ(exitCode, 2u);
  EXPECT_NE(unwritable.Errors().find("tracecap: cannot write to "), std::string::npos) << unwritable.Errors();
}

// The writers of both buffers at once: the session's, as the kit's
// programs write, and session 0's, as a service's programs do.

}  // namespace
}  // namespace e2e
