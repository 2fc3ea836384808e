// The Windows releases the kit knows, as the tests state them: for each,
// Wine's name of it, its version, and what the programs make of it on
// 32-bit Windows and on 64-bit Windows (where IsWow64Process answers yes):
// Quorlin's classification line and the package edition it stages,
// Veskot's OS code and classification line, and whether Veskot takes its
// 64-bit branch. Windows 8 stands outside the table: neither program
// knows it.
#ifndef KIT_TESTS_KIT_FACTS_WINDOWS_RELEASES_H
#define KIT_TESTS_KIT_FACTS_WINDOWS_RELEASES_H

namespace kit {

// The package's INF folder Quorlin stages from: none, kInfFolder32 under
// Program Files, or kInfFolder64 under Program Files (x86).
enum class PackageEdition { kNone, k32Bit, k64Bit };

// The OS code of a release Veskot does not know: it leaves the code as it was.
inline constexpr int kNoOsCode = -1;

// What the programs make of a release on one bitness.
struct Classification {
  const char* quorlinLine;  // nullptr: none
  PackageEdition edition;
  int veskotCode;
  const char* veskotLine;  // nullptr: none
  // Veskot traces the 64-bit uninstaller beside its own.
  bool veskot64BitBranch;
};

struct WindowsRelease {
  const char* name;
  const char* wineVersion;  // a prefix's "Version" setting for it
  unsigned major;
  unsigned minor;
  // Whether the programs ask IsWow64Process while classifying it; where
  // they do not, they make of 64-bit Windows what they make of 32-bit.
  bool asksWow64;
  Classification on32;
  Classification on64;

  const Classification& On(bool sixtyFourBit) const { return sixtyFourBit ? on64 : on32; }
};

inline constexpr Classification kAs2000 = {"Setup device for Windows 2K\n", PackageEdition::k32Bit, 0,
                                           "Curretn system is Windows 2K\n", false};
inline constexpr Classification kAsXp32 = {"Setup device for Windows XP 32 Bit \n", PackageEdition::k32Bit, 1,
                                           "Curretn system is Windows XP32 Bit \n", false};
inline constexpr Classification kAsXp64 = {"Setup device for Windows XP 64 Bit\n", PackageEdition::k64Bit, 2,
                                           "Curretn system is Windows XP 64\n", true};
inline constexpr Classification kAsVista32 = {"Setup device for Windows Vista32\n", PackageEdition::k32Bit, 3,
                                              "Curretn system is Windows Vista32\n", false};
inline constexpr Classification kAsVista64 = {"Setup device for Windows Vista64\n", PackageEdition::k64Bit, 4,
                                              "Curretn system is Windows Vista64\n", true};
inline constexpr Classification kAs7_32 = {"Setup device for Wind7 32BIT\n", PackageEdition::k32Bit, 5,
                                           "Curretn system is Windows Win7 32\n", false};
inline constexpr Classification kAs7_64 = {"Setup device for Wind7 64BIT\n", PackageEdition::k64Bit, 6,
                                           "Curretn system is Windows Win7 64\n", true};
inline constexpr Classification kNotClassified = {nullptr, PackageEdition::kNone, kNoOsCode, nullptr, false};

inline constexpr WindowsRelease kWindows2000 = {"Windows 2000", "win2k", 5, 0, false, kAs2000, kAs2000};
inline constexpr WindowsRelease kWindowsXp = {"Windows XP", "winxp", 5, 1, true, kAsXp32, kAsXp64};
// Windows XP x64 and Server 2003 are 5.2, classed with XP.
inline constexpr WindowsRelease kWindowsXp64 = {"Windows XP x64", "winxp64", 5, 2, true, kAsXp32, kAsXp64};
inline constexpr WindowsRelease kWindowsVista = {"Windows Vista", "vista",   6, 0, true,
                                                 kAsVista32,      kAsVista64};
inline constexpr WindowsRelease kWindows7 = {"Windows 7", "win7", 6, 1, true, kAs7_32, kAs7_64};

// The releases both programs know, in the order they test them.
inline constexpr WindowsRelease kWindowsReleases[] = {kWindows2000, kWindowsXp, kWindowsXp64, kWindowsVista,
                                                      kWindows7};

// Outside the table: no line, nothing staged, the OS code left alone.
inline constexpr WindowsRelease kWindows8 = {"Windows 8",    "win8",        6, 2, false,
                                             kNotClassified, kNotClassified};

}  // namespace kit

#endif
