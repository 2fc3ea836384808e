#include "common/program.h"

const char kTraceTag[] = "..Quorlin32 - Zenor";
const int kLineTransf2PathNull = 348;
const int kLineSetVistaRightStart = 1569;
