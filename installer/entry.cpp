#include "installer/installer_main.h"

int main(int argc, char* argv[]) { return InstallerMain(argc, argv); }
