; The setup program's choices from the machine it runs on: the language
; of its pages, the Windows releases and rights it accepts, and the
; folders of the kit.

!macro PickText VARIABLE NAME
  ${If} $Uninstalling = 1
    StrCpy ${VARIABLE} "$(Un${NAME})"
  ${Else}
    StrCpy ${VARIABLE} "$(${NAME})"
  ${EndIf}
!macroend

; Simplified Chinese when the system's UI language is Chinese (PRC),
; English otherwise: the rule of Veskot's completion prompt.
!macro ChooseLanguage
  System::Call 'kernel32::GetSystemDefaultUILanguage() i .r0'
  ${If} $0 = 2052
    StrCpy $LANGUAGE ${LANG_SIMPCHINESE}
  ${Else}
    StrCpy $LANGUAGE ${LANG_ENGLISH}
  ${EndIf}
  !insertmacro PickText $TextCaption Caption
  !insertmacro PickText $TextButton Button
  !insertmacro PickText $TextWelcomeTitle WelcomeTitle
  !insertmacro PickText $TextWelcome Welcome
  !insertmacro PickText $TextRunningTitle RunningTitle
  !insertmacro PickText $TextRunning Running
  !insertmacro PickText $TextDoneTitle DoneTitle
  !insertmacro PickText $TextDone Done
  !insertmacro PickText $TextAbortedTitle AbortedTitle
  !insertmacro PickText $TextAborted Aborted
  !insertmacro PickText $TextFinishTitle FinishTitle
  !insertmacro PickText $TextFinish Finish
  !insertmacro PickText $TextQuit Quit
!macroend

; Refuses, with a message that a silent run does not show, a Windows the
; kit has no package folder for (it knows 5.0 to 6.1; uninstalling is
; left to any release) and a user without administrator rights, which
; Windows 2000 and XP do not ask for.
!macro RequireSupportedMachine
  ; By the version numbers alone: WinVer's comparisons count the service
  ; pack, and take Windows 7 with Service Pack 1 for a later release.
  GetWinVer $0 Major
  GetWinVer $1 Minor
  StrCpy $2 0
  ${If} $0 = 5
    StrCpy $2 1
  ${ElseIf} $0 = 6
  ${AndIf} $1 <= 1
    StrCpy $2 1
  ${EndIf}
  ${If} $2 = 0
  ${AndIf} $Uninstalling = 0
    MessageBox MB_OK|MB_ICONSTOP "$(UnsupportedWindows)" /SD IDOK
    SetErrorLevel ${EXIT_UNSUPPORTED_WINDOWS}
    Quit
  ${EndIf}
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NotAdministrator)" /SD IDOK
    SetErrorLevel ${EXIT_NOT_ADMIN}
    Quit
  ${EndIf}
!macroend

; The folders both programs compute: on the drive of the system
; directory, under "Program Files" as literal text ("Program Files (x86)"
; on 64-bit Windows, where this 32-bit program runs under WOW64).
!macro ComputeFolders
  StrCpy $Drive $SYSDIR 2
  StrCpy $Is64 0
  StrCpy $ProgramsName "Program Files"
  System::Call 'kernel32::GetCurrentProcess() p .r1'
  System::Call 'kernel32::IsWow64Process(p r1, *i 0 r2) i .r0'
  ${If} $0 != "error"
  ${AndIf} $0 <> 0
  ${AndIf} $2 <> 0
    StrCpy $Is64 1
    StrCpy $ProgramsName "Program Files (x86)"
  ${EndIf}
  StrCpy $INSTDIR "$Drive\$ProgramsName\${PRODUCT_FOLDER}"
  StrCpy $TempDir "$Drive\$ProgramsName\${TEMP_FOLDER}"
!macroend
