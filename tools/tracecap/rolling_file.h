// tracecap's --out file: the lines go after what it holds, each capture
// starting with its header. With --max-size it never grows past the
// limit: before a line would take it there, it becomes its older part
// (".1" before the extension: kit.txt becomes kit.1.txt, replacing any
// older part from before) and a new file begins, with a header that says
// it continues the capture. So the disk holds the file and its older
// part, each within the limit, with the newest lines and none lost
// between them.
#ifndef KIT_TRACECAP_ROLLING_FILE_H
#define KIT_TRACECAP_ROLLING_FILE_H

#include <stddef.h>
#include <stdio.h>
#include <windows.h>

#include "tools/tracecap/line_format.h"

struct RollingFile {
  FILE* file;  // null without --out, or once it could not be opened again
  const char* path;
  char olderPath[MAX_PATH + 3];
  unsigned long limit;  // --max-size in bytes, or 0 for none
  unsigned long size;   // the bytes in the file, as far as this run knows
  bool failed;          // a write failed: the file takes no more
  bool renameFailed;    // a rollover could not rename the file: said once
  size_t headerLength;
  char header[kHeaderSize];  // the capture's header, for the parts that continue it
};

// Opens `path` (nothing for null) for a capture that begins now, making
// a file that the capture's header would take past `limit` its older part
// first; `global` tells the header that it listens to session 0 too.
// False when the file cannot be opened.
bool OpenRollingFile(RollingFile* out, const char* path, unsigned long limit, bool global);

// Appends one line, rolling over first when it would pass the limit. A
// rename that fails is said once on the error output: the file then goes
// on past the limit, and the next line that passes it tries again.
void WriteRolling(RollingFile* out, const char* line, size_t length);

// Hands what was written to the system.
void FlushRolling(RollingFile* out);

// Closes the file; true when it took every line and every rollover was
// made.
bool CloseRollingFile(RollingFile* out);

#endif
