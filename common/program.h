// What tells the two programs apart inside the shared support: the trace
// tag and the line numbers of the shared routines' messages. Each program
// defines these in its identity.cpp.
#ifndef KIT_COMMON_PROGRAM_H
#define KIT_COMMON_PROGRAM_H

extern const char kTraceTag[];
extern const int kLineTransf2PathNull;
extern const int kLineSetVistaRightStart;

#endif
