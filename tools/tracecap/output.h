// Where tracecap's lines go, in both modes: the --out file first, in
// listen mode, and then the console (or whatever standard output is); and
// the end of tracecap when memory runs out.
#ifndef KIT_TRACECAP_OUTPUT_H
#define KIT_TRACECAP_OUTPUT_H

#include <stddef.h>

// Says so on the error output and exits with 2.
[[noreturn]] void OutOfMemory();

// A LineSink: `context` is the --out file's RollingFile, or null.
void PrintLine(const char* line, size_t length, void* context);

#endif
