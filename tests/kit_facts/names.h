// The kit's names as the tests state them, apart from the product's own
// constants: registry keys and value names, folders, program and package
// files, the handset's ids, the product's name and version, the prompt
// and the setup classes of the handset's interfaces. Plain constants, no
// C++ library, so that every kind of test program can include them.
#ifndef KIT_TESTS_KIT_FACTS_NAMES_H
#define KIT_TESTS_KIT_FACTS_NAMES_H

namespace kit {

// Registry, under HKEY_LOCAL_MACHINE: the product key, which holds the
// stored version, and its entry among the installed programs.
inline constexpr char kProductKey[] = "SOFTWARE\\Orvane_M4730_Driver";
inline constexpr char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane_M4730_Driver";
// Under HKEY_CURRENT_USER: the compatibility layers, one value per program
// file, named by its full path.
inline constexpr char kLayersKey[] =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
inline constexpr char kRunAsAdmin[] = "RUNASADMIN";
// Value names.
inline constexpr char kVersionValue[] = "version";
inline constexpr char kDisplayNameValue[] = "DisplayName";
inline constexpr char kDisplayVersionValue[] = "DisplayVersion";
inline constexpr char kInfPathValue[] = "InfPath";  // in a device's driver key

// Folders, after the system drive's "X:".
inline constexpr char kProgramFiles[] = "\\Program Files";
inline constexpr char kProgramFilesX86[] = "\\Program Files (x86)";
// Inside Program Files (or Program Files (x86) on 64-bit Windows).
inline constexpr char kProductFolderName[] = "NORDAL_5120_USB_DRIVER";
inline constexpr char kTempFolderName[] = "Orvane_M4730_Temp";
// Inside the product folder: the package's INF files for 32-bit Windows,
// and for 64-bit Windows.
inline constexpr char kInfFolder32[] = "\\INF";
inline constexpr char kInfFolder64[] = "\\INF\\64_inf";
// The 64-bit edition's folder inside the 32-bit one, in the package as
// it is built too.
inline constexpr char kInfEdition64[] = "64_inf";

// Program files.
inline constexpr char kQuorlinExe[] = "Quorlin.exe";
inline constexpr char kVeskotExe[] = "Veskot.exe";
// The 64-bit uninstaller whose path Veskot traces beside its own.
inline constexpr char kVeskot64Exe[] = "Veskot64.exe";
inline constexpr char kTracecapExe[] = "tracecap.exe";
inline constexpr char kSetupExe[] = "NORDAL_5120_USB_Driver_Setup.exe";
inline constexpr char kPackageMsi[] = "NORDAL_5120_USB_Driver.msi";
// The setup's uninstaller in the product folder, and the copy of it that
// runs from the user's temporary folder.
inline constexpr char kSetupUninstallExe[] = "uninstall.exe";
inline constexpr char kSetupUninstallCopyExe[] = "NORDAL_5120_Remove.exe";

// The package's INF files, in the order Quorlin stages them.
inline constexpr const char* kPackageInfs[] = {"android_usb.inf", "qcmdm.inf", "qcser.inf", "qcnet.inf"};

// The handset's two hardware ids: the phone and its bootloader. The INF
// search looks for the first only.
inline constexpr const char* kHandsetIds[] = {"VID_3A8D&PID_6C31", "VID_3A8D&PID_6C32"};
inline constexpr char kHandsetId[] = "VID_3A8D&PID_6C31";
inline constexpr char kBootloaderId[] = "VID_3A8D&PID_6C32";
// Each interface as the package's models name it, with its INF file.
inline constexpr char kModemInterface[] = "USB\\VID_3A8D&PID_6C31&MI_00";   // qcmdm.inf
inline constexpr char kAdbInterface[] = "USB\\VID_3A8D&PID_6C31&MI_01";     // android_usb.inf
inline constexpr char kSerialInterface[] = "USB\\VID_3A8D&PID_6C31&MI_02";  // qcser.inf
inline constexpr char kNetInterface[] = "USB\\VID_3A8D&PID_6C31&MI_03";     // qcnet.inf
inline constexpr char kBootloaderInterface[] = "USB\\VID_3A8D&PID_6C32";    // android_usb.inf

// The product.
inline constexpr char kMaker[] = "Orvane";
inline constexpr char kProductName[] = "NORDAL 5120 USB Driver";
inline constexpr char kProductVersion[] = "1.7.0";
inline constexpr char kFileVersion[] = "1.7.0.0";
// The "version" value the setups write under the product key.
inline constexpr char kStoredVersion[] = "V1.7.0";

// Veskot's prompt at the end of an uninstall asked for with "showmessage":
// Chinese (code page 936) on a Chinese (PRC) system, English elsewhere.
inline constexpr unsigned short kLanguageChinesePrc = 0x0804;
inline constexpr char kPromptText[] = "Uninstalling of  the driver is successful !";
inline constexpr char kPromptCaption[] = "Uninstall prompt";
// "手机驱动卸载成功!" and "卸载提示".
inline constexpr char kPromptTextChinese[] =
    "\xCA\xD6\xBB\xFA\xC7\xFD\xB6\xAF\xD0\xB6\xD4\xD8\xB3\xC9\xB9\xA6"
    "!";
inline constexpr char kPromptCaptionChinese[] = "\xD0\xB6\xD4\xD8\xCC\xE1\xCA\xBE";

// Setup classes: the composite device's, and those of the handset's
// interfaces (the ADB and bootloader interfaces have the package's own).
inline constexpr char kUsbClass[] = "{36FC9E60-C465-11CF-8056-444553540000}";
inline constexpr char kModemClass[] = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";
inline constexpr char kPortsClass[] = "{4D36E978-E325-11CE-BFC1-08002BE10318}";
inline constexpr char kNetClass[] = "{4D36E972-E325-11CE-BFC1-08002BE10318}";
inline constexpr char kAndroidClass[] = "{9B4E2A17-6C3D-4F58-A1E0-3D7C5B82F461}";

}  // namespace kit

#endif
