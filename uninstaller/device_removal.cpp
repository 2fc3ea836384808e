#include "uninstaller/device_removal.h"

#include "common/process_helpers.h"
#include "common/trace.h"
#include "uninstaller/inf_models.h"

DWORD nDeletedInf = 0;

namespace {
// Windows' own INF files of a USB composite device and of USB mass
// storage, in any letter case.
bool IsCompositeInf(const char* name) {
  return SameNoCase(name, "usb.inf", sizeof("usb.inf")) ||
         SameNoCase(name, "usbstor.inf", sizeof("usbstor.inf"));
}

bool FileIsThere(const char* path) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(path, &found);
  if (find == INVALID_HANDLE_VALUE) {
    return false;
  }
  FindClose(find);
  return true;
}

// "InfPath" names a file inside the INF directory; anything that could
// lead out of it is refused.
bool IsBareFileName(const char* name) {
  return name[0] != '\0' && strpbrk(name, "\\/:") == NULL && strstr(name, "..") == NULL;
}

int DeleteInfFile(const char* pInfName) {
  char* pFilePath = static_cast<char*>(malloc(MAX_PATH));
  if (pFilePath == NULL) {
    Trace("Malloc buffer for pFilePath failed\n");
    return 0;
  }
  char* pFullPath = static_cast<char*>(malloc(MAX_PATH));
  if (pFullPath == NULL) {
    Trace("Malloc failed\n");
    free(pFilePath);
    return 0;
  }
  int result = 0;
  const UINT length = GetWindowsDirectoryA(pFilePath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    Trace("Get current path failed!\n");
  } else if (strlen(pFilePath) + strlen("\\inf\\") + strlen(pInfName) >= MAX_PATH) {
    Trace("Path too long, passed over: [%s\\inf\\%s]\n", pFilePath, pInfName);
  } else {
    wsprintfA(pFullPath, "%s\\inf\\%s", pFilePath, pInfName);
    // An INF file that came with Windows (an MTP or a network handset's
    // class driver, say) names other devices: it stays. One that is gone
    // already fails its deletion below, as a second instance's does.
    if (FileIsThere(pFullPath) && !InfNamesHandset(pFullPath)) {
      Trace("INF file does not name the handset, nothing deleted: [%s]\n", pFullPath);
    } else {
      Trace("Delete file in PkgQuickDel\n");
      Trace("File full path: %s\n", pFullPath);
      SetFileAttributesA(pFullPath, FILE_ATTRIBUTE_NORMAL);
      result = DeleteFileA(pFullPath);
    }
  }
  free(pFullPath);
  free(pFilePath);
  return result;
}

// Handles one instance once: its INF first, then the removal.
void RemoveInstance(HDEVINFO set, SP_DEVINFO_DATA& data) {
  if (PkgQuickDel(set, data)) {
    ++nDeletedInf;
  }
  SP_REMOVEDEVICE_PARAMS params;
  params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
  params.ClassInstallHeader.InstallFunction = DIF_REMOVE;
  params.Scope = DI_REMOVEDEVICE_GLOBAL;
  params.HwProfile = 0;
  if (!SetupDiSetClassInstallParamsA(set, &data, &params.ClassInstallHeader, sizeof(params)) ||
      !SetupDiCallClassInstaller(DIF_REMOVE, set, &data)) {
    Trace("Remove failed!\n");
  }
}

// Traces the instance's hardware ids up to the first that names the
// handset, and deals with the instance there.
void CheckInstance(HDEVINFO set, SP_DEVINFO_DATA& data, const char* hardwareIds, DWORD size) {
  TraceText("Lumora_log0");
  for (DWORD offset = 0; offset < size && hardwareIds[offset] != '\0';) {
    const char* entry = hardwareIds + offset;
    Trace("enter for loop\n");
    TraceText(entry);
    Trace("\n");
    if (NamesHandset(entry)) {
      RemoveInstance(set, data);
      return;
    }
    offset += static_cast<DWORD>(strlen(entry)) + 1;
  }
}
}  // namespace

int RemoveHandsetDevices() {
  HDEVINFO set = SetupDiGetClassDevsA(&GUID_DEVCLASS_USB, NULL, NULL, DIGCF_ALLCLASSES);
  if (set == INVALID_HANDLE_VALUE) {
    return 1;
  }
  SP_DEVINFO_DATA data;
  data.cbSize = sizeof(data);
  bool walking = true;
  for (DWORD index = 0; walking && SetupDiEnumDeviceInfo(set, index, &data); ++index) {
    char* hardwareIds = NULL;
    DWORD size = 0;
    while (!SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID, NULL,
                                              reinterpret_cast<PBYTE>(hardwareIds), size, &size)) {
      const DWORD error = GetLastError();
      if (error == ERROR_INVALID_DATA) {
        break;  // no hardware ids
      }
      if (error != ERROR_INSUFFICIENT_BUFFER) {
        walking = false;
        break;
      }
      if (hardwareIds != NULL) {
        LocalFree(hardwareIds);
      }
      // One zero byte beyond the reported size, so that a list stored
      // without its terminators still ends inside the buffer.
      hardwareIds = static_cast<char*>(LocalAlloc(LMEM_ZEROINIT, size + 1));
      if (hardwareIds == NULL) {
        break;
      }
    }
    if (walking && hardwareIds != NULL) {
      CheckInstance(set, data, hardwareIds, size);
    }
    if (hardwareIds != NULL) {
      LocalFree(hardwareIds);
    }
  }
  const DWORD lastError = GetLastError();
  SetupDiDestroyDeviceInfoList(set);
  return lastError != 0 ? 1 : 0;
}

int PkgQuickDel(HDEVINFO set, SP_DEVINFO_DATA data) {
  HKEY key = SetupDiOpenDevRegKey(set, &data, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_ALL_ACCESS);
  if (key == INVALID_HANDLE_VALUE) {
    Trace("Open Registry failed, Error code: 0x%8x\n", GetLastError());
    return 0;
  }
  char* pInfName = static_cast<char*>(LocalAlloc(LMEM_ZEROINIT, MAX_PATH));
  if (pInfName == NULL) {
    Trace("LocalAlloc for 'pInfName' failed!\n");
    RegCloseKey(key);
    return 0;
  }
  DWORD type = 0;
  DWORD size = MAX_PATH;
  const LONG status = RegQueryValueExA(key, "InfPath", NULL, &type, reinterpret_cast<BYTE*>(pInfName), &size);
  int result = 0;
  if (status != ERROR_SUCCESS) {
    Trace("RegQueryValueEx for 'InfPath' failed!\n");
    Trace("Error code: 0x%x\n", status);
  } else {
    // A value stored without its terminator is cut, and then refused.
    const bool terminated = memchr(pInfName, '\0', MAX_PATH) != NULL;
    pInfName[MAX_PATH - 1] = '\0';
    if (terminated && IsCompositeInf(pInfName)) {
      Trace("Find composite device\n");
    } else if (!terminated || !IsBareFileName(pInfName)) {
      Trace("InfPath is not a bare file name, nothing deleted: [%s]\n", pInfName);
    } else {
      result = DeleteInfFile(pInfName);
    }
  }
  RegCloseKey(key);
  LocalFree(pInfName);
  return result;
}
