// The INF parser of the simulated SetupAPI: an INF file's bytes into
// sections and lines, as SetupOpenInfFileA reads them.
#ifndef KIT_WINSIM_INF_PARSER_H
#define KIT_WINSIM_INF_PARSER_H

#include <string>
#include <vector>

#include "winsim/simulated_windows.h"

namespace winsim {

// The sections of the file's bytes (UTF-16LE with or without its byte
// order mark, or single-byte text), each named once, keys and fields with
// [Strings] substituted and quotes removed. ERROR_SUCCESS; or
// ERROR_GENERAL_SYNTAX with *errorLine at an unclosed section name; or
// ERROR_WRONG_INF_STYLE for a file without a known [Version] signature.
DWORD ParseInf(const std::string& bytes, std::vector<InfSection>* sections, UINT* errorLine);

// A line's fields joined by commas, as SetupGetLineTextA gives it.
std::string LineText(const InfLine& line);

}  // namespace winsim

#endif
