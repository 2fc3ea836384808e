// How the Wine helpers report a Win32 call that failed: what was tried and
// the error code, as a gtest assertion result.
#ifndef KIT_TESTS_WINE_WIN32_FAILURE_H
#define KIT_TESTS_WINE_WIN32_FAILURE_H

#include <windows.h>

#include <string>

#include "gtest/gtest.h"

namespace wine {

inline ::testing::AssertionResult Win32Failure(const std::string& what, DWORD error) {
  return ::testing::AssertionFailure() << what << " failed with error " << error;
}

}  // namespace wine

#endif
