; What the setup program says, installing and uninstalling, in English
; and in Simplified Chinese.

; The pages: each text for installing, and with "Un" for uninstalling.
LangString Caption ${LANG_ENGLISH} "NORDAL 5120 USB Driver Setup"
LangString Caption ${LANG_SIMPCHINESE} "NORDAL 5120 USB Driver 安装"
LangString UnCaption ${LANG_ENGLISH} "NORDAL 5120 USB Driver Uninstall"
LangString UnCaption ${LANG_SIMPCHINESE} "NORDAL 5120 USB Driver 卸载"

LangString Button ${LANG_ENGLISH} "&Install"
LangString Button ${LANG_SIMPCHINESE} "安装(&I)"
LangString UnButton ${LANG_ENGLISH} "&Uninstall"
LangString UnButton ${LANG_SIMPCHINESE} "卸载(&U)"

LangString WelcomeTitle ${LANG_ENGLISH} "Welcome to NORDAL 5120 USB Driver Setup"
LangString WelcomeTitle ${LANG_SIMPCHINESE} "欢迎使用 NORDAL 5120 USB Driver 安装程序"
LangString UnWelcomeTitle ${LANG_ENGLISH} "Welcome to NORDAL 5120 USB Driver Uninstall"
LangString UnWelcomeTitle ${LANG_SIMPCHINESE} "欢迎使用 NORDAL 5120 USB Driver 卸载程序"

LangString Welcome ${LANG_ENGLISH} "Setup will install the USB driver of the NORDAL 5120 handset on this computer.$\r$\n$\r$\nClose the handset's own programs before you go on.$\r$\n$\r$\nClick Install to start the installation."
LangString Welcome ${LANG_SIMPCHINESE} "此程序将在本机上安装 NORDAL 5120 手机的 USB 驱动程序。$\r$\n$\r$\n请先关闭手机自带的程序，然后继续。$\r$\n$\r$\n点击 [安装(I)] 开始安装。"
LangString UnWelcome ${LANG_ENGLISH} "Setup will remove the USB driver of the NORDAL 5120 handset from this computer: its devices, its files and its entries.$\r$\n$\r$\nClick Uninstall to start the uninstallation."
LangString UnWelcome ${LANG_SIMPCHINESE} "此程序将从本机卸载 NORDAL 5120 手机的 USB 驱动程序及其设备、文件和注册表项。$\r$\n$\r$\n点击 [卸载(U)] 开始卸载。"

LangString RunningTitle ${LANG_ENGLISH} "Installing"
LangString RunningTitle ${LANG_SIMPCHINESE} "正在安装"
LangString UnRunningTitle ${LANG_ENGLISH} "Uninstalling"
LangString UnRunningTitle ${LANG_SIMPCHINESE} "正在卸载"
LangString Running ${LANG_ENGLISH} "Please wait while NORDAL 5120 USB Driver is being installed."
LangString Running ${LANG_SIMPCHINESE} "NORDAL 5120 USB Driver 正在安装，请稍候。"
LangString UnRunning ${LANG_ENGLISH} "Please wait while NORDAL 5120 USB Driver is being uninstalled."
LangString UnRunning ${LANG_SIMPCHINESE} "NORDAL 5120 USB Driver 正在卸载，请稍候。"

LangString DoneTitle ${LANG_ENGLISH} "Installation Complete"
LangString DoneTitle ${LANG_SIMPCHINESE} "安装完成"
LangString UnDoneTitle ${LANG_ENGLISH} "Uninstallation Complete"
LangString UnDoneTitle ${LANG_SIMPCHINESE} "卸载完成"
LangString Done ${LANG_ENGLISH} "Setup was completed successfully."
LangString Done ${LANG_SIMPCHINESE} "安装程序已成功完成安装。"
LangString UnDone ${LANG_ENGLISH} "Uninstall was completed successfully."
LangString UnDone ${LANG_SIMPCHINESE} "卸载程序已成功完成卸载。"

LangString AbortedTitle ${LANG_ENGLISH} "Installation Aborted"
LangString AbortedTitle ${LANG_SIMPCHINESE} "安装中止"
LangString UnAbortedTitle ${LANG_ENGLISH} "Uninstallation Aborted"
LangString UnAbortedTitle ${LANG_SIMPCHINESE} "卸载中止"
LangString Aborted ${LANG_ENGLISH} "Setup was not completed successfully."
LangString Aborted ${LANG_SIMPCHINESE} "安装程序未能完成安装。"
LangString UnAborted ${LANG_ENGLISH} "Uninstall was not completed successfully."
LangString UnAborted ${LANG_SIMPCHINESE} "卸载程序未能完成卸载。"

LangString FinishTitle ${LANG_ENGLISH} "Completing NORDAL 5120 USB Driver Setup"
LangString FinishTitle ${LANG_SIMPCHINESE} "NORDAL 5120 USB Driver 安装程序结束"
LangString UnFinishTitle ${LANG_ENGLISH} "Completing NORDAL 5120 USB Driver Uninstall"
LangString UnFinishTitle ${LANG_SIMPCHINESE} "NORDAL 5120 USB Driver 卸载程序结束"
LangString Finish ${LANG_ENGLISH} "NORDAL 5120 USB Driver has been installed on this computer. Plug the handset in to use it.$\r$\n$\r$\nClick Finish to close Setup."
LangString Finish ${LANG_SIMPCHINESE} "NORDAL 5120 USB Driver 已成功安装到本机。连接手机即可使用。$\r$\n$\r$\n点击 [完成(F)] 关闭安装程序。"
LangString UnFinish ${LANG_ENGLISH} "NORDAL 5120 USB Driver has been removed from this computer.$\r$\n$\r$\nClick Finish to close Setup."
LangString UnFinish ${LANG_SIMPCHINESE} "NORDAL 5120 USB Driver 已成功从本机卸载。$\r$\n$\r$\n点击 [完成(F)] 关闭卸载程序。"

LangString Quit ${LANG_ENGLISH} "Are you sure you want to quit NORDAL 5120 USB Driver Setup?"
LangString Quit ${LANG_SIMPCHINESE} "确定要退出 NORDAL 5120 USB Driver 安装程序吗？"
LangString UnQuit ${LANG_ENGLISH} "Are you sure you want to quit NORDAL 5120 USB Driver Uninstall?"
LangString UnQuit ${LANG_SIMPCHINESE} "确定要退出 NORDAL 5120 USB Driver 卸载程序吗？"

; Refusals and failures.
LangString UnsupportedWindows ${LANG_ENGLISH} "The NORDAL 5120 USB Driver is for Windows 2000, XP, Vista and 7 only. Nothing was changed on this computer."
LangString UnsupportedWindows ${LANG_SIMPCHINESE} "NORDAL 5120 USB 驱动程序只适用于 Windows 2000、XP、Vista 和 7。本机未做任何更改。"

LangString NotAdministrator ${LANG_ENGLISH} "Installing or removing the NORDAL 5120 USB Driver needs administrator rights. Log on as an administrator and try again. Nothing was changed on this computer."
LangString NotAdministrator ${LANG_SIMPCHINESE} "安装或卸载 NORDAL 5120 USB 驱动程序需要管理员权限。请以管理员身份登录后重试。本机未做任何更改。"

LangString RunFromProductFolder ${LANG_ENGLISH} "This copy of the setup program lies in the driver's own folder. Remove the driver through Add/Remove Programs, or run the setup program you downloaded. Nothing was changed on this computer."
LangString RunFromProductFolder ${LANG_SIMPCHINESE} "此安装程序副本位于驱动程序自己的文件夹中。请通过“添加或删除程序”卸载驱动程序，或运行您下载的安装程序。本机未做任何更改。"

LangString CopyFailed ${LANG_ENGLISH} "The driver's files could not be written. Run the setup program again."
LangString CopyFailed ${LANG_SIMPCHINESE} "无法写入驱动程序的文件。请重新运行安装程序。"

LangString StagingFailed ${LANG_ENGLISH} "The driver installer Quorlin.exe could not be started. Run the setup program again."
LangString StagingFailed ${LANG_SIMPCHINESE} "无法启动驱动安装程序 Quorlin.exe。请重新运行安装程序。"

LangString VeskotMissing ${LANG_ENGLISH} "The driver's uninstaller Veskot.exe is missing from its folder. Run the setup program again, then remove the driver."
LangString VeskotMissing ${LANG_SIMPCHINESE} "驱动卸载程序 Veskot.exe 已不在其文件夹中。请重新运行安装程序，然后再卸载驱动程序。"

LangString StagingRefused ${LANG_ENGLISH} "Windows did not take the driver package: $1 has no copy in the Windows INF folder. The driver was not installed, and what Setup had installed has been removed again. Run the setup program again; if this happens again, send $TEMP\${FAILED_LOG} to your support contact."
LangString StagingRefused ${LANG_SIMPCHINESE} "Windows 未接受驱动程序包：Windows INF 文件夹中没有 $1 的副本。驱动程序未安装，安装程序已装入的内容已被重新卸载。请重新运行安装程序；如果问题再次出现，请将 $TEMP\${FAILED_LOG} 发送给您的技术支持人员。"

; The progress page's lines.
LangString RemovingEarlier ${LANG_ENGLISH} "Removing the driver installed before..."
LangString RemovingEarlier ${LANG_SIMPCHINESE} "正在卸载先前安装的驱动程序..."
LangString StagingPackage ${LANG_ENGLISH} "Installing the driver package..."
LangString StagingPackage ${LANG_SIMPCHINESE} "正在安装驱动程序包..."
LangString Removing ${LANG_ENGLISH} "Removing the driver, its devices and its files..."
LangString Removing ${LANG_SIMPCHINESE} "正在卸载驱动程序及其设备和文件..."
LangString RemovingAgain ${LANG_ENGLISH} "Removing what Setup installed..."
LangString RemovingAgain ${LANG_SIMPCHINESE} "正在卸载安装程序装入的内容..."
LangString RestartRequired ${LANG_ENGLISH} "Some of the driver's files are in use: they will be deleted when the computer restarts."
LangString RestartRequired ${LANG_SIMPCHINESE} "驱动程序的部分文件正在使用中：将在计算机重新启动时删除。"

; An uninstall that leaves files in use, which go at the next restart.
LangString UnDoneRestart ${LANG_ENGLISH} "Restart the computer to complete the uninstallation."
LangString UnDoneRestart ${LANG_SIMPCHINESE} "请重新启动计算机以完成卸载。"
LangString UnFinishRestart ${LANG_ENGLISH} "NORDAL 5120 USB Driver has been removed from this computer, but some of its files are in use. They will be deleted when the computer restarts.$\r$\n$\r$\nRestart the computer to complete the uninstallation."
LangString UnFinishRestart ${LANG_SIMPCHINESE} "NORDAL 5120 USB Driver 已从本机卸载，但其部分文件正在使用中，将在计算机重新启动时删除。$\r$\n$\r$\n请重新启动计算机以完成卸载。"

LangString InstallerPackageRemovalFailed ${LANG_ENGLISH} "The NORDAL 5120 USB Driver that its Windows Installer package installed could not be removed (msiexec exit code $0). Remove it through Add/Remove Programs and run the setup program again."
LangString InstallerPackageRemovalFailed ${LANG_SIMPCHINESE} "无法卸载由 Windows Installer 安装包安装的 NORDAL 5120 USB 驱动程序（msiexec 退出代码 $0）。请通过“添加或删除程序”卸载后重新运行安装程序。"
