// Removal of the handset's device instances and of the INF files Windows
// installed them from.
#ifndef KIT_UNINSTALLER_DEVICE_REMOVAL_H
#define KIT_UNINSTALLER_DEVICE_REMOVAL_H

#include "common/win32.h"

// How many INF files PkgQuickDel deleted in this run.
extern DWORD nDeletedInf;

// Walks every device instance of every class, attached or not, and for
// each one whose hardware ids name the handset deletes its INF file and
// removes it through the class installer. 1 when the set of instances
// cannot be built or the walk ended with a last error, else 0.
int RemoveHandsetDevices();

// Deletes the INF file named by the instance's driver key ("InfPath") from
// the Windows INF directory, except Windows' own usb.inf and usbstor.inf
// (in any case) and any INF file there whose models do not name the
// handset. Nonzero only when a file was deleted.
int PkgQuickDel(HDEVINFO set, SP_DEVINFO_DATA data);

#endif
