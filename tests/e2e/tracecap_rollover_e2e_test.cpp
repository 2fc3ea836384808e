// End-to-end tests of tracecap.exe's --max-size under Wine: the --out file
// and its older part, FILE.1, keep the newest strings within the size.
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
