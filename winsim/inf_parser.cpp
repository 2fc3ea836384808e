// The INF parser: an INF file's bytes read as SetupAPI reads them, UTF-16LE
// or single-byte text, into sections and lines, with [Strings] substituted.
#include "winsim/inf_parser.h"

#include <map>

#include "tests/kit_facts/letter_case.h"
#include "winsim/simulated_windows.h"

using winsim::InfLine;
using winsim::InfSection;

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) {
    ++begin;
  }
  while (end > begin && IsBlank(text[end - 1])) {
    --end;
  }
  return text.substr(begin, end - begin);
}

// Plain text in UTF-16LE without a byte order mark, as SetupAPI's test
// for Unicode text takes it: an even number of bytes, an ASCII character
// in every even byte and zero in every odd one.
bool LooksLikeUtf16(const std::string& bytes) {
  if (bytes.size() < 2 || bytes.size() % 2 != 0) {
    return false;
  }
  for (size_t i = 0; i < bytes.size(); i += 2) {
    const unsigned char low = static_cast<unsigned char>(bytes[i]);
    if (low == 0 || low >= 0x80 || bytes[i + 1] != '\0') {
      return false;
    }
  }
  return true;
}

// The file as single-byte text: UTF-16LE (with its byte order mark, or
// recognised without one) keeps ASCII and turns the rest into '?'.
std::string Decode(const std::string& bytes) {
  const bool marked = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
  if (marked || LooksLikeUtf16(bytes)) {
    std::string text;
    for (size_t i = marked ? 2 : 0; i + 1 < bytes.size(); i += 2) {
      const unsigned unit = static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1])
                                                                       << 8;
      text += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return text;
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    return bytes.substr(3);
  }
  return bytes;
}

// Reads one line from text[*at] up to its end of line, following trailing
// backslashes onto the next lines: key, comma-separated fields, quotes and
// comments.
InfLine ReadLine(const std::string& text, size_t* at, UINT* lineNumber) {
  InfLine line;
  std::string field;
  size_t keep = 0;     // the field's length without unquoted trailing blanks
  bool begun = false;  // the field has something in it, if only quotes
  bool quoted = false;
  size_t& i = *at;
  while (i < text.size() && text[i] != '\n') {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
      keep = field.size();
      ++i;
      continue;
    }
    if (c == ';') {
      while (i < text.size() && text[i] != '\n') {
        ++i;
      }
      break;
    }
    if (c == '\\') {
      size_t next = i + 1;
      while (next < text.size() && IsBlank(text[next])) {
        ++next;
      }
      if (next >= text.size() || text[next] == '\n') {
        i = next < text.size() ? next + 1 : next;
        ++*lineNumber;
        continue;
      }
    }
    ++i;
    if (c == '"') {
      quoted = true;
      begun = true;
      keep = field.size();
    } else if (c == ',' || (c == '=' && !line.hasKey && line.fields.empty())) {
      field.resize(keep);
      if (c == ',') {
        line.fields.push_back(field);
      } else {
        line.key = field;
        line.hasKey = true;
      }
      field.clear();
      keep = 0;
      begun = c == ',';
    } else if (IsBlank(c)) {
      if (!field.empty()) {
        field += c;
      }
    } else {
      field += c;
      keep = field.size();
      begun = true;
    }
  }
  if (begun || !field.empty()) {
    field.resize(keep);
    line.fields.push_back(field);
  }
  return line;
}

// Parses the whole file into sections; lines before the first section are
// ignored, and sections named twice are one.
DWORD Parse(const std::string& text, std::vector<InfSection>* sections, UINT* errorLine) {
  std::map<std::string, size_t, winsim::NoCaseLess> indexes;
  InfSection* current = nullptr;
  UINT lineNumber = 1;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) {
      ++i;
    }
    if (i >= text.size()) {
      break;
    }
    if (text[i] == '\n') {
      ++i;
      ++lineNumber;
    } else if (text[i] == ';') {
      i = text.find('\n', i);
      i = i == std::string::npos ? text.size() : i;
    } else if (text[i] == '[') {
      const size_t close = text.find_first_of("]\n", i + 1);
      if (close == std::string::npos || text[close] != ']') {
        *errorLine = lineNumber;
        return ERROR_GENERAL_SYNTAX;
      }
      const std::string name = Trim(text.substr(i + 1, close - i - 1));
      if (indexes.count(name) == 0) {
        indexes[name] = sections->size();
        sections->push_back({name, {}});
      }
      current = &(*sections)[indexes[name]];
      i = text.find('\n', close);
      i = i == std::string::npos ? text.size() : i;
    } else {
      InfLine line = ReadLine(text, &i, &lineNumber);
      if (current != nullptr) {
        current->lines.push_back(line);
      }
    }
  }
  return ERROR_SUCCESS;
}

// Replaces %strkey% by its [Strings] value and %% by %; unknown keys stay.
std::string Substitute(const std::string& text,
                       const std::map<std::string, std::string, winsim::NoCaseLess>& strings) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t close = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
    if (close == std::string::npos) {
      out += text[i];
      continue;
    }
    const std::string key = text.substr(i + 1, close - i - 1);
    auto value = strings.find(key);
    out += key.empty() ? "%" : (value == strings.end() ? text.substr(i, close - i + 1) : value->second);
    i = close;
  }
  return out;
}

void SubstituteStrings(std::vector<InfSection>* sections) {
  std::map<std::string, std::string, winsim::NoCaseLess> strings;
  for (const InfSection& section : *sections) {
    if (kit::SameLetters(section.name, "Strings")) {
      for (const InfLine& line : section.lines) {
        if (line.hasKey) {
          strings[line.key] = winsim::LineText(line);
        }
      }
    }
  }
  for (InfSection& section : *sections) {
    if (kit::SameLetters(section.name, "Strings")) {
      continue;
    }
    for (InfLine& line : section.lines) {
      line.key = Substitute(line.key, strings);
      for (std::string& field : line.fields) {
        field = Substitute(field, strings);
      }
    }
  }
}

bool HasSignature(const std::vector<InfSection>& sections) {
  for (const InfSection& section : sections) {
    if (!kit::SameLetters(section.name, "Version")) {
      continue;
    }
    for (const InfLine& line : section.lines) {
      if (line.hasKey && kit::SameLetters(line.key, "Signature") && !line.fields.empty()) {
        const std::string signature = kit::UpperAscii(line.fields[0]);
        if (signature == "$WINDOWS NT$" || signature == "$CHICAGO$" || signature == "$WINDOWS 95$") {
          return true;
        }
      }
    }
  }
  return false;
}

}  // namespace

namespace winsim {

DWORD ParseInf(const std::string& bytes, std::vector<InfSection>* sections, UINT* errorLine) {
  const DWORD error = Parse(Decode(bytes), sections, errorLine);
  if (error != ERROR_SUCCESS) {
    return error;
  }
  if (!HasSignature(*sections)) {
    return ERROR_WRONG_INF_STYLE;
  }
  SubstituteStrings(sections);
  return ERROR_SUCCESS;
}

std::string LineText(const InfLine& line) {
  std::string text;
  for (size_t i = 0; i < line.fields.size(); ++i) {
    text += (i == 0 ? "" : ",") + line.fields[i];
  }
  return text;
}

}  // namespace winsim
