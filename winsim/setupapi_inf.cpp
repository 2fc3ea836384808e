// SetupAPI's INF calls: opening an INF file of the simulated drives
// (inf_parser.h reads it), finding sections and lines, a line's text, and
// closing it.
#include "tests/kit_facts/letter_case.h"
#include "winsim/inf_parser.h"
#include "winsim/simulated_windows.h"

using winsim::Handle;
using winsim::InfLine;
using winsim::InfSection;
using winsim::machine;

namespace {
BOOL Fail(DWORD error) {
  machine().lastError = error;
  return FALSE;
}

// The line a context names, or null with lastError set.
const InfLine* ContextLine(const INFCONTEXT* context) {
  const Handle* inf = context == nullptr ? nullptr : machine().Lookup(context->Inf, Handle::Kind::kInf);
  if (inf == nullptr) {
    machine().lastError = ERROR_INVALID_HANDLE;
    return nullptr;
  }
  if (context->Section >= inf->sections.size() ||
      context->Line >= inf->sections[context->Section].lines.size()) {
    machine().lastError = ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  return &inf->sections[context->Section].lines[context->Line];
}
}  // namespace

HINF SetupOpenInfFileA(PCSTR fileName, PCSTR infClass, DWORD style, UINT* errorLine) {
  (void)infClass;
  (void)style;
  winsim::Machine& m = machine();
  const std::string name = fileName == nullptr ? "" : fileName;
  m.infOpenCalls.push_back(name);
  if (errorLine != nullptr) {
    *errorLine = 0;
  }
  const std::string path = m.Resolve(name, false);
  auto file = m.files.find(path);
  if (file == m.files.end()) {
    m.lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  if ((file->second.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    m.lastError = ERROR_ACCESS_DENIED;
    return INVALID_HANDLE_VALUE;
  }
  for (const std::string& broken : {name, path}) {
    if (m.brokenInfs.count(broken) != 0) {
      m.lastError = m.brokenInfs[broken];
      return INVALID_HANDLE_VALUE;
    }
  }
  Handle inf;
  inf.kind = Handle::Kind::kInf;
  inf.path = name;
  UINT line = 0;
  const DWORD error = winsim::ParseInf(file->second.content, &inf.sections, &line);
  if (error != ERROR_SUCCESS) {
    if (errorLine != nullptr) {
      *errorLine = line;
    }
    m.lastError = error;
    return INVALID_HANDLE_VALUE;
  }
  m.infsOpened.push_back(name);
  return m.Open(inf);
}

BOOL SetupFindFirstLineA(HINF inf, PCSTR section, PCSTR key, PINFCONTEXT context) {
  const Handle* handle = machine().Lookup(inf, Handle::Kind::kInf);
  if (handle == nullptr) {
    return Fail(ERROR_INVALID_HANDLE);
  }
  if (section == nullptr || context == nullptr) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  for (size_t s = 0; s < handle->sections.size(); ++s) {
    const InfSection& found = handle->sections[s];
    if (!kit::SameLetters(found.name, section)) {
      continue;
    }
    for (size_t l = 0; l < found.lines.size(); ++l) {
      if (key == nullptr || (found.lines[l].hasKey && kit::SameLetters(found.lines[l].key, key))) {
        context->Inf = inf;
        context->CurrentInf = inf;
        context->Section = static_cast<UINT>(s);
        context->Line = static_cast<UINT>(l);
        return TRUE;
      }
    }
    return Fail(ERROR_LINE_NOT_FOUND);
  }
  return Fail(ERROR_SECTION_NOT_FOUND);
}

BOOL SetupFindNextLine(PINFCONTEXT contextIn, PINFCONTEXT contextOut) {
  if (ContextLine(contextIn) == nullptr || contextOut == nullptr) {
    return FALSE;
  }
  const Handle* handle = machine().Lookup(contextIn->Inf, Handle::Kind::kInf);
  if (contextIn->Line + 1 >= handle->sections[contextIn->Section].lines.size()) {
    return Fail(ERROR_LINE_NOT_FOUND);
  }
  const INFCONTEXT next = *contextIn;
  *contextOut = next;
  ++contextOut->Line;
  return TRUE;
}

BOOL SetupGetLineTextA(PINFCONTEXT context, HINF inf, PCSTR section, PCSTR key, PSTR buffer, DWORD size,
                       PDWORD required) {
  INFCONTEXT found;
  if (context == nullptr) {
    if (!SetupFindFirstLineA(inf, section, key, &found)) {
      return FALSE;
    }
    context = &found;
  }
  const InfLine* line = ContextLine(context);
  if (line == nullptr) {
    return FALSE;
  }
  const std::string text = winsim::LineText(*line);
  const DWORD needed = static_cast<DWORD>(text.size() + 1);
  if (required != nullptr) {
    *required = needed;
  }
  if (buffer == nullptr) {
    return TRUE;
  }
  if (size < needed) {
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  memcpy(buffer, text.c_str(), needed);
  return TRUE;
}

void SetupCloseInfFile(HINF inf) {
  winsim::Machine& m = machine();
  const Handle* handle = m.Lookup(inf, Handle::Kind::kInf);
  if (handle != nullptr) {
    m.infsClosed.push_back(handle->path);
    m.handles.erase(reinterpret_cast<uintptr_t>(inf));
  }
}
