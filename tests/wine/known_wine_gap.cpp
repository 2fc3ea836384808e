#include "tests/wine/known_wine_gap.h"

#include <stdio.h>

#include "gtest/gtest-spi.h"
#include "gtest/gtest.h"
#include "tests/wine/prefix.h"

namespace wine {

void KnownWineGap(const std::string& gap, const std::function<void()>& check) {
  ::testing::TestPartResultArray results;
  {
    const ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
    check();
  }
  int failures = 0;
  for (int i = 0; i < results.size(); ++i) {
    const ::testing::TestPartResult& result = results.GetTestPartResult(i);
    if (!result.failed()) {
      continue;
    }
    ++failures;
    if (!UnderWine()) {
      ADD_FAILURE_AT(result.file_name(), result.line_number()) << result.message();
    } else if (failures == 1) {
      printf("[ KNOWN GAP ] %s\n  first failure of the check, at %s:%d: %s\n", gap.c_str(),
             result.file_name() == nullptr ? "?" : result.file_name(), result.line_number(),
             result.message());
      fflush(stdout);
    }
  }
  if (UnderWine() && failures == 0) {
    ADD_FAILURE() << "now passes under this Wine: " << gap << "; take the known-gap mark away";
  }
  if (UnderWine()) {
    ::testing::Test::RecordProperty("known_wine_gap", gap);
  }
}

}  // namespace wine
