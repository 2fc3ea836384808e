// The programs' entry point, in place of the compiler's general start-up:
// the C runtime of the system splits the command line, main() runs, and
// its result becomes the exit code through exit(), which also runs what
// the runtime has registered. The programs need nothing more from a
// start-up (one thread, no floating point, no thread-local data), and
// so import no more than Windows 2000 has.
#include <stdlib.h>
#include <windows.h>

extern "C" {
// What __getmainargs reads from its caller: the new-handler mode.
struct RuntimeStartupInfo {
  // cppcheck-suppress unusedStructMember ; read by the C runtime
  int newMode;
};
// The C runtime's own name for it, reserved identifier and all.
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
int __cdecl __getmainargs(int* argc, char*** argv, char*** envp, int expandWildcards,
                          RuntimeStartupInfo* info);
}

int main(int argc, char* argv[]);

// The compiler's start of main() registers the destructors of static
// objects with atexit, which the general start-up would provide; the
// system's C runtime takes them through _onexit and runs them in exit().
extern "C" int __cdecl atexit(void(__cdecl* function)()) {
  return _onexit(reinterpret_cast<_onexit_t>(function)) == NULL ? -1 : 0;
}

// Windows calls the entry point with the stack aligned to 4 bytes only.
extern "C" __attribute__((force_align_arg_pointer)) void __cdecl KitStartup() {
  int argc = 0;
  char** argv = NULL;
  char** envp = NULL;
  RuntimeStartupInfo info = {0};
  if (__getmainargs(&argc, &argv, &envp, 0, &info) < 0) {
    ExitProcess(255);
  }
  exit(main(argc, argv));
}
