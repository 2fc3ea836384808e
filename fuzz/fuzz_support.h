// What the fuzz targets share: splitting an input into fields, paths that
// Windows would accept, exactly sized heap blocks, bytes shown in a report,
// and the check that turns a broken invariant into a finding libFuzzer
// keeps. The kit's facts (names, case fold, releases, messages and the
// trace channel) come from tests/kit_facts/.
#ifndef KIT_FUZZ_FUZZ_SUPPORT_H
#define KIT_FUZZ_FUZZ_SUPPORT_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace fuzz {

// Bytes as a reader sees them in a report, escaped as tracecap does:
// printable ASCII as it is but for "\\", the rest as \xHH; cut after
// `limit` bytes.
inline std::string Shown(const std::string& bytes, size_t limit = 600) {
  std::string out;
  for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\\') {
      out += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escaped[8];
      snprintf(escaped, sizeof(escaped), "\\x%02X", c);
      out += escaped;
    }
  }
  if (bytes.size() > limit) {
    out += "...(" + std::to_string(bytes.size()) + " bytes)";
  }
  return out;
}

// A broken invariant: the report, then abort(), which libFuzzer records as a
// crash with the input that caused it.
[[noreturn]] inline void Fail(const char* file, int line, const std::string& what) {
  fprintf(stderr, "\n==== FUZZ FINDING at %s:%d\n%s\n", file, line, what.c_str());
  fflush(stderr);
  abort();
}

#define FUZZ_CHECK(condition, what)             \
  do {                                          \
    if (!(condition)) {                         \
      ::fuzz::Fail(__FILE__, __LINE__, (what)); \
    }                                           \
  } while (0)

// The input after its first byte, split at every NUL into at most `count`
// fields; the last takes the rest, NULs included. Missing fields are empty.
inline std::vector<std::string> Fields(const uint8_t* data, size_t size, size_t count) {
  std::vector<std::string> fields(count);
  size_t field = 0;
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == '\0' && field + 1 < count) {
      ++field;
    } else {
      fields[field] += static_cast<char>(data[i]);
    }
  }
  return fields;
}

// Turns any bytes into a name that Windows would accept inside a path:
// control characters and the reserved \ / : * ? " < > | become '_'.
inline std::string PathName(const std::string& bytes) {
  std::string out = bytes;
  for (char& c : out) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || std::string("\\/:*?\"<>|").find(c) != std::string::npos) {
      c = '_';
    }
  }
  return out;
}

// Turns any bytes into a relative path Windows would accept: names as
// PathName makes them, one backslash between two, none at either end.
inline std::string RelativePath(const std::string& bytes) {
  std::string out;
  for (char c : bytes) {
    if (c == '\\' || c == '/') {
      if (!out.empty() && out.back() != '\\') {
        out += '\\';
      }
    } else {
      out += PathName(std::string(1, c));
    }
  }
  while (!out.empty() && out.back() == '\\') {
    out.pop_back();
  }
  return out;
}

// A heap block of exactly the string and its terminator, so that reading
// past the terminator is an AddressSanitizer report.
class Block {
 public:
  explicit Block(const std::string& text) : bytes_(new char[text.size() + 1]) {
    text.copy(bytes_, text.size());
    bytes_[text.size()] = '\0';
  }
  ~Block() { delete[] bytes_; }
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  char* get() const { return bytes_; }

 private:
  char* bytes_;
};

inline std::string Shown(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    out += "  \"" + Shown(line, 300) + "\"\n";
  }
  return out;
}

}  // namespace fuzz

#endif
