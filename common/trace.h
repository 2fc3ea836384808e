// The trace channel: every report of both programs goes to the debugger
// output as two strings, the program's trace tag and then the message.
#ifndef KIT_COMMON_TRACE_H
#define KIT_COMMON_TRACE_H

// Formats the message with wsprintf rules into a slot of this call's own
// frame, then sends the tag and the message. The slot holds the longest
// text wsprintf can produce, so no value is cut and nothing is written
// past it. Arguments are evaluated by the caller first, so an error code
// taken with GetLastError() is read before anything else is called.
void Trace(const char* format, ...);

// Sends the tag and then the text exactly as it is, without formatting.
void TraceText(const char* text);

#endif
