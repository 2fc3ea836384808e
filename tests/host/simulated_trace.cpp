#include "tests/host/simulated_trace.h"

#include <gtest/gtest.h>

#include <string>

#include "winsim/simulated_windows.h"

kit::Messages TracedMessages(const char* tag) {
  kit::Messages messages;
  std::string problem;
  EXPECT_TRUE(kit::SplitTraced(winsim::machine().debugOutput, tag, &messages, &problem)) << problem;
  return messages;
}

void ClearTrace() { winsim::machine().debugOutput.clear(); }
