// The search of the Windows INF directory for INF files that name the
// handset.
#ifndef KIT_UNINSTALLER_INF_SCAN_H
#define KIT_UNINSTALLER_INF_SCAN_H

#include "common/win32.h"

// Hands every "*.inf" file of the Windows INF directory to ScanInfFile.
// Always 0.
int SearchInfDirectory();

// Deletes the INF file when a line of its first manufacturer's models
// section names the handset's first hardware id.
void ScanInfFile(const char* pFileName);

// Reads the first comma-separated field of the line's text. 1 when the
// text could be read: *length is then the field's length with its
// terminator, and the field is copied into `out` when one of at least that
// size is given. 0 otherwise.
int GetLineFirstField(PINFCONTEXT context, char* out, DWORD outSize, DWORD* length);

#endif
