#include "common/trace.h"

#include <stdarg.h>

#include "common/program.h"
#include "common/win32.h"

namespace {
// wsprintf writes at most 1024 bytes, its terminator included.
const int kSlotSize = 1024 + 1;
}  // namespace

void Trace(const char* format, ...) {
  char slot[kSlotSize];
  va_list args;
  va_start(args, format);
  wvsprintfA(slot, format, args);
  va_end(args);
  slot[kSlotSize - 1] = '\0';
  OutputDebugStringA(kTraceTag);
  OutputDebugStringA(slot);
}

void TraceText(const char* text) {
  OutputDebugStringA(kTraceTag);
  OutputDebugStringA(text);
}
