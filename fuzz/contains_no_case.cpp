// ContainsNoCase (common/process_helpers) against a plain model of its rule:
// `searched` contains `text` when some run of its bytes equals `text` byte
// for byte by the kit's case fold (kit_facts/letter_case.h): ASCII letters
// alike in either case, every other byte only itself; a null string or an
// empty text contains nothing.
//
// Input: one byte of flags (bit 0: `searched` is null, bit 1: `text` is
// null), then `searched`, a NUL, `text` (up to its own NUL). Each string is
// handed over in a heap block of exactly its size, so that reading past a
// terminator is an AddressSanitizer report.
#include <string>

#include "common/process_helpers.h"
#include "fuzz/fuzz_support.h"
#include "tests/kit_facts/letter_case.h"
#include "winsim/simulated_windows.h"

namespace {
int Model(const std::string* searched, const std::string* text) {
  if (searched == nullptr || text == nullptr || text->empty() || text->size() > searched->size()) {
    return 0;
  }
  for (size_t start = 0; start + text->size() <= searched->size(); ++start) {
    size_t i = 0;
    while (i < text->size() && kit::UpperAscii((*searched)[start + i]) == kit::UpperAscii((*text)[i])) {
      ++i;
    }
    if (i == text->size()) {
      return 1;
    }
  }
  return 0;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  winsim::Reset();
  const std::vector<std::string> fields = fuzz::Fields(data, size, 3);
  const std::string& searched = fields[0];
  const std::string& text = fields[1];
  const bool searchedNull = (data[0] & 1) != 0;
  const bool textNull = (data[0] & 2) != 0;
  const fuzz::Block searchedBlock(searched);
  const fuzz::Block textBlock(text);

  const int expected = Model(searchedNull ? nullptr : &searched, textNull ? nullptr : &text);
  const int got =
      ContainsNoCase(searchedNull ? nullptr : searchedBlock.get(), textNull ? nullptr : textBlock.get());
  FUZZ_CHECK(got == expected,
             "ContainsNoCase(" + (searchedNull ? std::string("NULL") : "\"" + fuzz::Shown(searched) + "\"") +
                 ", " + (textNull ? std::string("NULL") : "\"" + fuzz::Shown(text) + "\"") +
                 ") = " + std::to_string(got) + ", the model says " + std::to_string(expected));
  // The strings are only read, and nothing is traced.
  FUZZ_CHECK(std::string(searchedBlock.get()) == searched && std::string(textBlock.get()) == text,
             "ContainsNoCase changed its arguments");
  FUZZ_CHECK(winsim::machine().debugOutput.empty(), "ContainsNoCase traced something");
  return 0;
}
