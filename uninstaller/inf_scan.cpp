#include "uninstaller/inf_scan.h"

#include "common/process_helpers.h"
#include "common/trace.h"
#include "uninstaller/inf_models.h"

namespace {
const char kHandsetId[] = "VID_3A8D&PID_6C31";

// Tests the models section's lines from `context` on; deletes the file at
// the first that names the handset.
void ScanModels(const char* pFileName, INFCONTEXT& context) {
  do {
    char* lineText = ReadLineText(&context);
    if (lineText == NULL) {
      return;
    }
    if (ContainsNoCase(lineText, kHandsetId)) {
      Trace("---Find file contain our HWID---\n");
      Trace("File full name: %s\n", pFileName);
      Trace("Device context: %s\n", lineText);
      SetFileAttributesA(pFileName, FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(pFileName);
      free(lineText);
      return;
    }
    free(lineText);
  } while (SetupFindNextLine(&context, &context));
}
}  // namespace

int GetLineFirstField(PINFCONTEXT context, char* out, DWORD outSize, DWORD* length) {
  DWORD size = 0;
  if (!SetupGetLineTextA(context, NULL, NULL, NULL, NULL, 0, &size) || size == 0) {
    return 0;
  }
  char* text = static_cast<char*>(malloc(size));
  if (text == NULL) {
    return 0;
  }
  if (!SetupGetLineTextA(context, NULL, NULL, NULL, text, size, NULL)) {
    free(text);
    return 0;
  }
  text[size - 1] = '\0';
  DWORD fieldLength = size;
  for (DWORD i = 0; i < size; ++i) {
    if (text[i] == ',') {
      text[i] = '\0';
      fieldLength = i + 1;
      break;
    }
  }
  if (out != NULL && outSize >= fieldLength) {
    memcpy(out, text, fieldLength);
  }
  *length = fieldLength;
  free(text);
  return 1;
}

void ScanInfFile(const char* pFileName) {
  HINF inf = SetupOpenInfFileA(pFileName, NULL, INF_STYLE_OLDNT | INF_STYLE_WIN4, NULL);
  if (inf == INVALID_HANDLE_VALUE) {
    Trace("INVALID_HANDLE_VALUE, line: %d", 211);
    Trace("pFileName: %s", pFileName);
    return;
  }
  INFCONTEXT context;
  DWORD length = 0;
  // Only the first manufacturer, and only its undecorated models section.
  if (SetupFindFirstLineA(inf, "Manufacturer", NULL, &context) &&
      GetLineFirstField(&context, NULL, 0, &length)) {
    char* models = static_cast<char*>(malloc(length));
    // Left empty, and so passed over, should the second read not fit.
    if (models != NULL) {
      models[0] = '\0';
    }
    if (models != NULL && GetLineFirstField(&context, models, length, &length) && models[0] != '\0' &&
        SetupFindFirstLineA(inf, models, NULL, &context)) {
      ScanModels(pFileName, context);
    }
    free(models);
  }
  SetupCloseInfFile(inf);
}

int SearchInfDirectory() {
  WIN32_FIND_DATAA findData;
  memset(&findData, 0, sizeof(findData));
  char* pWinDir = static_cast<char*>(malloc(MAX_PATH));
  if (pWinDir == NULL) {
    Trace("Malloc failed, line: %d\n", 361);
    return 0;
  }
  char* pPattern = static_cast<char*>(malloc(MAX_PATH));
  if (pPattern == NULL) {
    Trace("Malloc failed, line: %d\n", 367);
    free(pWinDir);
    return 0;
  }
  char* pFileName = static_cast<char*>(malloc(MAX_PATH));
  if (pFileName == NULL) {
    Trace("Malloc failed, line: %d\n", 373);
    free(pPattern);
    free(pWinDir);
    return 0;
  }
  // Without the Windows directory there is no INF directory to search.
  const UINT length = GetWindowsDirectoryA(pWinDir, MAX_PATH);
  if (length != 0 && length + strlen("\\inf\\*.inf") < MAX_PATH) {
    wsprintfA(pPattern, "%s\\inf\\*.inf", pWinDir);
    HANDLE find = FindFirstFileA(pPattern, &findData);
    if (find == INVALID_HANDLE_VALUE) {
      Trace("Get file list failed, line: %d\n", 384);
    } else {
      do {
        memset(pFileName, 0, MAX_PATH);
        if (length + strlen("\\inf\\") + strlen(findData.cFileName) >= MAX_PATH) {
          Trace("Path too long, passed over: [%s\\inf\\%s]\n", pWinDir, findData.cFileName);
          continue;
        }
        wsprintfA(pFileName, "%s\\inf\\%s", pWinDir, findData.cFileName);
        ScanInfFile(pFileName);
      } while (FindNextFileA(find, &findData));
      FindClose(find);
    }
  }
  free(pFileName);
  free(pPattern);
  free(pWinDir);
  return 0;
}
