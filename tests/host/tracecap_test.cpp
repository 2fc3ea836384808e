// tracecap's own logic, on the host: how a string is escaped, the shapes
// of its lines and the joined view, its command line, and the store the
// caught strings wait in.
#include <string>
#include <utility>
#include <vector>

#include "gtest/gtest.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tools/tracecap/line_format.h"
#include "tools/tracecap/name_filter.h"
#include "tools/tracecap/options.h"
#include "tools/tracecap/string_store.h"

namespace {

void Collect(const char* line, size_t length, void* context) {
  static_cast<std::vector<std::string>*>(context)->emplace_back(line, length);
}

CaughtString Caught(unsigned long pid, const char* name, const std::string& text, unsigned long time = 0) {
  return CaughtString{time, pid, name, text.data(), text.size()};
}

struct View {
  std::vector<std::string> lines;
  LineWriter writer;
  LineJoiner joiner;

  View(LineShape shape, bool joined) {
    InitLineWriter(&writer, shape, Collect, &lines);
    InitLineJoiner(&joiner, joined, &writer);
  }
  ~View() { FreeLineWriter(&writer); }
  void Feed(const CaughtString& string) { ASSERT_TRUE(JoinString(&joiner, string)); }
};

const std::string kQuorlinTag = quorlin::kTag;
const std::string kVeskotTag = veskot::kTag;

TEST(TracecapEscape, EveryByteOutsidePrintableAsciiIsSpelledOut) {
  const std::string bytes("A z~\n\r\\\t\x01\x1F\x7F\x80\xA9\xFF", 14);
  View view(kLineLaunch, false);
  view.Feed(Caught(7, NULL, bytes));
  view.Feed(Caught(7, NULL, std::string("a\0b", 3)));
  view.Feed(Caught(7, NULL, ""));
  EXPECT_EQ(view.lines, (std::vector<std::string>{"A z~\\n\\r\\\\\\x09\\x01\\x1F\\x7F\\x80\\xA9\\xFF\n",
                                                  "a\\x00b\n", "\n"}));
}

TEST(TracecapLines, EachModeHasItsShape) {
  View listen(kLineListen, false);
  listen.Feed(Caught(4242, "Quorlin.exe", quorlin::kSetupDevice, 1500));
  listen.Feed(Caught(0, "unknown", "x", 0));
  EXPECT_EQ(listen.lines,
            (std::vector<std::string>{"1500\t4242\tQuorlin.exe\tSetup Device\\n\n", "0\t0\tunknown\tx\n"}));
  // In launch mode the started program keeps the plain form; the programs
  // it starts carry their process id and name.
  View launch(kLineLaunch, false);
  launch.Feed(Caught(10, NULL, "own"));
  launch.Feed(Caught(11, "child.exe", "theirs"));
  EXPECT_EQ(launch.lines, (std::vector<std::string>{"own\n", "11\tchild.exe\ttheirs\n"}));

  char note[kDropNoteSize];
  EXPECT_EQ(std::string(note, FormatDropNote(1, note)),
            "dropped 1 string here: the output was not read fast enough");
  EXPECT_EQ(std::string(note, FormatDropNote(4294967295UL, note)),
            "dropped 4294967295 strings here: the output was not read fast enough");
}

TEST(TracecapJoined, EachMessageJoinsTheTagOfItsOwnProcess) {
  View view(kLineListen, true);
  view.Feed(Caught(1, "Quorlin.exe", kQuorlinTag, 10));
  view.Feed(Caught(2, "Veskot.exe", kVeskotTag, 11));
  view.Feed(Caught(1, "Quorlin.exe", quorlin::kSetupDevice, 12));
  view.Feed(Caught(3, "other.exe", "..Other - Zenor", 13));
  view.Feed(Caught(3, "other.exe", "plain", 14));
  view.Feed(Caught(2, "Veskot.exe", veskot::kUninstallDevice, 15));
  // A message without a tag before it, and a tag followed by a tag.
  view.Feed(Caught(1, "Quorlin.exe", "untagged", 16));
  view.Feed(Caught(1, "Quorlin.exe", kQuorlinTag, 17));
  view.Feed(Caught(1, "Quorlin.exe", kQuorlinTag, 18));
  view.Feed(Caught(1, "Quorlin.exe", quorlin::kLumlog1, 19));
  // A tag still held at the end is written alone.
  view.Feed(Caught(2, "Veskot.exe", kVeskotTag, 20));
  ASSERT_TRUE(FlushHeldTags(&view.joiner, kEveryProcess));
  EXPECT_EQ(view.lines, (std::vector<std::string>{
                            "12\t1\tQuorlin.exe\t" + kQuorlinTag + " | Setup Device\\n\n",
                            "13\t3\tother.exe\t..Other - Zenor\n",
                            "14\t3\tother.exe\tplain\n",
                            "15\t2\tVeskot.exe\t" + kVeskotTag + " | Uninstall Device\\n\n",
                            "16\t1\tQuorlin.exe\tuntagged\n",
                            "17\t1\tQuorlin.exe\t" + kQuorlinTag + "\n",
                            "19\t1\tQuorlin.exe\t" + kQuorlinTag + " | Lumlog1\\n\n",
                            "20\t2\tVeskot.exe\t" + kVeskotTag + "\n",
                        }));
}

TEST(TracecapJoined, HeldTagsGiveWayOldestFirstAndWhenTheirProcessEnds) {
  View view(kLineLaunch, true);
  view.Feed(Caught(100, NULL, kQuorlinTag));
  for (unsigned long pid = 1; pid < static_cast<unsigned long>(kHeldTags); ++pid) {
    view.Feed(Caught(pid, "child.exe", kVeskotTag));
  }
  EXPECT_TRUE(view.lines.empty());
  // One more process holding a tag: the oldest, the started program's,
  // goes out alone, in its own plain form.
  view.Feed(Caught(500, "late.exe", kVeskotTag));
  EXPECT_EQ(view.lines, std::vector<std::string>{kQuorlinTag + "\n"});
  // A process that ended lets go of its tag; the others keep theirs.
  ASSERT_TRUE(FlushHeldTags(&view.joiner, 7));
  EXPECT_EQ(view.lines.back(), "7\tchild.exe\t" + kVeskotTag + "\n");
  view.Feed(Caught(500, "late.exe", "message"));
  EXPECT_EQ(view.lines.back(), "500\tlate.exe\t" + kVeskotTag + " | message\n");
  EXPECT_EQ(view.lines.size(), 3u);
}

struct Parsed {
  bool ok;
  TracecapOptions options;
  OptionsProblem problem;
};

Parsed Parse(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "tracecap.exe");
  std::vector<char*> argv;
  for (std::string& argument : arguments) {
    argv.push_back(&argument[0]);
  }
  argv.push_back(NULL);
  Parsed parsed;
  parsed.ok = ParseOptions(static_cast<int>(arguments.size()), argv.data(), &parsed.options, &parsed.problem);
  // The values point into the arguments, which go with this call.
  parsed.options.outPath = parsed.options.outPath == NULL ? NULL : "given";
  parsed.options.only = parsed.options.only == NULL ? NULL : "given";
  parsed.problem.argument = NULL;
  return parsed;
}

TEST(TracecapOptions, SoundCommandLines) {
  Parsed launch = Parse({"--joined", "setup.exe", "/S", "--listen"});
  ASSERT_TRUE(launch.ok);
  EXPECT_FALSE(launch.options.listen);
  EXPECT_TRUE(launch.options.joined);
  EXPECT_EQ(launch.options.program, 2);

  Parsed listen = Parse({"--listen", "--out", "C:\\t.txt", "--seconds", "4294967"});
  ASSERT_TRUE(listen.ok);
  EXPECT_TRUE(listen.options.listen);
  EXPECT_FALSE(listen.options.joined);
  EXPECT_NE(listen.options.outPath, nullptr);
  EXPECT_EQ(listen.options.seconds, 4294967UL);

  Parsed plain = Parse({"--listen"});
  ASSERT_TRUE(plain.ok);
  EXPECT_EQ(plain.options.seconds, 0UL);
  EXPECT_EQ(plain.options.outPath, nullptr);
  EXPECT_EQ(plain.options.only, nullptr);
  EXPECT_FALSE(plain.options.global);

  Parsed fleet = Parse({"--global", "--listen", "--only", "Quorlin.exe,Veskot.exe"});
  ASSERT_TRUE(fleet.ok);
  EXPECT_TRUE(fleet.options.global);
  EXPECT_NE(fleet.options.only, nullptr);
}

TEST(TracecapOptions, UnsoundCommandLinesSayWhy) {
  const struct {
    std::vector<std::string> arguments;
    const char* problem;
  } cases[] = {
      {{}, "no program to run"},
      {{"--joined"}, "no program to run"},
      {{"--bogus", "x.exe"}, "unknown option"},
      {{"-listen"}, "unknown option"},
      {{"--out"}, "option needs a value"},
      {{"--listen", "--seconds"}, "option needs a value"},
      {{"--listen", "--out", ""}, "--out needs a file name"},
      {{"--listen", "--out", "a", "--out", "b"}, "option given twice"},
      {{"--listen", "--seconds", "1", "--seconds", "2"}, "option given twice"},
      {{"--listen", "x.exe"}, "--listen takes no program"},
      {{"--seconds", "3", "x.exe"}, "--global, --only, --out and --seconds go with --listen"},
      {{"--out", "f", "x.exe"}, "--global, --only, --out and --seconds go with --listen"},
      {{"--global", "x.exe"}, "--global, --only, --out and --seconds go with --listen"},
      {{"--only", "x.exe", "x.exe"}, "--global, --only, --out and --seconds go with --listen"},
      {{"--listen", "--only"}, "option needs a value"},
      {{"--listen", "--only", "a", "--only", "b"}, "option given twice"},
  };
  for (const auto& one : cases) {
    const Parsed parsed = Parse(one.arguments);
    EXPECT_FALSE(parsed.ok) << one.problem;
    EXPECT_STREQ(parsed.problem.problem, one.problem);
  }
  for (const char* seconds : {"0", "-3", "+3", "ten", "", "3s", "4294968", "99999999999999999999"}) {
    const Parsed parsed = Parse({"--listen", "--seconds", seconds});
    EXPECT_FALSE(parsed.ok) << seconds;
    EXPECT_STREQ(parsed.problem.problem, "--seconds takes a whole number of seconds from 1 to 4294967");
  }
}

TEST(TracecapOptions, OnlyTakesNamesSeparatedByCommasAndMatchesThemInAnyCase) {
  for (const char* names : {"", ",", "a.exe,", ",a.exe", "a.exe,,b.exe"}) {
    const Parsed parsed = Parse({"--listen", "--only", names});
    EXPECT_FALSE(parsed.ok) << names;
    EXPECT_STREQ(parsed.problem.problem, "--only takes program names separated by commas");
  }
  const char kList[] = "Quorlin.exe,VESKOT.EXE,msiexec.exe";
  for (const char* kept : {"quorlin.exe", "Veskot.exe", "MSIEXEC.EXE"}) {
    EXPECT_TRUE(NameIsListed(kList, kept)) << kept;
  }
  for (const char* dropped : {"Quorlin", "Quorlin.exe.bak", "xQuorlin.exe", "msiexec.ex", "", "unknown"}) {
    EXPECT_FALSE(NameIsListed(kList, dropped)) << dropped;
  }
  EXPECT_TRUE(NameIsListed(NULL, "anything.exe"));
}

TEST(TracecapOptions, MaxSizeTakesBytesKibOrMibWithOut) {
  const std::pair<const char*, unsigned long> sound[] = {
      {"65536", 65536}, {"64K", 65536}, {"4095M", 4293918720UL}, {"4193280K", 4293918720UL}};
  for (const auto& one : sound) {
    EXPECT_EQ(Parse({"--listen", "--out", "f", "--max-size", one.first}).options.maxSize, one.second);
  }
  for (const char* size : {"65535", "63K", "-64K", "K", "64k", "64KB", "1G", "4096M", "4293918721",
                           "4294967296", "99999999999999999999"}) {
    EXPECT_FALSE(Parse({"--listen", "--out", "f", "--max-size", size}).ok) << size;
  }
  EXPECT_STREQ(Parse({"--listen", "--max-size", "64K"}).problem.problem, "--max-size goes with --out");
}

TEST(TracecapHeader, SaysWhenWhereAndWhatItListensTo) {
  const struct {
    CaptureFacts facts;
    const char* header;
  } cases[] = {
      {{2026, 12, 9, 14, 3, 7, 5, 60, "PC7", 6, 1, 7601, "Service Pack 1", true, false},
       "# tracecap listening since 2026-12-09 14:03:07.005 +01:00 on PC7, Windows 6.1 build 7601 Service "
       "Pack 1, "
       "64-bit; to this session\n"},
      {{2001, 1, 31, 0, 0, 0, 999, -570, "B\xC4R", 5, 0, 2195, "", false, true},
       "# tracecap listening since 2001-01-31 00:00:00.999 -09:30 on B\\xC4R, Windows 5.0 build 2195, "
       "32-bit; to "
       "this session and session 0\n"},
      {{2010, 6, 1, 23, 59, 59, 0, 0, "", 5, 1, 2600, "Service Pack 3", false, false},
       "# tracecap listening since 2010-06-01 23:59:59.000 +00:00 on , Windows 5.1 build 2600 Service Pack "
       "3, "
       "32-bit; to this session\n"},
  };
  for (const auto& one : cases) {
    char header[kHeaderSize];
    const size_t length = FormatCaptureHeader(one.facts, header);
    EXPECT_EQ(std::string(header, length), one.header);
  }
}

TEST(TracecapStore, ABatchKeepsItsStringsInOrderUntilItIsFull) {
  StringBatch batch;
  ASSERT_TRUE(InitBatch(&batch, 700));
  const std::string longName(300, 'n');
  ASSERT_TRUE(AppendToBatch(&batch, Caught(1, "a.exe", "first", 5)));
  ASSERT_TRUE(AppendToBatch(&batch, Caught(2, longName.c_str(), std::string("b\0\xFF", 3), 6)));
  const size_t used = batch.used;
  // A string that does not fit leaves the batch as it was.
  EXPECT_FALSE(AppendToBatch(&batch, Caught(3, "c.exe", std::string(400, 'x'), 7)));
  EXPECT_EQ(batch.used, used);
  size_t offset = 0;
  CaughtString string;
  ASSERT_TRUE(NextInBatch(&batch, &offset, &string));
  EXPECT_EQ(string.time, 5UL);
  EXPECT_EQ(string.pid, 1UL);
  EXPECT_STREQ(string.name, "a.exe");
  EXPECT_EQ(std::string(string.text, string.length), "first");
  ASSERT_TRUE(NextInBatch(&batch, &offset, &string));
  EXPECT_EQ(string.pid, 2UL);
  EXPECT_EQ(std::string(string.name), longName.substr(0, kNameSize - 1));
  EXPECT_EQ(std::string(string.text, string.length), std::string("b\0\xFF", 3));
  EXPECT_FALSE(NextInBatch(&batch, &offset, &string));
  FreeBatch(&batch);
}

}  // namespace
