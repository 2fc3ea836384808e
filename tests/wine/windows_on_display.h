// Windows on the display (Xvfb), as a person sees them: the
// visible windows of a process with the texts of their controls, as UTF-8,
// a click on a button, and a picture of the screen.
#ifndef KIT_TESTS_WINE_WINDOWS_ON_DISPLAY_H
#define KIT_TESTS_WINE_WINDOWS_ON_DISPLAY_H

#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace wine {

struct SeenWindow {
  HWND window = NULL;
  std::string title;
  std::vector<std::string> texts;  // every control below it, in order
};

// The visible top-level windows of process `pid`.
std::vector<SeenWindow> WindowsOf(DWORD pid);

// Waits up to `milliseconds` until a visible window of process `pid` shows
// a control whose text is `text`, and gives that window.
::testing::AssertionResult WaitForText(DWORD pid, const std::string& text, DWORD milliseconds,
                                       SeenWindow* seen);

// Clicks the button with the control id `id` (IDOK is a wizard's "Next" or
// "Finish" and a message box's "OK") once it can be clicked.
::testing::AssertionResult ClickButton(HWND window, int id);

// Writes what the screen shows as a 24-bit BMP file.
::testing::AssertionResult SaveScreen(const std::string& path);

}  // namespace wine

#endif
