// Path cutting and the compatibility-layer record, shared by both programs.
#ifndef KIT_COMMON_PATH_COMPAT_H
#define KIT_COMMON_PATH_COMPAT_H

// Cuts the path in the 260-byte buffer at its last backslash, in place, and
// zero-fills the rest of the buffer. 1 when cut; 0 for a null buffer and for
// a path without a backslash, which is left as it is.
int Transf2Path(char* path);

// Records the compatibility layer RUNASADMIN for the running program file
// in the current user's registry. 1 when written, else 0.
int SetVistaRight();

#endif
