#include "common/program.h"

const char kTraceTag[] = "..Veskot - Zenor";
const int kLineTransf2PathNull = 1110;
const int kLineSetVistaRightStart = 1234;
