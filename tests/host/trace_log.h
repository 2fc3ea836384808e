// Reads the simulated debugger output the way a debug-output viewer shows
// it: pairs of the program's trace tag and one message.
#ifndef KIT_TESTS_HOST_TRACE_LOG_H
#define KIT_TESTS_HOST_TRACE_LOG_H

#include <string>
#include <vector>

// The messages sent so far, each of which must follow `tag`; a string out
// of that order fails the calling test.
std::vector<std::string> TracedMessages(const std::string& tag);

// Clears the debugger output.
void ClearTrace();

#endif
