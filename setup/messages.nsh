; What the setup program and its uninstall program say, in English and in
; Simplified Chinese. The pages themselves speak the languages of the
; Modern UI.

LangString UnsupportedWindows ${LANG_ENGLISH} "The NORDAL 5120 USB Driver is for Windows 2000, XP, Vista and 7 only. Nothing was changed on this computer."
LangString UnsupportedWindows ${LANG_SIMPCHINESE} "NORDAL 5120 USB 驱动程序只适用于 Windows 2000、XP、Vista 和 7。本机未做任何更改。"

LangString NotAdministrator ${LANG_ENGLISH} "Installing or removing the NORDAL 5120 USB Driver needs administrator rights. Log on as an administrator and try again. Nothing was changed on this computer."
LangString NotAdministrator ${LANG_SIMPCHINESE} "安装或卸载 NORDAL 5120 USB 驱动程序需要管理员权限。请以管理员身份登录后重试。本机未做任何更改。"

LangString RemovingEarlier ${LANG_ENGLISH} "Removing the driver installed before..."
LangString RemovingEarlier ${LANG_SIMPCHINESE} "正在卸载先前安装的驱动程序..."

LangString StagingPackage ${LANG_ENGLISH} "Installing the driver package..."
LangString StagingPackage ${LANG_SIMPCHINESE} "正在安装驱动程序包..."

LangString StagingFailed ${LANG_ENGLISH} "The driver installer Quorlin.exe could not be started. Run the setup again."
LangString StagingFailed ${LANG_SIMPCHINESE} "无法启动驱动安装程序 Quorlin.exe。请重新运行安装程序。"

LangString Removing ${LANG_ENGLISH} "Removing the driver, its devices and its files..."
LangString Removing ${LANG_SIMPCHINESE} "正在卸载驱动程序及其设备和文件..."

LangString VeskotMissing ${LANG_ENGLISH} "The driver's uninstaller Veskot.exe is missing from its folder. Run the setup program again, then remove the driver."
LangString VeskotMissing ${LANG_SIMPCHINESE} "驱动卸载程序 Veskot.exe 已不在其文件夹中。请重新运行安装程序，然后再卸载驱动程序。"
