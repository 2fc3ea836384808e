#include "tests/host/trace_log.h"

#include <gtest/gtest.h>

#include "winsim/machine.h"

std::vector<std::string> TracedMessages(const std::string& tag) {
  const std::vector<std::string>& output = winsim::machine().debugOutput;
  std::vector<std::string> messages;
  EXPECT_EQ(output.size() % 2, 0u) << "a tag without its message";
  for (size_t i = 0; i + 1 < output.size(); i += 2) {
    EXPECT_EQ(output[i], tag) << "string " << i << " should be the trace tag";
    messages.push_back(output[i + 1]);
  }
  return messages;
}

void ClearTrace() { winsim::machine().debugOutput.clear(); }
