// End-to-end tests of tracecap.exe's listen mode under load, with writers
// of our own as processes of their own: many strings from four writers, a
// reader that stops reading, a second listener, strings of every byte and
// length, a writer that dies mid-string, and --seconds.
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
#include "tests/wine/files.h"
#include "tests/wine/listener.h"
#include "tests/wine/programs.h"

namespace e2e {
namespace {

using namespace wine;

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

}  // namespace
}  // namespace e2e
