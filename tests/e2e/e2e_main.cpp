// The end-to-end test program. Each ctest entry runs it with a filter that
// names one test; a filter that selects nothing is an error, so that a
// renamed test cannot pass unseen.
#include <stdio.h>

#include "gtest/gtest.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  if (::testing::UnitTest::GetInstance()->test_to_run_count() == 0 && !GTEST_FLAG_GET(list_tests)) {
    fprintf(stderr, "no test matches the filter\n");
    return 1;
  }
  return status;
}
