// RemoveKit.exe: how the Windows Installer package takes the kit off a
// machine. It carries a copy of Veskot.exe and runs it from a folder of
// its own, so that it works whether or not the kit's files are still
// there: when the package is uninstalled, when an install that failed is
// rolled back, and before the package installs over a kit that the setup
// program put there. Veskot removes the handset's devices, the staged INF
// files, both keys and both folders; then this program deletes what
// Veskot leaves: the precompiled copy (.pnf) that Windows keeps beside
// each INF file it staged, the compatibility-layer records of Quorlin.exe
// and of the Veskot.exe copy, and the copy itself.
//
//   RemoveKit.exe QUORLIN_PATH
//
// QUORLIN_PATH is where the kit puts Quorlin.exe: its record goes. Exit
// code 0 once Veskot has run, 1 when it could not be run or did not end
// in time (it is ended then). It runs as the package's deferred actions
// do, as SYSTEM: its copy of Veskot.exe goes into a new folder that only
// SYSTEM and the administrators can change. Veskot never shows its prompt
// here: as SYSTEM on Windows Vista and 7 it would stand in session 0, where
// no one sees it, and wait for ever.
#include <windows.h>
// clang-format off
#include <sddl.h>
// clang-format on
#include <stdlib.h>
#include <string.h>

#include "remove_action/inf_snapshot.h"

namespace {
const char kLayersKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
// The folder for the copy: SYSTEM and the administrators only, and not
// the rights the temporary folder passes on to every user.
const char kPrivateFolder[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
const int kVeskotResource = 1;
const int kFolderTries = 100;
// Veskot takes seconds, a minute on a machine with thousands of INF files;
// one that has not ended after this is not waited for.
const DWORD kVeskotTimeout = 10 * 60 * 1000;

void Say(const char* what, const char* path, DWORD error) {
  char line[MAX_PATH + 128];
  wsprintfA(line, "RemoveKit: %s [%s], error %lu\n", what, path, error);
  OutputDebugStringA(line);
}

// Makes a new folder for the copy in the temporary folder; false when
// none could be made.
bool MakePrivateFolder(char* folder) {
  char temp[MAX_PATH];
  const DWORD length = GetTempPathA(sizeof(temp), temp);
  if (length == 0 || length >= sizeof(temp) - 32) {
    Say("no temporary folder", "", GetLastError());
    return false;
  }
  SECURITY_ATTRIBUTES security = {sizeof(security), NULL, FALSE};
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kPrivateFolder, SDDL_REVISION_1,
                                                            &security.lpSecurityDescriptor, NULL)) {
    Say("cannot make the folder's security", "", GetLastError());
    return false;
  }
  bool made = false;
  // A folder that is there already may be anybody's: only a new one will do.
  const DWORD seed = GetCurrentProcessId();
  for (int i = 0; i < kFolderTries && !made; ++i) {
    wsprintfA(folder, "%sNORDAL_5120_Removal.%lu.%d", temp, seed, i);
    made = CreateDirectoryA(folder, &security) != FALSE;
  }
  LocalFree(security.lpSecurityDescriptor);
  if (!made) {
    Say("cannot make a folder in", temp, GetLastError());
  }
  return made;
}

// Writes the carried Veskot.exe to `path`.
bool WriteVeskot(const char* path) {
  HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(kVeskotResource), RT_RCDATA);
  HGLOBAL loaded = found == NULL ? NULL : LoadResource(NULL, found);
  const void* bytes = loaded == NULL ? NULL : LockResource(loaded);
  const DWORD size = found == NULL ? 0 : SizeofResource(NULL, found);
  if (bytes == NULL || size == 0) {
    Say("carries no Veskot.exe", "", GetLastError());
    return false;
  }
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    Say("cannot create", path, GetLastError());
    return false;
  }
  DWORD written = 0;
  const bool whole = WriteFile(file, bytes, size, &written, NULL) && written == size;
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!whole) {
    Say("cannot write", path, error);
    DeleteFileA(path);
  }
  return whole;
}

// Runs the copy to its end, or ends it when it takes too long.
bool RunVeskot(const char* path) {
  char commandLine[MAX_PATH + 32];
  wsprintfA(commandLine, "\"%s\"", path);
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process;
  if (!CreateProcessA(path, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
    Say("cannot start", path, GetLastError());
    return false;
  }
  CloseHandle(process.hThread);
  const bool ended = WaitForSingleObject(process.hProcess, kVeskotTimeout) == WAIT_OBJECT_0;
  if (!ended) {
    Say("did not end in time and was ended:", path, 0);
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kVeskotTimeout);
  }
  CloseHandle(process.hProcess);
  return ended;
}

// Deletes the compatibility-layer record that names `program`, which
// the program wrote for itself.
void ForgetLayer(const char* program) {
  HKEY key = NULL;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kLayersKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, program);
    RegCloseKey(key);
  }
}

int RemoveKit(const char* quorlin) {
  char folder[MAX_PATH];
  char veskot[MAX_PATH];
  if (!MakePrivateFolder(folder)) {
    return 1;
  }
  wsprintfA(veskot, "%s\\Veskot.exe", folder);
  InfSnapshot before;
  TakeInfSnapshot(&before);
  const bool ran = WriteVeskot(veskot) && RunVeskot(veskot);
  if (ran) {
    DeletePnfOfRemovedInfs(&before);
  }
  FreeInfSnapshot(&before);
  ForgetLayer(veskot);
  ForgetLayer(quorlin);
  DeleteFileA(veskot);
  RemoveDirectoryA(folder);
  return ran ? 0 : 1;
}
}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2 || strlen(argv[1]) >= MAX_PATH) {
    Say("usage: RemoveKit.exe QUORLIN_PATH", "", 0);
    return 1;
  }
  return RemoveKit(argv[1]);
}
