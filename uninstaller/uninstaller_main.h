// The uninstaller's whole run.
#ifndef KIT_UNINSTALLER_UNINSTALLER_MAIN_H
#define KIT_UNINSTALLER_UNINSTALLER_MAIN_H

#include "common/win32.h"

// The system's UI language, read once at the start of the run.
extern DWORD g_uiLanguage;

// Removes the handset's devices and INF files, the product's registry keys
// and folders; "showmessage" on the command line asks for a prompt at the
// end. Always returns 0, the exit code.
int UninstallerMain(int argc, char* argv[]);

#endif
