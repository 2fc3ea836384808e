// The header line that starts each capture in an --out file, with the
// facts of this machine and of this moment.
#ifndef KIT_TRACECAP_CAPTURE_HEADER_H
#define KIT_TRACECAP_CAPTURE_HEADER_H

#include <stddef.h>

#include "tools/tracecap/line_format.h"

// Formats the header of a capture that begins now into `out`
// (kHeaderSize bytes); `global` tells that it listens to session 0 too.
// Returns its length.
size_t FormatHeaderOfNow(bool global, char* out);

#endif
