; The removal of a kit: by Veskot.exe, by Windows Installer for a kit the
; package installed, and of what Veskot.exe leaves.

; Runs a copy of the kit's own uninstaller, Veskot.exe, put in the plug-in
; folder beforehand, and waits for it: it removes the handset's devices,
; the staged INF files, both keys and both folders. Windows keeps a
; precompiled copy (.pnf) beside each INF file it stages, and Veskot
; deletes the INF files only: the .pnf of each one it deleted goes too.
!macro RunVeskot ARGUMENTS
  FileOpen $R0 "$PLUGINSDIR\infs.txt" w
  FindFirst $R1 $R2 "$WINDIR\inf\*.inf"
  ${DoWhile} $R2 != ""
    FileWrite $R0 "$R2$\r$\n"
    FindNext $R1 $R2
  ${Loop}
  FindClose $R1
  FileClose $R0

  ExecWait '"$PLUGINSDIR\Veskot.exe"${ARGUMENTS}' $0
  ; Its record of the compatibility layer for itself names a file that
  ; goes with the plug-in folder, by the path as Veskot.exe, a program of
  ; the system's code page, reads it: a character the code page lacks
  ; (a Chinese user name on an English system) comes out as "?".
  System::Call 'kernel32::WideCharToMultiByte(i 0, i 0, w "$PLUGINSDIR\Veskot.exe", i -1, m .r5, i ${NSIS_MAX_STRLEN}, p 0, p 0)'
  DeleteRegValue HKCU "${LAYERS_KEY}" "$5"

  FileOpen $R0 "$PLUGINSDIR\infs.txt" r
  ${Do}
    FileRead $R0 $R2
    ${If} $R2 == ""
      ${ExitDo}
    ${EndIf}
    ; The name without ".inf" and the line end; the search also lists
    ; names whose short form ends so.
    StrCpy $R3 $R2 4 -6
    StrCpy $R2 $R2 -6
    ${If} $R3 == ".inf"
    ${AndIfNot} ${FileExists} "$WINDIR\inf\$R2.inf"
      Delete "$WINDIR\inf\$R2.pnf"
    ${EndIf}
  ${Loop}
  FileClose $R0
!macroend

; What is left of the kit once Veskot.exe has run goes too, so that
; nothing of it stays behind the keys it deleted: the compatibility-layer
; record of Quorlin.exe; the keys, should one have held a subkey; and the
; two folders, whose files in use (held open by another program) are
; deleted at the next restart, with the reboot flag set. KitActions.dll
; does the folders, as Veskot.exe does: a link inside them goes as a link,
; and what it points to is not entered.
!macro RemoveWhatVeskotLeft
  DeleteRegValue HKCU "${LAYERS_KEY}" "$INSTDIR\Quorlin.exe"
  SetRegView 32
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${PRODUCT_KEY}"
  SetRegView lastused
  !insertmacro CallKitActions LeftForRestart '(m "$INSTDIR") i .r0' $0 1
  !insertmacro CallKitActions LeftForRestart '(m "$TempDir") i .r1' $1 1
  ${If} $0 <> 0
  ${OrIf} $1 <> 0
    SetRebootFlag true
  ${EndIf}
!macroend

; A kit that the Windows Installer package installed goes through Windows
; Installer, which runs Veskot.exe and takes its own registration away.
!macro RemoveInstallerPackageKit
  System::Call 'msi::MsiEnumRelatedProductsW(w "${UPGRADE_CODE}", i 0, i 0, w .r1) i .r0'
  ${If} $0 == 0
    DetailPrint "$(RemovingEarlier)"
    ${If} ${Silent}
      StrCpy $2 "/qn"
    ${Else}
      StrCpy $2 "/qb"
    ${EndIf}
    ExecWait '"$SYSDIR\msiexec.exe" /x $1 $2' $0
    ; 3010: removed, and Windows asks for a restart.
    ${If} $0 != 0
    ${AndIf} $0 != 3010
      MessageBox MB_OK|MB_ICONSTOP "$(InstallerPackageRemovalFailed)" /SD IDOK
      SetErrorLevel ${EXIT_FAILED}
      Abort
    ${EndIf}
  ${EndIf}
!macroend
