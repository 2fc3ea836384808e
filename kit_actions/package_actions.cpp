// KitActions.dll: what both setups do in the same way, at the points
// where each calls in. The Windows Installer package calls CheckStaging
// after Quorlin.exe, as a deferred action, and ShowRemovalMessage from its
// user interface once a person has removed the kit; the setup program
// calls UnstagedInf after Quorlin.exe, and LeftForRestart on each of the
// kit's folders after Veskot.exe.
#include <windows.h>
// msiquery.h needs windows.h first.
#include <msiquery.h>

#include "common/completion_prompt.h"
#include "kit_actions/leftovers.h"
#include "kit_actions/staged_copies.h"

namespace {
// Says `text` to Windows Installer: into its log, and, for an error, in a
// message box too when a person is there.
void Say(MSIHANDLE install, INSTALLMESSAGE kind, const char* text) {
  MSIHANDLE record = MsiCreateRecord(1);
  if (record == 0) {
    return;
  }
  MsiRecordSetStringA(record, 0, text);
  MsiProcessMessage(install, kind, record);
  MsiCloseHandle(record);
}
}  // namespace

// The name of the first INF file of the package that has no copy in the
// Windows INF folder, or NULL when Windows took the whole package.
extern "C" __declspec(dllexport) const char* __stdcall UnstagedInf() { return FirstUnstagedInf(); }

// 1 when something of the folder `folder` could not be deleted and waits
// for the next restart (RemoveLeftovers), 0 when it is gone.
extern "C" __declspec(dllexport) int __stdcall LeftForRestart(const char* folder) {
  return RemoveLeftovers(folder) ? 1 : 0;
}

// Fails the installation, which Windows Installer then rolls back, when
// Windows did not take the whole package.
extern "C" __declspec(dllexport) UINT __stdcall CheckStaging(MSIHANDLE install) {
  const char* missing = FirstUnstagedInf();
  if (missing == NULL) {
    Say(install, INSTALLMESSAGE_INFO,
        "CheckStaging: the four INF files of the driver package are in the Windows INF folder");
    return ERROR_SUCCESS;
  }
  char text[256];
  wsprintfA(
      text,
      "Windows did not take the driver package: %s has no copy in the Windows INF folder. The installation "
      "is undone; nothing was changed on this computer.",
      missing);
  Say(install, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), text);
  return ERROR_INSTALL_FAILURE;
}

// Tells the person who removed the kit, in their own session, that the
// driver is gone: the words and language of Veskot's prompt.
extern "C" __declspec(dllexport) UINT __stdcall ShowRemovalMessage(MSIHANDLE) {
  const bool chinese = GetSystemDefaultUILanguage() == kLanguageChinesePrc;
  MessageBoxA(NULL, chinese ? kPromptTextChinese : kPromptText,
              chinese ? kPromptCaptionChinese : kPromptCaption, MB_OK | MB_SETFOREGROUND);
  return ERROR_SUCCESS;
}

// The library's entry point, in place of the compiler's start-up for a
// library: it keeps no state and needs no set-up.
extern "C" BOOL WINAPI KitActionsEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }
