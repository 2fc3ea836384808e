#include "tools/tracecap/options.h"

#include <string.h>

const char kUsage[] =
    "usage: tracecap [--joined] PROGRAM [ARGUMENTS...]\n"
    "       tracecap --listen [--global] [--joined] [--only NAME[,NAME...]]\n"
    "                [--out FILE [--max-size SIZE]] [--seconds N]\n"
    "  PROGRAM            run it and show the debug strings of it and of every\n"
    "                     program it starts, then its exit code\n"
    "  --listen           show the debug strings of every process in this session\n"
    "  --global           and of the services in session 0 (for an administrator)\n"
    "  --only NAMES       only the strings of these programs, e.g. Quorlin.exe,Veskot.exe\n"
    "  --out FILE         also write the lines to FILE, after what it holds\n"
    "  --max-size SIZE    FILE and its older part (kit.1.txt for kit.txt) at most\n"
    "                     SIZE bytes each; 64K to 4095M, K for KiB and M for MiB\n"
    "  --seconds N        stop after N seconds; else Ctrl+C stops\n"
    "  --joined           show each message of the kit on the line of its trace tag\n";

namespace {
bool Fail(OptionsProblem* problem, const char* what, const char* argument) {
  problem->problem = what;
  problem->argument = argument;
  return false;
}

// A whole number from 1 to kMostSeconds, digits only.
bool ReadSeconds(const char* text, unsigned long* seconds) {
  unsigned long value = 0;
  if (*text == '\0') {
    return false;
  }
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') {
      return false;
    }
    value = value * 10 + static_cast<unsigned long>(*c - '0');
    if (value > kMostSeconds) {
      return false;
    }
  }
  *seconds = value;
  return value > 0;
}

// A size from kLeastMaxSize to kMostMaxSize bytes: digits, then K for
// KiB, M for MiB or nothing.
bool ReadSize(const char* text, unsigned long* bytes) {
  unsigned long value = 0;
  const char* c = text;
  for (; *c >= '0' && *c <= '9'; ++c) {
    if (value > kMostMaxSize / 10) {
      return false;
    }
    value = value * 10 + static_cast<unsigned long>(*c - '0');
  }
  const unsigned long unit = *c == 'K' ? 1024UL : *c == 'M' ? 1024UL * 1024 : 1;
  if (unit > 1) {
    ++c;
  }
  if (c == text || *c != '\0' || value > kMostMaxSize / unit || value * unit < kLeastMaxSize) {
    return false;
  }
  *bytes = value * unit;
  return true;
}

// Program names separated by commas, none of them empty.
bool ReadNames(const char* text) {
  if (*text == '\0') {
    return false;
  }
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == ',' && (c == text || c[1] == '\0' || c[1] == ',')) {
      return false;
    }
  }
  return true;
}
}  // namespace

bool ParseOptions(int argc, char* argv[], TracecapOptions* options, OptionsProblem* problem) {
  options->listen = false;
  options->global = false;
  options->joined = false;
  options->outPath = NULL;
  options->maxSize = 0;
  options->only = NULL;
  options->seconds = 0;
  options->program = 0;
  problem->problem = NULL;
  problem->argument = NULL;
  bool secondsGiven = false;
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    const char* option = argv[i];
    if (strcmp(option, "--listen") == 0) {
      options->listen = true;
    } else if (strcmp(option, "--global") == 0) {
      options->global = true;
    } else if (strcmp(option, "--joined") == 0) {
      options->joined = true;
    } else if (strcmp(option, "--out") == 0 || strcmp(option, "--seconds") == 0 ||
               strcmp(option, "--only") == 0 || strcmp(option, "--max-size") == 0) {
      const bool out = strcmp(option, "--out") == 0;
      const bool only = strcmp(option, "--only") == 0;
      const bool size = strcmp(option, "--max-size") == 0;
      if ((out && options->outPath != NULL) || (only && options->only != NULL) ||
          (size && options->maxSize != 0) || (!out && !only && !size && secondsGiven)) {
        return Fail(problem, "option given twice", option);
      }
      if (i + 1 >= argc) {
        return Fail(problem, "option needs a value", option);
      }
      const char* value = argv[++i];
      if (out) {
        if (value[0] == '\0') {
          return Fail(problem, "--out needs a file name", NULL);
        }
        options->outPath = value;
      } else if (size) {
        if (!ReadSize(value, &options->maxSize)) {
          return Fail(problem, "--max-size takes bytes, or K or M after the number, from 64K to 4095M",
                      value);
        }
      } else if (only) {
        if (!ReadNames(value)) {
          return Fail(problem, "--only takes program names separated by commas", value);
        }
        options->only = value;
      } else {
        if (!ReadSeconds(value, &options->seconds)) {
          return Fail(problem, "--seconds takes a whole number of seconds from 1 to 4294967", value);
        }
        secondsGiven = true;
      }
    } else {
      return Fail(problem, "unknown option", option);
    }
  }
  if (options->maxSize != 0 && options->outPath == NULL) {
    return Fail(problem, "--max-size goes with --out", NULL);
  }
  if (options->listen) {
    if (i < argc) {
      return Fail(problem, "--listen takes no program", argv[i]);
    }
    return true;
  }
  if (options->outPath != NULL || secondsGiven || options->only != NULL || options->global) {
    return Fail(problem, "--global, --only, --out and --seconds go with --listen", NULL);
  }
  if (i >= argc) {
    return Fail(problem, "no program to run", NULL);
  }
  options->program = i;
  return true;
}
