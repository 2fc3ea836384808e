#include "tools/tracecap/name_filter.h"

#include <stddef.h>

namespace {
char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool NameIsListed(const char* list, const char* name) {
  if (list == NULL) {
    return true;
  }
  const char* entry = list;
  for (;;) {
    const char* n = name;
    const char* c = entry;
    while (*c != '\0' && *c != ',' && *n != '\0' && Folded(*c) == Folded(*n)) {
      ++c;
      ++n;
    }
    if ((*c == '\0' || *c == ',') && *n == '\0') {
      return true;
    }
    while (*c != '\0' && *c != ',') {
      ++c;
    }
    if (*c == '\0') {
      return false;
    }
    entry = c + 1;
  }
}
