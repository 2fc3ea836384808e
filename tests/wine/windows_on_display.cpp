#include "tests/wine/windows_on_display.h"

namespace wine {

namespace {
std::string Utf8TextOf(HWND window) {
  wchar_t text[2048];
  const int length = GetWindowTextW(window, text, sizeof(text) / sizeof(text[0]));
  if (length <= 0) {
    return std::string();
  }
  char utf8[8192];
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, sizeof(utf8), NULL, NULL);
  return std::string(utf8, size > 0 ? size : 0);
}

BOOL CALLBACK CollectText(HWND control, LPARAM parameter) {
  SeenWindow* seen = reinterpret_cast<SeenWindow*>(parameter);
  if (IsWindowVisible(control)) {
    seen->texts.push_back(Utf8TextOf(control));
  }
  return TRUE;
}

struct Search {
  DWORD pid;
  std::vector<SeenWindow>* found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
  Search* search = reinterpret_cast<Search*>(parameter);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->pid && IsWindowVisible(window)) {
    SeenWindow seen;
    seen.window = window;
    seen.title = Utf8TextOf(window);
    EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&seen));
    search->found->push_back(seen);
  }
  return TRUE;
}
}  // namespace

std::vector<SeenWindow> WindowsOf(DWORD pid) {
  std::vector<SeenWindow> found;
  Search search = {pid, &found};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return found;
}

::testing::AssertionResult WaitForText(DWORD pid, const std::string& text, DWORD milliseconds,
                                       SeenWindow* seen) {
  const DWORD start = GetTickCount();
  std::vector<SeenWindow> windows;
  do {
    windows = WindowsOf(pid);
    for (const SeenWindow& window : windows) {
      for (const std::string& shown : window.texts) {
        if (shown == text) {
          *seen = window;
          return ::testing::AssertionSuccess();
        }
      }
    }
    Sleep(100);
  } while (GetTickCount() - start < milliseconds);
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << "process " << pid << " showed no \"" << text << "\"; its windows:";
  for (const SeenWindow& window : windows) {
    failure << "\n  [" << window.title << "]";
    for (const std::string& shown : window.texts) {
      failure << " [" << shown << "]";
    }
  }
  return failure;
}

::testing::AssertionResult ClickButton(HWND window, int id) {
  HWND button = GetDlgItem(window, id);
  const DWORD start = GetTickCount();
  while (button != NULL && !IsWindowEnabled(button) && GetTickCount() - start < 30000) {
    Sleep(100);
  }
  if (button == NULL || !IsWindowEnabled(button)) {
    return ::testing::AssertionFailure() << "no button " << id << " to click";
  }
  PostMessageA(button, BM_CLICK, 0, 0);
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult SaveScreen(const std::string& path) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(NULL);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info;
  ZeroMemory(&info, sizeof(info));
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = NULL;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const BOOL copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD rowSize = (width * 3 + 3) & ~3;
  const DWORD imageSize = rowSize * height;
  BITMAPFILEHEADER header;
  ZeroMemory(&header, sizeof(header));
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(header) + sizeof(info.bmiHeader);
  header.bfSize = header.bfOffBits + imageSize;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  DWORD written = 0;
  const BOOL saved = file != INVALID_HANDLE_VALUE && copied && bits != NULL &&
                     WriteFile(file, &header, sizeof(header), &written, NULL) &&
                     WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &written, NULL) &&
                     WriteFile(file, bits, imageSize, &written, NULL);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(NULL, screen);
  if (!saved) {
    return ::testing::AssertionFailure() << "cannot save the screen to " << path;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace wine
