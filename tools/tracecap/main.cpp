// tracecap: shows what programs send to the debugger output, escaped, one
// string a line.
//
// tracecap [--joined] PROGRAM [ARGUMENTS...] runs PROGRAM under the
// debugger, prints every string it sends on a line of its own and every
// string of the programs it starts on a line marked with their process id
// and name, then "exit code: N", and exits with PROGRAM's exit code.
//
// tracecap --listen [--global] [--joined] [--only NAMES] [--out FILE
// [--max-size SIZE]] [--seconds N] prints the strings of every process in
// the session (with --global, of session 0's services too), whoever
// started it, with the time since listening began, the process id and the
// program's name, until N seconds have passed or Ctrl+C, Ctrl+Break or the
// closing of the console stops it; with --max-size the --out file rolls
// over to its older part. Exit code 0, or 1 when it cannot listen, or the
// --out file could not take every line or roll over every time.
//
// Bad command lines get the usage text and exit code 2.
#include <stdio.h>

#include "tools/tracecap/launch_mode.h"
#include "tools/tracecap/listen_mode.h"
#include "tools/tracecap/options.h"

int main(int argc, char* argv[]) {
  TracecapOptions options;
  OptionsProblem problem;
  if (!ParseOptions(argc, argv, &options, &problem)) {
    if (problem.argument != NULL) {
      fprintf(stderr, "tracecap: %s: %s\n%s", problem.problem, problem.argument, kUsage);
    } else {
      fprintf(stderr, "tracecap: %s\n%s", problem.problem, kUsage);
    }
    return 2;
  }
  return options.listen ? Listen(options) : Launch(argc, argv, options);
}
