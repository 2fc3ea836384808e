// The kit's case fold: an ASCII letter is alike in either case, and every
// other byte, those of 0x80 and above included, is only itself. Both
// programs compare names and hardware ids this way, and so does Windows
// for the names of files and registry keys the tests use.
#ifndef KIT_TESTS_KIT_FACTS_LETTER_CASE_H
#define KIT_TESTS_KIT_FACTS_LETTER_CASE_H

#include <string>

namespace kit {

// The byte with an ASCII small letter made a capital.
constexpr char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The text with every ASCII small letter made a capital.
inline std::string UpperAscii(std::string text) {
  for (char& c : text) {
    c = UpperAscii(c);
  }
  return text;
}

// Whether the two texts are alike by the fold.
inline bool SameLetters(const std::string& a, const std::string& b) { return UpperAscii(a) == UpperAscii(b); }

}  // namespace kit

#endif
