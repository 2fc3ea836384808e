#include "installer/inf_staging.h"

#include "common/trace.h"
#include "common/win32.h"

int PkgCopyInf(const char* folder, const char* infFileName) {
  Trace("\r\n =====>>>  Enter PkgCopyInf");
  char* pFullName = static_cast<char*>(malloc(MAX_PATH));
  if (pFullName == NULL) {
    Trace("Malloc for pFullName failed!\n");
    return 0;
  }
  if (strlen(folder) + 1 + strlen(infFileName) >= MAX_PATH) {
    free(pFullName);
    return 0;
  }
  wsprintfA(pFullName, "%s\\%s", folder, infFileName);
  Trace("Full name: %s\n", pFullName);
  if (!SetupCopyOEMInfA(pFullName, folder, SPOST_PATH, 0, NULL, 0, NULL, NULL)) {
    Trace("SetupCopyOEMInf failed, error code: 0x%x\n", GetLastError());
  }
  // Closes the step whether or not Windows took the file.
  Trace("\r\n =====>>>   PkgCopyInf Successful");
  free(pFullName);
  return 1;
}
