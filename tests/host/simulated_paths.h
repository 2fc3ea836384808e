// Where the kit's names (kit_facts/names.h) stand on the simulated
// Windows: registry keys as winsim names them, hive first, and the kit's
// folders on drive C, the system drive of a fresh simulated machine.
#ifndef KIT_TESTS_HOST_SIMULATED_PATHS_H
#define KIT_TESTS_HOST_SIMULATED_PATHS_H

#include <string>

#include "tests/kit_facts/names.h"

namespace sim {

inline const std::string kProductKey = std::string("HKLM\\") + kit::kProductKey;
inline const std::string kUninstallRoot = std::string("HKLM\\") + kit::kUninstallRoot;
inline const std::string kUninstallKey = std::string("HKLM\\") + kit::kUninstallKey;
inline const std::string kLayersKey = std::string("HKCU\\") + kit::kLayersKey;
// The RUNASADMIN value's bytes as RegSetValueExA stores them.
inline const std::string kRunAsAdminData = std::string(kit::kRunAsAdmin) + '\0';

// The driver key of a device of the setup class, numbered.
inline std::string DriverKey(const char* setupClass, const std::string& number) {
  return std::string("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\") + setupClass + "\\" + number;
}

// The kit's folders on 32-bit and on 64-bit Windows, and the package's
// INF folder in each.
inline const std::string kProductDir32 =
    std::string("C:") + kit::kProgramFiles + "\\" + kit::kProductFolderName;
inline const std::string kTempDir32 = std::string("C:") + kit::kProgramFiles + "\\" + kit::kTempFolderName;
inline const std::string kProductDir64 =
    std::string("C:") + kit::kProgramFilesX86 + "\\" + kit::kProductFolderName;
inline const std::string kTempDir64 = std::string("C:") + kit::kProgramFilesX86 + "\\" + kit::kTempFolderName;
inline const std::string kPackageDir32 = kProductDir32 + kit::kInfFolder32;
inline const std::string kPackageDir64 = kProductDir64 + kit::kInfFolder64;

// The Windows INF directory of a fresh simulated machine, and a file in it.
inline const std::string kInfStore = "C:\\WINDOWS\\inf";
inline std::string InInfStore(const std::string& name) { return kInfStore + "\\" + name; }

}  // namespace sim

#endif
