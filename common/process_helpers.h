// Text matching and process lookup shared by both programs.
#ifndef KIT_COMMON_PROCESS_HELPERS_H
#define KIT_COMMON_PROCESS_HELPERS_H

#include "common/win32.h"

const DWORD kNoProcess = 0xFFFFFFFF;

// 1 when `searched` contains `wanted`, ASCII letters compared without
// regard to case and every other byte as it is; 0 otherwise, also for a
// null string or an empty `wanted`.
int ContainsNoCase(const char* searched, const char* wanted);

// 1 when the first `length` bytes of `a` and `b` are alike by the rule of
// ContainsNoCase; a terminator within them must stand in both at the same
// place, and the comparison ends there. 0 otherwise.
int SameNoCase(const char* a, const char* b, size_t length);

// The id of the first running process, other than the calling one, whose
// executable name contains `text` (ContainsNoCase), or kNoProcess.
DWORD FindProcessByName(const char* text);

#endif
