// Which running program the uninstaller may end for a file it cannot
// delete: only one of the kit's own, running from the folder it deletes.
#ifndef KIT_UNINSTALLER_KIT_PROGRAMS_H
#define KIT_UNINSTALLER_KIT_PROGRAMS_H

#include "common/win32.h"

// The id of the first running process whose executable name contains
// `name` (ContainsNoCase) and whose program file lies inside `folder`, at
// any depth; kNoProcess when there is none. The uninstaller itself and
// the program that started it are never found, nor is a process whose
// program file cannot be learned (a 64-bit process seen from WOW64, one
// that has ended meanwhile).
DWORD FindKitProgram(const char* name, const char* folder);

#endif
