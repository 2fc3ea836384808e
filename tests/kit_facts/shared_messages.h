// The messages both programs send alike: those of the compatibility-layer
// record, which they share, and the Windows version line, which each
// writes the same way. A number for %x as wsprintf writes it. Each
// program's header makes these its own (quorlin::OsVersion is
// kit::OsVersion); the shared messages that carry a line number are in
// each program's header with its line.
#ifndef KIT_TESTS_KIT_FACTS_SHARED_MESSAGES_H
#define KIT_TESTS_KIT_FACTS_SHARED_MESSAGES_H

#include <stddef.h>

#include <string>

namespace kit {

// `value` in small hexadecimal digits, padded with spaces to `width`.
inline std::string Hex(unsigned int value, size_t width = 0) {
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789abcdef"[value % 16]);
    value /= 16;
  } while (value != 0);
  return digits.size() < width ? std::string(width - digits.size(), ' ') + digits : digits;
}

inline std::string OsVersion(unsigned int major, unsigned int minor) {
  return "OS  version:MajorVersion= " + std::to_string(major) + ",MinorVersion= " + std::to_string(minor) +
         "\n";
}

// The compatibility-layer key could not be created: the last error, then
// RegCreateKey's answer and the handle it left.
inline std::string OpenLayersFailed(unsigned int lastError) {
  return "Open registry for set feature failed, error code 0x:" + Hex(lastError);
}
inline std::string LayersKeyAnswer(int status, unsigned int handle) {
  return "dwErrorCode: [" + std::to_string(status) + "], hVistaRight: [" + Hex(handle) + "]";
}

// The program's RUNASADMIN value could not be written.
inline std::string SetLayerFailed(unsigned int lastError) {
  return "Set registry value failed, error code 0x:" + Hex(lastError);
}

}  // namespace kit

#endif
