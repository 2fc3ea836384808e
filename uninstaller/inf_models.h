// What an INF file's models say: whether they name the handset.
#ifndef KIT_UNINSTALLER_INF_MODELS_H
#define KIT_UNINSTALLER_INF_MODELS_H

#include "common/win32.h"

// Whether `text` contains one of the handset's two hardware ids
// (ContainsNoCase).
bool NamesHandset(const char* text);

// The text of the line at `context`, its fields joined by commas, in a
// buffer of malloc's that the caller frees; NULL when it cannot be read.
char* ReadLineText(PINFCONTEXT context);

// Whether a line of one of the INF file's models sections names the
// handset: the sections of every manufacturer, undecorated and with each
// target decoration the manufacturer lists. False too when the file
// cannot be read as an INF file.
bool InfNamesHandset(const char* path);

#endif
