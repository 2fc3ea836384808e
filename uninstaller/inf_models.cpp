#include "uninstaller/inf_models.h"

#include "common/process_helpers.h"

namespace {
const char* const kHandsetIds[] = {"VID_3A8D&PID_6C31", "VID_3A8D&PID_6C32"};

bool SectionNamesHandset(HINF inf, const char* section) {
  INFCONTEXT context;
  if (!SetupFindFirstLineA(inf, section, NULL, &context)) {
    return false;
  }
  do {
    char* text = ReadLineText(&context);
    const bool names = text != NULL && NamesHandset(text);
    free(text);
    if (names) {
      return true;
    }
  } while (SetupFindNextLine(&context, &context));
  return false;
}

// Ends `field` at its first comma; the next field, or NULL after the last.
char* NextField(char* field) {
  for (char* c = field; *c != '\0'; ++c) {
    if (*c == ',') {
      *c = '\0';
      return c + 1;
    }
  }
  return NULL;
}

// A manufacturer line's value: the models section's name, then the target
// decorations, each naming the section "models.decoration".
bool ManufacturerNamesHandset(HINF inf, char* fields) {
  char* decoration = NextField(fields);
  if (fields[0] == '\0') {
    return false;
  }
  if (SectionNamesHandset(inf, fields)) {
    return true;
  }
  const size_t modelsLength = strlen(fields);
  while (decoration != NULL) {
    char* next = NextField(decoration);
    char* section = static_cast<char*>(malloc(modelsLength + 1 + strlen(decoration) + 1));
    bool names = false;
    if (section != NULL) {
      wsprintfA(section, "%s.%s", fields, decoration);
      names = SectionNamesHandset(inf, section);
      free(section);
    }
    if (names) {
      return true;
    }
    decoration = next;
  }
  return false;
}
}  // namespace

bool NamesHandset(const char* text) {
  for (const char* id : kHandsetIds) {
    if (ContainsNoCase(text, id)) {
      return true;
    }
  }
  return false;
}

char* ReadLineText(PINFCONTEXT context) {
  DWORD size = 0;
  if (!SetupGetLineTextA(context, NULL, NULL, NULL, NULL, 0, &size) || size == 0) {
    return NULL;
  }
  char* text = static_cast<char*>(malloc(size));
  if (text == NULL) {
    return NULL;
  }
  if (!SetupGetLineTextA(context, NULL, NULL, NULL, text, size, NULL)) {
    free(text);
    return NULL;
  }
  text[size - 1] = '\0';
  return text;
}

bool InfNamesHandset(const char* path) {
  HINF inf = SetupOpenInfFileA(path, NULL, INF_STYLE_OLDNT | INF_STYLE_WIN4, NULL);
  if (inf == INVALID_HANDLE_VALUE) {
    return false;
  }
  bool names = false;
  INFCONTEXT manufacturer;
  if (SetupFindFirstLineA(inf, "Manufacturer", NULL, &manufacturer)) {
    do {
      char* fields = ReadLineText(&manufacturer);
      names = fields != NULL && ManufacturerNamesHandset(inf, fields);
      free(fields);
    } while (!names && SetupFindNextLine(&manufacturer, &manufacturer));
  }
  SetupCloseInfFile(inf);
  return names;
}
