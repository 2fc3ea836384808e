; The NORDAL 5120 USB driver kit's setup program: one file that puts the
; kit where Quorlin.exe and Veskot.exe look for it, stages the driver
; package with Quorlin.exe, and leaves again through Add/Remove Programs.
;
;   makensis -DPROGRAMS_DIR=... -DPACKAGE_DIR=... -DOUTFILE=... -DVERSION=X.Y.Z
;            -DUPGRADE_CODE={...} kit_setup.nsi
;
; PROGRAMS_DIR holds Quorlin.exe and Veskot.exe, PACKAGE_DIR the driver
; package, checked by check_package.py: its 32-bit edition at the top, its
; 64-bit edition in 64_inf. UPGRADE_CODE is the Windows Installer
; package's, by which a kit that package installed is found.
; With SIGN_COMMAND (a command taking the file as %1), the setup program
; is signed as it is written.
;
; The setup program is its own uninstall program: installed as
; uninstall.exe in the product folder, it uninstalls when started with
; /uninstall. So the uninstall program carries the setup program's
; signature, and the kit ships one program of NSIS, not two.
;
; Exit codes: 0 done, 1 cancelled, 2 failed (Windows did not take the
; driver package, for one: what was installed is taken away again); 3 on
; a Windows release the kit is not for, 4 without administrator rights;
; 3010 when an uninstall leaves files in use, which go at the next restart.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
; Files get the time they are installed at, and the setup program does
; not depend on when the build ran.
SetDateSave off
CRCCheck on
ShowInstDetails show

!include LogicLib.nsh
!include FileFunc.nsh
!include MUI2.nsh

!define PRODUCT "NORDAL 5120 USB Driver"
!define PUBLISHER "Orvane"
!define PRODUCT_KEY "SOFTWARE\Orvane_M4730_Driver"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Orvane_M4730_Driver"
!define LAYERS_KEY "Software\Microsoft\Windows NT\CurrentVersion\AppCompatFlags\Layers"
!define PRODUCT_FOLDER "NORDAL_5120_USB_DRIVER"
!define TEMP_FOLDER "Orvane_M4730_Temp"
!define UNINSTALLER "uninstall.exe"
; Where the uninstall commands run the uninstall program from: outside the
; product folder, so that the folder goes whole. Its name holds the name
; of no file of the kit's.
!define UNINSTALL_COPY "%TEMP%\NORDAL_5120_Remove.exe"

!define EXIT_FAILED 2
!define EXIT_UNSUPPORTED_WINDOWS 3
!define EXIT_NOT_ADMIN 4
!define EXIT_RESTART_REQUIRED 3010
; The log of a setup that failed, in the user's temporary folder.
!define FAILED_LOG "NORDAL_5120_USB_Driver_Setup.log"

!ifdef SIGN_COMMAND
  !finalize '${SIGN_COMMAND}'
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PUBLISHER} ${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}.0"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

Var Uninstalling   ; 1 when started with /uninstall
Var Drive          ; the system drive's letter and colon
Var ProgramsName   ; "Program Files", or "Program Files (x86)" on 64-bit Windows
Var TempDir        ; the product's temporary folder
Var Is64           ; 1 on 64-bit Windows
Var Log            ; the setup's log file, while it is open

; What the pages say, for installing or for uninstalling.
Var TextCaption
Var TextButton
Var TextWelcomeTitle
Var TextWelcome
Var TextRunningTitle
Var TextRunning
Var TextDoneTitle
Var TextDone
Var TextAbortedTitle
Var TextAborted
Var TextFinishTitle
Var TextFinish
Var TextQuit

Caption "$TextCaption"
InstallButtonText "$TextButton"

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\classic-install.ico"
; No uninstall program of NSIS's own is made, but its icon is carried:
; the small one.
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\classic-uninstall.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "wizard.bmp"
!define MUI_ABORTWARNING
!define MUI_ABORTWARNING_TEXT "$TextQuit"
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_WELCOMEPAGE_TITLE "$TextWelcomeTitle"
!define MUI_WELCOMEPAGE_TEXT "$TextWelcome"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_HEADER_TEXT "$TextRunningTitle"
!define MUI_PAGE_HEADER_SUBTEXT "$TextRunning"
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "$TextDoneTitle"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "$TextDone"
!define MUI_INSTFILESPAGE_ABORTHEADER_TEXT "$TextAbortedTitle"
!define MUI_INSTFILESPAGE_ABORTHEADER_SUBTEXT "$TextAborted"
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "$TextFinishTitle"
!define MUI_FINISHPAGE_TEXT "$TextFinish"
!define MUI_FINISHPAGE_TEXT_REBOOT "$(UnFinishRestart)"
!define MUI_FINISHPAGE_REBOOTLATER_DEFAULT
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"
!include /CHARSET=UTF8 "messages.nsh"

!include "language_and_machine.nsh"
!include "removal.nsh"

!macro LogLine TEXT
  FileWrite $Log "${TEXT}$\r$\n"
!macroend

; Calls FUNCTION of KitActions.dll, in the plug-in folder, with CALL
; (System::Call's parameters and result, into RESULT) by its address: the
; plug-in folder lies in the temporary folder, whose path may hold what
; System::Call cannot take in a DLL's path. When the function cannot be
; reached, RESULT gets FAILED.
!macro CallKitActions FUNCTION CALL RESULT FAILED
  System::Call 'kernel32::LoadLibraryW(w "$PLUGINSDIR\KitActions.dll") p .R9'
  System::Call 'kernel32::GetProcAddress(p R9, m "${FUNCTION}") p .R8'
  ${If} $R8 P<> 0
    System::Call '::$R8${CALL}'
  ${Else}
    StrCpy ${RESULT} "${FAILED}"
  ${EndIf}
  System::Call 'kernel32::FreeLibrary(p R9)'
!macroend

Function .onInit
  StrCpy $Uninstalling 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/uninstall" $1
  ${IfNot} ${Errors}
    StrCpy $Uninstalling 1
    ; The uninstall commands start this program from the command
    ; interpreter, whose console window would stand behind the pages: it
    ; is hidden (Windows XP and later attach to a parent's console).
    System::Call 'kernel32::AttachConsole(i -1) i .r0'
    ${If} $0 <> 0
      System::Call 'kernel32::GetConsoleWindow() p .r1'
      System::Call 'user32::ShowWindow(p r1, i 0)'
      System::Call 'kernel32::FreeConsole()'
    ${EndIf}
  ${EndIf}
  !insertmacro ChooseLanguage
  !insertmacro RequireSupportedMachine
  !insertmacro ComputeFolders
  ; Veskot.exe ends a running program whose file it cannot delete: this
  ; program must not run from the folders it deletes.
  ${If} $EXEDIR == $INSTDIR
  ${OrIf} $EXEDIR == $TempDir
    MessageBox MB_OK|MB_ICONSTOP "$(RunFromProductFolder)" /SD IDOK
    SetErrorLevel ${EXIT_FAILED}
    Quit
  ${EndIf}
  InitPluginsDir
  ; What both setups do alike: the staging check and the removal of what
  ; Veskot.exe leaves.
  File "/oname=$PLUGINSDIR\KitActions.dll" "${PROGRAMS_DIR}/KitActions.dll"
FunctionEnd


Function Install
  ; A kit installed before goes first, whole: so that one installation is
  ; left, with no file of an older package.
  !insertmacro RemoveInstallerPackageKit
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "UninstallString"
  ReadRegStr $1 HKLM "${PRODUCT_KEY}" "version"
  ${If} $0 != ""
  ${OrIf} $1 != ""
  ${OrIf} ${FileExists} "$INSTDIR\*.*"
  ${OrIf} ${FileExists} "$TempDir\*.*"
    DetailPrint "$(RemovingEarlier)"
    SetOutPath "$PLUGINSDIR"
    File "${PROGRAMS_DIR}/Veskot.exe"
    !insertmacro RunVeskot ""
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${PROGRAMS_DIR}/Quorlin.exe"
  File "${PROGRAMS_DIR}/Veskot.exe"
  ClearErrors
  CopyFiles /SILENT "$EXEPATH" "$INSTDIR\${UNINSTALLER}"
  ${If} $Is64 = 1
    SetOutPath "$INSTDIR\INF\64_inf"
    File /r "${PACKAGE_DIR}/64_inf/*.*"
  ${Else}
    SetOutPath "$INSTDIR\INF"
    File /r /x 64_inf "${PACKAGE_DIR}/*.*"
  ${EndIf}
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(CopyFailed)" /SD IDOK
    SetErrorLevel ${EXIT_FAILED}
    Abort
  ${EndIf}

  ; Both keys in the registry view of a 32-bit program, which is the
  ; view the two programs read and delete in.
  SetRegView 32
  WriteRegStr HKLM "${PRODUCT_KEY}" "version" "V${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${UNINSTALLER},0"
  ; The uninstall program runs from a copy in the temporary folder,
  ; through the command interpreter, which waits for it, deletes the copy
  ; and passes its exit code on. The path of the temporary folder may hold
  ; any character a user name has (! ^ & % ( ) and Chinese among them):
  ; it is expanded once, inside quotes, and delayed expansion is off. The
  ; exit code is read after the program ends: CALL expands
  ; %errorlevel% once more, which the caret hides from the first expansion.
  StrCpy $0 '"$SYSDIR\cmd.exe" /d /s /c "copy /b /y "$INSTDIR\${UNINSTALLER}" "${UNINSTALL_COPY}" >nul'
  StrCpy $1 '& call set kitrc=%^errorlevel% & del /f /q "${UNINSTALL_COPY}" >nul 2>&1 & call exit %^kitrc%"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" \
    '$0 && start "" /wait "${UNINSTALL_COPY}" /uninstall $1'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" \
    '$0 && start "" /wait "${UNINSTALL_COPY}" /uninstall /S $1'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  CreateDirectory "$TempDir"
  FileOpen $Log "$TempDir\setup.log" w
  !insertmacro LogLine "${PUBLISHER} ${PRODUCT} ${VERSION}"
  ${If} $Is64 = 1
    !insertmacro LogLine "Windows: 64-bit; package: $INSTDIR\INF\64_inf"
  ${Else}
    !insertmacro LogLine "Windows: 32-bit; package: $INSTDIR\INF"
  ${EndIf}

  ; Quorlin.exe stages the package's INF files. It always exits with 1.
  DetailPrint "$(StagingPackage)"
  ClearErrors
  ExecWait '"$INSTDIR\Quorlin.exe"' $0
  ${If} ${Errors}
    !insertmacro LogLine "Quorlin.exe could not be started"
    FileClose $Log
    MessageBox MB_OK|MB_ICONSTOP "$(StagingFailed)" /SD IDOK
    SetErrorLevel ${EXIT_FAILED}
    Abort
  ${EndIf}
  !insertmacro LogLine "Quorlin.exe exit code: $0"

  ; Quorlin.exe exits with 1 whatever happened: Windows took the package
  ; only if each INF file has a copy in the INF folder (KitActions.dll,
  ; which the Windows Installer package checks with too). If not, what was
  ; installed goes again, and the setup fails.
  !insertmacro CallKitActions UnstagedInf '() m .r1' $1 "KitActions.dll"
  ${If} $1 != ""
    ; The log goes with the kit's temporary folder: a copy stays in the
    ; user's temporary folder.
    !insertmacro LogLine "Windows did not take the driver package: $1 has no copy in $WINDIR\inf"
    FileClose $Log
    CopyFiles /SILENT "$TempDir\setup.log" "$TEMP\${FAILED_LOG}"
    DetailPrint "$(StagingRefused)"
    MessageBox MB_OK|MB_ICONSTOP "$(StagingRefused)" /SD IDOK
    DetailPrint "$(RemovingAgain)"
    SetOutPath "$PLUGINSDIR"
    File "${PROGRAMS_DIR}/Veskot.exe"
    !insertmacro RunVeskot ""
    !insertmacro RemoveWhatVeskotLeft
    SetErrorLevel ${EXIT_FAILED}
    Abort
  ${EndIf}

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  FileClose $Log
FunctionEnd

Function Uninstall
  DetailPrint "$(Removing)"
  ; Veskot.exe runs from a copy outside the product folder, which it
  ; deletes whole.
  ClearErrors
  CopyFiles /SILENT "$INSTDIR\Veskot.exe" "$PLUGINSDIR\Veskot.exe"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(VeskotMissing)" /SD IDOK
    SetErrorLevel ${EXIT_FAILED}
    Abort
  ${EndIf}
  ; The completion prompt only for a person at the screen.
  ${If} ${Silent}
    !insertmacro RunVeskot ""
  ${Else}
    !insertmacro RunVeskot " showmessage"
  ${EndIf}
  !insertmacro RemoveWhatVeskotLeft
  ${If} ${RebootFlag}
    SetErrorLevel ${EXIT_RESTART_REQUIRED}
    DetailPrint "$(RestartRequired)"
    StrCpy $TextDone "$(UnDoneRestart)"
  ${EndIf}
FunctionEnd

Section
  SetDetailsPrint both
  ${If} $Uninstalling = 1
    Call Uninstall
  ${Else}
    Call Install
  ${EndIf}
SectionEnd
