// tracecap's command line:
//
//   tracecap [--joined] PROGRAM [ARGUMENTS...]
//   tracecap --listen [--global] [--joined] [--only NAME[,NAME...]] [--out FILE [--max-size SIZE]]
//            [--seconds N]
//
// Options come before PROGRAM; everything from PROGRAM on is PROGRAM's.
#ifndef KIT_TRACECAP_OPTIONS_H
#define KIT_TRACECAP_OPTIONS_H

extern const char kUsage[];

// The most --seconds takes: its milliseconds still fit in 32 bits.
const unsigned long kMostSeconds = 4294967UL;

// What --max-size takes, in bytes: room for a part's header and three of
// the longest lines (some 17 KiB each) at least, and at most what 32 bits
// count in whole MiB.
const unsigned long kLeastMaxSize = 64UL * 1024;
const unsigned long kMostMaxSize = 4095UL * 1024 * 1024;

struct TracecapOptions {
  bool listen;
  bool global;  // --global: the session-0 buffer too
  bool joined;
  const char* outPath;    // --out, or null
  unsigned long maxSize;  // --max-size in bytes, or 0 for a file that grows as it will
  const char* only;       // --only: program names separated by commas, or null
  unsigned long seconds;  // --seconds, or 0 for "until stopped"
  int program;            // launch mode: the index of PROGRAM in argv
};

// What is wrong with a command line: the problem, and the argument it is
// about (null when it is about none), for the line before the usage text.
struct OptionsProblem {
  const char* problem;
  const char* argument;
};

// Reads the command line into `options`; false, with `problem` filled in,
// when it is not sound.
bool ParseOptions(int argc, char* argv[], TracecapOptions* options, OptionsProblem* problem);

#endif
