// The debug loop itself: runs a program under the Win32 debugger API,
// together with every program it starts, and hands each string they send
// to the debugger output to a sink, in order. Plain Win32 and C runtime
// only, so that tracecap.exe loads wherever the programs it watches do.
#ifndef KIT_TRACECAP_DEBUG_LOOP_H
#define KIT_TRACECAP_DEBUG_LOOP_H

#include <stddef.h>
#include <windows.h>

// What the sink hears of: a string, or the end of a process.
enum DebugNews { kDebugString, kProcessEnded };

// Receives one debug string (`length` bytes, without its terminator) or
// the end of a process. `started` tells the program that was started from
// the programs it started in turn, whose file name is `name`.
typedef void (*DebugStringSink)(DebugNews news, DWORD pid, bool started, const char* name, const char* text,
                                size_t length, void* context);

// Starts `commandLine` (program path first, quoted as needed; the buffer
// may be changed by CreateProcessA) with DEBUG_PROCESS and runs the debug
// loop until it and every process it started have ended. *exitCode is the
// started program's own. Returns FALSE, with the error of CreateProcessA
// in *error, when the program cannot be started.
BOOL RunUnderDebugger(char* commandLine, DebugStringSink sink, void* context, DWORD* exitCode, DWORD* error);

#endif
