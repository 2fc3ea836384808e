// The uninstaller's classification of the running Windows.
#ifndef KIT_UNINSTALLER_SYS_INFO_H
#define KIT_UNINSTALLER_SYS_INFO_H

// OS codes: 0 Windows 2000; 1 and 2 XP, 3 and 4 Vista, 5 and 6 Windows 7,
// the even ones being the 64-bit editions.
const int kOsWindows2000 = 0;
const int kOsXp64 = 2;
const int kOsVista64 = 4;
const int kOsWin7_64 = 6;

// Classifies Windows into *osCode and traces the result. A release that
// is none of the above leaves *osCode as it was. 0 when the version cannot
// be read (*osCode is then 0), else 1.
int PkgGetSysInfo(int* osCode);

#endif
