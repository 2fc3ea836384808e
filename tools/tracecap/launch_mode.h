// Launch mode: tracecap [--joined] PROGRAM [ARGUMENTS...] runs PROGRAM
// under the debug loop, with every program it starts, and prints their
// strings in order: PROGRAM's as the string alone, the others' with their
// process id and program name before it; then "exit code: N".
#ifndef KIT_TRACECAP_LAUNCH_MODE_H
#define KIT_TRACECAP_LAUNCH_MODE_H

#include "tools/tracecap/options.h"

// Runs PROGRAM (argv[options.program]) with the arguments after it, quoted
// the way the C runtime splits them again. Returns PROGRAM's exit code,
// or 2 when it cannot be started.
int Launch(int argc, char* argv[], const TracecapOptions& options);

#endif
