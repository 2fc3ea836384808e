// A path of a folder's entry, as the actions walk folders.
#ifndef KIT_KIT_ACTIONS_JOINED_PATH_H
#define KIT_KIT_ACTIONS_JOINED_PATH_H

#include "common/win32.h"

// "<folder>\<name>" into `path` (MAX_PATH bytes); false when it would not
// fit.
inline bool JoinPath(char* path, const char* folder, const char* name) {
  if (strlen(folder) + 1 + strlen(name) >= MAX_PATH) {
    return false;
  }
  wsprintfA(path, "%s\\%s", folder, name);
  return true;
}

#endif
