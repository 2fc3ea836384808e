// Platform probes shared by both programs.
#ifndef KIT_COMMON_PLATFORM_PROBES_H
#define KIT_COMMON_PLATFORM_PROBES_H

#include "common/win32.h"

// Nonzero when this 32-bit program runs under WOW64, that is on 64-bit
// Windows. A Windows release without IsWow64Process, or a failing call,
// counts as 32-bit. Asked anew on every call; traces nothing.
BOOL IsRunningOnWow64();

#endif
