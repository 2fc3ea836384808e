// End-to-end tests of tracecap.exe under Wine: its listen mode against the
// kit's programs and against writers of our own, started by others than
// tracecap; its launch mode with the programs PROGRAM starts; and its
// command line.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_trace.h"
#include "tests/wine/capture.h"
#include "tests/wine/files.h"
#include "tests/wine/listener.h"
#include "tests/wine/long_paths_and_links.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"
#include "tests/wine/registry.h"

namespace e2e {

using namespace wine;
namespace {

// Far below the 10 seconds a writer waits for a listener that does not
// answer, and far above anything an answered string takes.
const unsigned long kPromptMicroseconds = 2000000;

// A writer's report of its longest OutputDebugStringA call.
bool LongestWait(const std::string& output, unsigned long* microseconds) {
  const size_t at = output.find("longest wait: ");
  if (at == std::string::npos) {
    return false;
  }
  *microseconds = strtoul(output.c_str() + at + 14, NULL, 10);
  return true;
}

std::string KitProgram(const std::string& name) { return JoinPath(ProgramFolder(), name); }

// The debug strings a program sends on this machine, as the debugger sees
// them, after a run that settles what it changes.
std::vector<std::string> Reference(const std::string& program, DWORD exitCode) {
  RunTraced(program, {}, exitCode);
  return Escaped(RunTraced(program, {}, exitCode).strings);
}

// Reads a pipe to its end on a thread of its own.
struct PipeReader {
  HANDLE pipe;
  std::string output;
};

DWORD WINAPI ReadPipe(void* parameter) {
  PipeReader* reader = static_cast<PipeReader*>(parameter);
  char chunk[65536];
  DWORD read = 0;
  while (ReadFile(reader->pipe, chunk, sizeof(chunk), &read, NULL) && read > 0) {
    reader->output.append(chunk, read);
  }
  return 0;
}

class TracecapTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_FALSE(SomeoneListens()) << "a listener was left behind"; }
};

TEST_F(TracecapTest, ListenCatchesTheKitsProgramsStartedByAnotherProgram) {
  const std::string quorlin = KitProgram("Quorlin.exe");
  const std::string veskot = KitProgram("Veskot.exe");
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
  const std::vector<ListenLine> quorlinLines = LinesOf(lines, "Quorlin.exe");
  const std::vector<ListenLine> veskotLines = LinesOf(lines, "Veskot.exe");
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

TEST_F(TracecapTest, LaunchShowsWhatTheProgramsThatProgramStartsSend) {
  const std::string quorlin = KitProgram("Quorlin.exe");
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
      EXPECT_EQ(line.substr(tab + 1, second - tab - 1), "Quorlin.exe");
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
    ASSERT_EQ(trace[i], "..Quorlin32 - Zenor");
    expected.push_back("Quorlin.exe\t" + trace[i] + " | " + trace[i + 1]);
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

TEST_F(TracecapTest, FourWritersOfTenThousandStringsEachLoseNothing) {
  const long kCount = 10000;
  HANDLE go = CreateEventA(NULL, TRUE, FALSE, "e2e_writers_go");
  ASSERT_NE(go, nullptr);
  Listener listener;
  ASSERT_TRUE(listener.Start());
  Started writers[4];
  std::map<std::string, DWORD> pids;
  for (int i = 0; i < 4; ++i) {
    const std::string tag = "W" + std::to_string(i + 1);
    ASSERT_TRUE(writers[i].Start(Quote(WriterPath()) + " send " + tag + " " + std::to_string(kCount),
                                 ScratchFile("writer" + tag + ".txt")));
    pids[tag] = writers[i].Pid();
  }
  SetEvent(go);
  unsigned long longest = 0;
  for (Started& writer : writers) {
    DWORD exitCode = 0;
    ASSERT_TRUE(writer.Wait(300000, &exitCode));
    unsigned long wait = 0;
    ASSERT_TRUE(LongestWait(writer.Output(), &wait)) << writer.Output();
    longest = wait > longest ? wait : longest;
  }
  CloseHandle(go);
  ASSERT_TRUE(listener.Stop());

  std::vector<ListenLine> lines;
  ASSERT_TRUE(listener.Lines(&lines));
  std::map<std::string, long> next;
  unsigned long first = ~0UL;
  unsigned long last = 0;
  for (const ListenLine& line : lines) {
    if (line.name != "e2e_dbwin_writer.exe") {
      continue;
    }
    const std::string tag = line.text.substr(0, line.text.find(' '));
    ASSERT_EQ(pids.count(tag), 1u) << line.text;
    EXPECT_EQ(line.pid, pids[tag]);
    char expected[32];
    snprintf(expected, sizeof(expected), "%s %06ld", tag.c_str(), ++next[tag]);
    ASSERT_EQ(line.text, expected) << "out of order or lost";
    first = line.time < first ? line.time : first;
    last = line.time > last ? line.time : last;
  }
  for (const auto& writer : pids) {
    EXPECT_EQ(next[writer.first], kCount) << writer.first;
  }
  EXPECT_LT(longest, kPromptMicroseconds);
  const double seconds = (last - first) / 1000.0;
  std::cout << "received " << 4 * kCount << " strings in " << seconds << " s ("
            << (seconds > 0 ? 4 * kCount / seconds : 0) << " a second); longest writer wait " << longest
            << " us\n";
  RecordProperty("longest_writer_wait_us", static_cast<int>(longest));
}

TEST_F(TracecapTest, AReaderThatStopsReadingHoldsUpNoWriter) {
  const long kCount = 3000;
  const size_t kSize = 4000;  // 12 MB in all, three times what tracecap keeps
  SECURITY_ATTRIBUTES security = {sizeof(security), NULL, TRUE};
  HANDLE readEnd = NULL;
  HANDLE writeEnd = NULL;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &security, 0));
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  Listener listener;
  ASSERT_TRUE(listener.Start({}, writeEnd));
  CloseHandle(writeEnd);
  Started writer;
  DWORD exitCode = 0;
  ASSERT_TRUE(
      RunToEnd(Quote(WriterPath()) + " send B " + std::to_string(kCount) + " " + std::to_string(kSize),
               "blocked_writer.txt", &exitCode, &writer));
  unsigned long longest = 0;
  ASSERT_TRUE(LongestWait(writer.Output(), &longest)) << writer.Output();
  EXPECT_LT(longest, kPromptMicroseconds);

  // Now read everything, and stop it.
  PipeReader reader = {readEnd, std::string()};
  HANDLE reading = CreateThread(NULL, 0, ReadPipe, &reader, 0, NULL);
  ASSERT_NE(reading, nullptr);
  ASSERT_TRUE(listener.Stop());
  WaitForSingleObject(reading, 60000);
  CloseHandle(reading);
  CloseHandle(readEnd);
  const std::string& output = reader.output;

  std::vector<ListenLine> lines;
  ASSERT_TRUE(ParseListenLines(output, &lines));
  long kept = 0;
  unsigned long dropped = 0;
  long previous = 0;
  for (const ListenLine& line : lines) {
    if (line.name == "tracecap") {
      EXPECT_EQ(line.pid, 0u);
      unsigned long count = 0;
      ASSERT_EQ(
          sscanf(line.text.c_str(), "dropped %lu strings here: the output was not read fast enough", &count),
          1)
          << line.text;
      dropped += count;
    } else if (line.name == "e2e_dbwin_writer.exe") {
      const long number = strtol(line.text.c_str() + 2, NULL, 10);
      EXPECT_GT(number, previous) << "out of order";
      EXPECT_EQ(line.text.size(), kSize);
      previous = number;
      ++kept;
    }
  }
  EXPECT_GT(dropped, 0u);
  EXPECT_GT(kept, 0);
  EXPECT_EQ(kept + static_cast<long>(dropped), kCount);
  EXPECT_NE(listener.Errors().find("tracecap: " + std::to_string(dropped) +
                                   " strings dropped: the output was not read fast enough"),
            std::string::npos)
      << listener.Errors();
}

TEST_F(TracecapTest, ASecondListenerSaysSoAndLeavesTheFirstAlone) {
  Listener first;
  ASSERT_TRUE(first.Start());
  DWORD exitCode = 0;
  Started second;
  ASSERT_TRUE(RunToEnd(Quote(TracecapPath()) + " --listen --seconds 5", "second.txt", &exitCode, &second));
  EXPECT_EQ(exitCode, 1u);
  EXPECT_NE(second.Errors().find("another debug-output viewer is listening already"), std::string::npos)
      << second.Errors();
  EXPECT_TRUE(RunToEnd(Quote(WriterPath()) + " send after-the-second 3", &exitCode));
  ASSERT_TRUE(first.Stop());
  std::vector<ListenLine> lines;
  ASSERT_TRUE(first.Lines(&lines));
  EXPECT_EQ(TextsOf(LinesOf(lines, "e2e_dbwin_writer.exe")),
            (std::vector<std::string>{"after-the-second 000001", "after-the-second 000002",
                                      "after-the-second 000003"}));
}

TEST_F(TracecapTest, StringsArriveExactlyAndWhole) {
  Listener listener;
  ASSERT_TRUE(listener.Start());
  DWORD exitCode = 0;
  // High bytes, control characters, a backslash and the line ends.
  ASSERT_TRUE(RunToEnd(Quote(WriterPath()) + " bytes 80FFA97F011F09415C0D0A", &exitCode));
  ASSERT_TRUE(RunToEnd(Quote(WriterPath()) + " fill 4091", &exitCode));
  ASSERT_TRUE(RunToEnd(Quote(WriterPath()) + " fill 6000", &exitCode));
  ASSERT_TRUE(listener.Stop());
  std::vector<ListenLine> lines;
  ASSERT_TRUE(listener.Lines(&lines));
  const std::vector<std::string> texts = TextsOf(LinesOf(lines, "e2e_dbwin_writer.exe"));
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], "\\x80\\xFF\\xA9\\x7F\\x01\\x1F\\x09A\\\\\\r\\n");
  std::string letters;
  for (size_t i = 0; i < 6000; ++i) {
    letters.push_back(static_cast<char>('a' + i % 26));
  }
  EXPECT_EQ(texts[1], letters.substr(0, 4091));
  // Longer than the buffer: what the platform hands over, at most the
  // buffer's 4091 characters, from the start of the string.
  EXPECT_LE(texts[2].size(), 4091u);
  EXPECT_FALSE(texts[2].empty());
  EXPECT_EQ(texts[2], letters.substr(0, texts[2].size()));
}

TEST_F(TracecapTest, AWriterThatDiesMidStringDoesNotStopTheListener) {
  Listener listener;
  ASSERT_TRUE(listener.Start());
  DWORD exitCode = 0;
  ASSERT_TRUE(RunToEnd(Quote(WriterPath()) + " die", &exitCode));
  ASSERT_EQ(exitCode, 3u) << "the writer did not take the buffer";
  Started writer;
  ASSERT_TRUE(RunToEnd(Quote(WriterPath()) + " send after-the-dead 5", "after_dead.txt", &exitCode, &writer));
  unsigned long longest = 0;
  ASSERT_TRUE(LongestWait(writer.Output(), &longest)) << writer.Output();
  // Without the listener freeing the buffer again, the first string would
  // wait the writers' full 10 seconds and be lost.
  EXPECT_LT(longest, 5000000u);
  ASSERT_TRUE(listener.Stop());
  std::vector<ListenLine> lines;
  ASSERT_TRUE(listener.Lines(&lines));
  const std::vector<std::string> texts = TextsOf(LinesOf(lines, "e2e_dbwin_writer.exe"));
  EXPECT_EQ(texts, (std::vector<std::string>{"after-the-dead 000001", "after-the-dead 000002",
                                             "after-the-dead 000003", "after-the-dead 000004",
                                             "after-the-dead 000005"}));
}

TEST_F(TracecapTest, ListenEndsAfterItsSecondsAndLetsTheBufferGo) {
  Started listener;
  const std::string out = ScratchFile("seconds.txt");
  DeleteFileA(out.c_str());
  // Long enough for a program to start under Wine on a loaded machine.
  ASSERT_TRUE(listener.Start(Quote(TracecapPath()) + " --listen --seconds 5 --out " + Quote(out),
                             ScratchFile("seconds_console.txt"), true));
  for (int tries = 0; tries < 200 && !SomeoneListens(); ++tries) {
    Sleep(50);
  }
  ASSERT_TRUE(SomeoneListens());
  DWORD exitCode = 0;
  const DWORD started = GetTickCount();
  ASSERT_TRUE(RunToEnd(Quote(WriterPath()) + " send before-the-end 1", &exitCode));
  ASSERT_LT(GetTickCount() - started, 4000u) << "the writer ran too late to be heard";
  ASSERT_TRUE(listener.Wait(30000, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  std::string file;
  ASSERT_TRUE(ReadWholeFile(out, &file));
  std::vector<ListenLine> lines;
  std::vector<std::string> headers;
  ASSERT_TRUE(ParseListenLines(file, &lines, &headers));
  EXPECT_EQ(headers.size(), 1u);
  EXPECT_EQ(TextsOf(LinesOf(lines, "e2e_dbwin_writer.exe")),
            std::vector<std::string>{"before-the-end 000001"});
  // Gone with it: the buffer, and any wait of the writers.
  EXPECT_FALSE(SomeoneListens());
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "DBWIN_BUFFER");
  EXPECT_EQ(mapping, nullptr);
  if (mapping != NULL) {
    CloseHandle(mapping);
  }
  Started writer;
  ASSERT_TRUE(RunToEnd(Quote(WriterPath()) + " send nobody-listens 100", "nobody.txt", &exitCode, &writer));
  unsigned long longest = 0;
  ASSERT_TRUE(LongestWait(writer.Output(), &longest));
  EXPECT_LT(longest, kPromptMicroseconds);
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
  ASSERT_TRUE(RunToEnd(Quote(KitProgram("Quorlin.exe")), &exitCode));
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
struct Rollover {
  const char* name;
  const char* arguments;  // after "tracecap --listen"; FILE stands for the --out file
  long strings;           // sent by the writer, "R 000001" on; 0 for a refused command line
  size_t earlier;         // bytes of an earlier capture in FILE before the run
  bool holdOlder;         // the older part held open, as an editor does, while the writer sends
};

const Rollover kRollovers[] = {
    {"TwentyThousandStrings", "--out FILE --max-size 64K", 20000, 0, false},
    {"AFileOverTheSizeBecomesTheOlderPartFirst", "--out FILE --max-size 64K", 10, 70000, false},
    {"AnOlderPartHeldOpenIsSaidOnceAndLosesNothing", "--out FILE --max-size 65536", 2000, 0, true},
    {"MaxSizeWithoutOut", "--max-size 64K", 0, 0, false},
    {"NoSize", "--out FILE --max-size", 0, 0, false},
    {"NegativeSize", "--out FILE --max-size -64K", 0, 0, false},
    {"MalformedSize", "--out FILE --max-size 6x4K", 0, 0, false},
    {"UnknownSuffix", "--out FILE --max-size 64G", 0, 0, false},
    {"SizePastWhat32BitsCount", "--out FILE --max-size 4295032832", 0, 0, false},
};

class TracecapRolloverTest : public TracecapTest, public ::testing::WithParamInterface<Rollover> {};

TEST_P(TracecapRolloverTest, KeepsTheNewestStringsInFileAndItsOlderPart) {
  const Rollover& scenario = GetParam();
  const std::string file = ScratchFile("rolled.txt");
  const std::string older = ScratchFile("rolled.1.txt");
  DeleteFileA(file.c_str());
  DeleteFileA(older.c_str());
  std::string arguments = scenario.arguments;
  const size_t at = arguments.find("FILE");
  arguments = at == std::string::npos ? arguments : arguments.replace(at, 4, Quote(file));
  DWORD exitCode = 0;
  if (scenario.strings == 0) {
    Started run;
    ASSERT_TRUE(RunToEnd(Quote(TracecapPath()) + " --listen " + arguments, "refused.txt", &exitCode, &run));
    EXPECT_EQ(exitCode, 2u);
    EXPECT_NE(run.Errors().find("usage: tracecap"), std::string::npos) << run.Errors();
    EXPECT_FALSE(FileExists(file) || FileExists(older));
    return;
  }
  std::string earlier;
  while (earlier.size() < scenario.earlier) {
    earlier += "# tracecap listening since an earlier capture\n";
  }
  ASSERT_TRUE(earlier.empty() || WriteWholeFile(file, earlier));
  HeldOpenFile held;
  ASSERT_TRUE(!scenario.holdOlder || (WriteWholeFile(older, "# an earlier part\n") && held.Open(older)));
  Listener listener;
  ASSERT_TRUE(listener.Start({arguments}));
  ASSERT_TRUE(RunToEnd(Quote(WriterPath()) + " send R " + std::to_string(scenario.strings), &exitCode));
  std::vector<std::string> sent;
  for (long i = 1; i <= scenario.strings; ++i) {
    sent.push_back("R " + std::string(6 - std::to_string(i).size(), '0') + std::to_string(i));
  }
  if (scenario.holdOlder) {
    // Let go: the next line that passes the size rolls over.
    held.Close();
    ASSERT_TRUE(RunToEnd(Quote(WriterPath()) + " send L 1", &exitCode));
    sent.push_back("L 000001");
  }
  ASSERT_TRUE(listener.Stop(scenario.holdOlder ? 1 : 0));
  const std::string said = "tracecap: cannot rename ";
  EXPECT_EQ(listener.Errors().find(said) != std::string::npos, scenario.holdOlder) << listener.Errors();
  EXPECT_EQ(listener.Errors().find(said), listener.Errors().rfind(said)) << "said more than once";
  std::vector<ListenLine> lines;
  ASSERT_TRUE(listener.Lines(&lines));
  EXPECT_EQ(TextsOf(LinesOf(lines, "e2e_dbwin_writer.exe")), sent) << "the console shows every string";
  // The older part, then FILE: each starts with a header and stays within
  // the size; together they hold an unbroken run of the newest strings.
  std::vector<std::string> kept;
  for (const std::string& path : {older, file}) {
    std::string part;
    ASSERT_TRUE(ReadWholeFile(path, &part));
    const bool continues = path == file && earlier.empty();
    EXPECT_EQ(part.rfind(continues ? "# tracecap continues the capture, listening since " : "# tracecap ", 0),
              0u)
        << path;
    if (path == older && !earlier.empty()) {
      EXPECT_TRUE(part == earlier) << "the earlier capture is not the older part";
    } else if (path == older && scenario.holdOlder) {
      EXPECT_GT(part.size(), 65536u) << "FILE did not go on past the size";
    } else {
      EXPECT_LE(part.size(), 65536u) << path;
      EXPECT_TRUE(path == file || part.size() + 64 > 65536u) << "rolled over before it had to";
    }
    std::vector<std::string> headers;
    ASSERT_TRUE(ParseListenLines(part, &lines, &headers));
    const std::vector<std::string> texts = TextsOf(LinesOf(lines, "e2e_dbwin_writer.exe"));
    kept.insert(kept.end(), texts.begin(), texts.end());
    ASSERT_TRUE(path == older || (!texts.empty() && texts.back() == sent.back()))
        << "the newest is not in FILE";
  }
  EXPECT_EQ(kept, std::vector<std::string>(sent.end() - std::min(kept.size(), sent.size()), sent.end()));
  EXPECT_TRUE(kept.size() == sent.size() || (!scenario.holdOlder && earlier.empty())) << "lines were lost";
}

INSTANTIATE_TEST_SUITE_P(MaxSize, TracecapRolloverTest, ::testing::ValuesIn(kRollovers),
                         [](const ::testing::TestParamInfo<Rollover>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace e2e
