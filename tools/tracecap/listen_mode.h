// Listen mode: tracecap --listen owns the debug-output buffer of the
// session (with --global, session 0's too) and prints every string that
// any process sends, with the time since listening began, the process id
// and the program's name, until --seconds have passed or the console
// stops it; the lines go to the --out file too.
#ifndef KIT_TRACECAP_LISTEN_MODE_H
#define KIT_TRACECAP_LISTEN_MODE_H

#include "tools/tracecap/options.h"

// Listens as `options` say. Returns 0; 1 when it cannot listen, or the
// --out file could not take every line or roll over every time; 2 when the
// --out file cannot be opened.
int Listen(const TracecapOptions& options);

#endif
