// Strings: wsprintf's formatting, which writes at most 1024 bytes.
#include <stdio.h>

#include "winsim/simulated_windows.h"

int wvsprintfA(LPSTR buffer, LPCSTR format, va_list args) {
  // wsprintf writes at most 1024 bytes, its terminator included.
  const int written = vsnprintf(buffer, 1024, format, args);
  return written < 0 ? 0 : (written > 1023 ? 1023 : written);
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
  va_list args;
  va_start(args, format);
  const int written = wvsprintfA(buffer, format, args);
  va_end(args);
  return written;
}
