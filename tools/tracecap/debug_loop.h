// The debug loop itself: runs a program under the Win32 debugger API and
// hands every string it sends to the debugger output to a sink, in order.
// Plain Win32 and C runtime only, so that tracecap.exe loads wherever the
// programs it watches do.
#ifndef KIT_TRACECAP_DEBUG_LOOP_H
#define KIT_TRACECAP_DEBUG_LOOP_H

#include <stddef.h>
#include <windows.h>

// Receives one debug string: `length` bytes, without its terminator.
typedef void (*DebugStringSink)(const char* text, size_t length, void* context);

// Starts `commandLine` (program path first, quoted as needed; the buffer
// may be changed by CreateProcessA) with DEBUG_ONLY_THIS_PROCESS and runs
// the debug loop until the program ends. Returns FALSE, with the error of
// CreateProcessA in *error, when the program cannot be started.
BOOL RunUnderDebugger(char* commandLine, DebugStringSink sink, void* context, DWORD* exitCode, DWORD* error);

// The longest escaped form of `length` bytes, without the terminator.
size_t EscapedLength(size_t length);

// Writes the bytes as one printable line into `out`, which holds at least
// EscapedLength(length) + 1 bytes: \n, \r and \\ as escapes, every byte
// outside printable ASCII as \xHH. Returns the length written.
size_t EscapeDebugBytes(const char* text, size_t length, char* out);

#endif
