// Whether Windows took the driver package: a copy of each of its INF
// files in the Windows INF folder, as the setups check after Quorlin.exe.
#ifndef KIT_KIT_ACTIONS_STAGED_COPIES_H
#define KIT_KIT_ACTIONS_STAGED_COPIES_H

// The first of the four INF files of the package's edition that Quorlin.exe
// stages on this Windows (on the system drive, the 32-bit one in
// "\Program Files\NORDAL_5120_USB_DRIVER\INF", the 64-bit one in
// "\Program Files (x86)\NORDAL_5120_USB_DRIVER\INF\64_inf") that has no
// copy with the same bytes in the Windows INF folder, whatever the copy's
// name; NULL when each has one. A file that cannot be read has none.
const char* FirstUnstagedInf();

#endif
