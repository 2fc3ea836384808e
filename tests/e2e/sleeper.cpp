// Stand-in for the handset's "autorun" program: a silent program that only
// waits a minute and then ends with exit code 7. Any other exit code, 0 in
// particular, means that someone ended it.
#include <windows.h>

int main() {
  Sleep(60 * 1000);
  return 7;
}
