// Ends the handset's "autorun" program before the driver package is staged.
#ifndef KIT_INSTALLER_CLOSE_AUTORUN_H
#define KIT_INSTALLER_CLOSE_AUTORUN_H

// Tells the first running process whose executable name contains "autorun"
// to end with exit code 0. 1 when none runs or it was told to end, 0 when
// it could not be opened.
int CloseAutorun();

#endif
