// The installer's whole run.
#ifndef KIT_INSTALLER_INSTALLER_MAIN_H
#define KIT_INSTALLER_INSTALLER_MAIN_H

// Stages the handset's INF files from the package folder on the system
// drive into the Windows INF store. Always returns 1, the exit code.
int InstallerMain(int argc, char* argv[]);

#endif
