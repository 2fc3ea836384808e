// Baseline of staging: the installer's four SetupCopyOEMInfA calls on the
// package's INF folder given on the command line, nothing else.
#include <windows.h>
// setupapi.h needs windows.h first.
#include <setupapi.h>

#include "tests/kit_facts/names.h"

int main(int argc, char* argv[]) {
  if (argc != 2 || lstrlenA(argv[1]) + sizeof("\\android_usb.inf") > MAX_PATH) {
    return 2;
  }
  int failed = 0;
  for (const char* file : kit::kPackageInfs) {
    char path[MAX_PATH];
    wsprintfA(path, "%s\\%s", argv[1], file);
    if (!SetupCopyOEMInfA(path, argv[1], SPOST_PATH, 0, NULL, 0, NULL, NULL)) {
      failed = 1;
    }
  }
  return failed;
}
