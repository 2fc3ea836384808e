// What the ANSI calls do not reach: paths past MAX_PATH (through the
// "\\?\" form of the wide calls), junctions, Wine's stand-in for a
// junction (a folder link made on the Unix side), and many files made at
// once on the Unix side.
#ifndef KIT_TESTS_WINE_LONG_PATHS_AND_LINKS_H
#define KIT_TESTS_WINE_LONG_PATHS_AND_LINKS_H

#include <windows.h>

#include <string>

#include "gtest/gtest.h"

namespace wine {

// `path`, an absolute ANSI path such as "C:\a\b", in the "\\?\" form of
// the wide calls.
std::wstring ExtendedPath(const std::string& path);

// Paths past MAX_PATH: `path` is an absolute ANSI path.
::testing::AssertionResult MakeLongFolder(const std::string& path);
::testing::AssertionResult WriteLongFile(const std::string& path, const std::string& content);
bool LongPathExists(const std::string& path);

// Makes the empty folder `link` a junction to the folder `target`. The
// error is the platform's answer when it cannot.
::testing::AssertionResult MakeJunction(const std::string& link, const std::string& target, DWORD* error);

// A link to a folder made on the Unix side with ln, which Wine runs like
// a Windows program: Wine lists it as a folder with
// FILE_ATTRIBUTE_REPARSE_POINT, as Windows lists a junction (which Wine 8
// cannot make). It is taken away with rm when the object goes.
class UnixFolderLink {
 public:
  UnixFolderLink() = default;
  ~UnixFolderLink();
  UnixFolderLink(const UnixFolderLink&) = delete;
  UnixFolderLink& operator=(const UnixFolderLink&) = delete;

  ::testing::AssertionResult Make(const std::string& link, const std::string& target);
  ::testing::AssertionResult Remove();

 private:
  std::string link_;
  std::string unixLink_;
};

// Makes `count` (at most 10000) files of one byte in the existing folder
// `folder`, named `prefix` with four digits from 0000 and `suffix`. Under
// Wine in one go with split on the Unix side, waiting until the last one
// is there: Wine looks every new name up against the whole folder, so that
// making thousands of files through Win32 takes minutes; once the names
// are there, files written over them through Win32 are quick. On Windows
// through Win32.
::testing::AssertionResult MakeNumberedFiles(const std::string& folder, const std::string& prefix,
                                             const std::string& suffix, int count);

}  // namespace wine

#endif
