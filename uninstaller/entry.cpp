#include "uninstaller/uninstaller_main.h"

int main(int argc, char* argv[]) { return UninstallerMain(argc, argv); }
