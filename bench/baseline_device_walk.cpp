// Baseline of the device walk: builds the set of every device instance of
// every class, as the uninstaller does, and reads each instance's hardware
// ids into a buffer of their size, nothing else.
#include <windows.h>
// setupapi.h needs windows.h first; initguid.h makes devguid.h define the
// class GUIDs.
// clang-format off
#include <setupapi.h>
#include <initguid.h>
#include <devguid.h>
// clang-format on

int main() {
  HDEVINFO set = SetupDiGetClassDevsA(&GUID_DEVCLASS_USB, NULL, NULL, DIGCF_ALLCLASSES);
  if (set == INVALID_HANDLE_VALUE) {
    return 1;
  }
  SP_DEVINFO_DATA data;
  data.cbSize = sizeof(data);
  for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &data); ++index) {
    DWORD size = 0;
    if (SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID, NULL, NULL, 0, &size) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      continue;
    }
    BYTE* ids = static_cast<BYTE*>(LocalAlloc(LMEM_ZEROINIT, size + 1));
    if (ids != NULL) {
      SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID, NULL, ids, size, &size);
      LocalFree(ids);
    }
  }
  SetupDiDestroyDeviceInfoList(set);
  return 0;
}
