// The simulated Windows' debugger output read back as a debug-output
// viewer shows it: pairs of the program's trace tag and one message
// (kit_facts/trace_channel.h).
#ifndef KIT_TESTS_HOST_SIMULATED_TRACE_H
#define KIT_TESTS_HOST_SIMULATED_TRACE_H

#include "tests/kit_facts/trace_channel.h"

// The messages sent so far, each of which must follow `tag`; a string out
// of that order fails the calling test.
kit::Messages TracedMessages(const char* tag);

// Clears the debugger output.
void ClearTrace();

#endif
