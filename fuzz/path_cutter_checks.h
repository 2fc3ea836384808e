// The checks of the two path cutters on any bytes, for the target of the
// uninstaller's paths: Transf2Path (common/path_compat) in its 260-byte
// buffer, and Transf2FileName (uninstaller/tree_deletion) on a path of any
// length. Each result must be terminated within its buffer, with nothing
// but zeros after it, and never a name cut short; nothing is traced.
#ifndef KIT_FUZZ_PATH_CUTTER_CHECKS_H
#define KIT_FUZZ_PATH_CUTTER_CHECKS_H

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/path_compat.h"
#include "fuzz/fuzz_support.h"
#include "uninstaller/tree_deletion.h"
#include "winsim/simulated_windows.h"

namespace fuzz {

// Transf2Path in a 260-byte block holding the path (cut to the 259
// characters that fit) and rubbish after its terminator.
inline void CheckTransf2Path(const std::string& bytes) {
  winsim::Reset();
  const std::string path = std::string(bytes.c_str()).substr(0, MAX_PATH - 1);
  std::vector<char> before(MAX_PATH, 'G');
  path.copy(before.data(), path.size());
  before[path.size()] = '\0';
  char* block = new char[MAX_PATH];
  std::copy(before.begin(), before.end(), block);
  const int result = Transf2Path(block);
  const size_t cut = path.rfind('\\');
  const std::string call = "Transf2Path(\"" + Shown(path) + "\")";
  if (cut == std::string::npos) {
    FUZZ_CHECK(result == 0 && std::equal(before.begin(), before.end(), block),
               call + " changed a path without backslash");
  } else {
    std::vector<char> after(MAX_PATH, '\0');
    path.copy(after.data(), cut);
    FUZZ_CHECK(result == 1 && std::equal(after.begin(), after.end(), block),
               call + " gave \"" + Shown(std::string(block, strnlen(block, MAX_PATH))) + "\", not \"" +
                   Shown(path.substr(0, cut)) + "\" and zeros");
  }
  delete[] block;
  FUZZ_CHECK(winsim::machine().debugOutput.empty(), call + " traced something");
}

// Transf2FileName into a 260-byte block of rubbish, from a path of any length.
inline void CheckTransf2FileName(const std::string& bytes) {
  winsim::Reset();
  const std::string path = bytes.c_str();
  const Block pathBlock(path);
  char* out = new char[MAX_PATH];
  memset(out, 'G', MAX_PATH);
  const int result = Transf2FileName(out, pathBlock.get());
  const size_t cut = path.rfind('\\');
  const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  const std::string call = "Transf2FileName(\"" + Shown(path) + "\")";
  const size_t length = strnlen(out, MAX_PATH);
  FUZZ_CHECK(length < MAX_PATH, call + " left its result without a terminator");
  FUZZ_CHECK(std::all_of(out + length, out + MAX_PATH, [](char c) { return c == '\0'; }),
             call + " left rubbish after its result");
  const std::string got(out, length);
  delete[] out;
  if (name.size() < MAX_PATH) {
    FUZZ_CHECK(result == 1 && got == name, call + " gave " + std::to_string(result) + ", \"" + Shown(got) +
                                               "\", not 1, \"" + Shown(name) + "\"");
  } else {
    // A name that does not fit must not come out cut: another file's name.
    FUZZ_CHECK(result == 0 && got.empty(), call + " gave " + std::to_string(result) + " and a cut name of " +
                                               std::to_string(got.size()) + " characters for one of " +
                                               std::to_string(name.size()));
  }
  FUZZ_CHECK(winsim::machine().debugOutput.empty(), call + " traced something");
}

}  // namespace fuzz

#endif
