#include "tools/tracecap/output.h"

#include <stdio.h>
#include <stdlib.h>

#include "tools/tracecap/rolling_file.h"

void OutOfMemory() {
  fprintf(stderr, "tracecap: out of memory\n");
  exit(2);
}

void PrintLine(const char* line, size_t length, void* context) {
  if (context != NULL) {
    WriteRolling(static_cast<RollingFile*>(context), line, length);
  }
  fwrite(line, 1, length, stdout);
}
