; Tolvaran's installer: for the current user only, no administrator rights,
; into %LOCALAPPDATA%\Programs\Tolvaran. The build passes VERSION (four
; numbers), EXE32 and EXE64 (the 32-bit and the 64-bit program), ICON and
; OUTFILE. 64-bit Windows on x64 gets the 64-bit program, which has room for
; large pictures; everything else (32-bit Windows, Windows on ARM) the 32-bit one.
;
; The program's own state, the hidden stack file in Documents and the
; registry key Software\Quilnor\Tolvaran, belongs to the user: neither the
; installer nor the uninstaller ever touches it.

Unicode true

!ifndef VERSION | EXE32 | EXE64 | ICON | OUTFILE
  !error "makensis needs -DVERSION=, -DEXE32=, -DEXE64=, -DICON= and -DOUTFILE="
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvaran"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; A running copy is its main dialog, found the way a second copy finds it;
; its Exit command (a WM_COMMAND) saves the state and ends it.
!define WINDOW_CLASS "#32770"
!define WINDOW_TITLE "Tolvaran"
!define CMD_EXIT 40005
!define PROCESS_SYNCHRONIZE 0x00100000
; How long a running copy gets to save and end, and then how long the
; program file gets to come free (tenths of a second).
!define EXIT_WAIT_MS 10000
!define FREE_WAIT_TENTHS 30

Name "Tolvaran"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tolvaran"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
; Themed controls and sharp text at every scale, like the program itself.
XPStyle on
ManifestDPIAware true
ManifestSupportedOS all
SetCompressor /SOLID lzma
BrandingText "Tolvaran ${VERSION}"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tolvaran.exe"

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the default; otherwise the one matching the Windows display
; language is taken, as the program itself does.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"

VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Tolvaran"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Quilnor"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Tolvaran setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright © Quilnor"

LangString NameProgram ${LANG_ENGLISH} "Tolvaran"
LangString NameProgram ${LANG_RUSSIAN} "Tolvaran"
LangString DescProgram ${LANG_ENGLISH} "The program and its Start menu shortcut."
LangString DescProgram ${LANG_RUSSIAN} "Программа и её ярлык в меню «Пуск»."
LangString NameStartup ${LANG_ENGLISH} "Start with Windows"
LangString NameStartup ${LANG_RUSSIAN} "Запускать вместе с Windows"
LangString DescStartup ${LANG_ENGLISH} "Tolvaran starts each time you sign in to Windows."
LangString DescStartup ${LANG_RUSSIAN} "Tolvaran запускается при каждом входе в Windows."
LangString StillRunning ${LANG_ENGLISH} \
  "Tolvaran is still running, so it cannot be replaced.$\r$\n$\r$\nEnd it (Exit in its tray menu) and click Retry."
LangString StillRunning ${LANG_RUSSIAN} \
  "Tolvaran всё ещё работает, поэтому его нельзя заменить.$\r$\n$\r$\nЗакройте его («Выход» в меню значка) и нажмите «Повторить»."
LangString AskingToExit ${LANG_ENGLISH} "Asking the running Tolvaran to exit..."
LangString AskingToExit ${LANG_RUSSIAN} "Работающему Tolvaran отправлена команда выхода..."
LangString UnStillRunning ${LANG_ENGLISH} \
  "Tolvaran is still running, so it cannot be removed.$\r$\n$\r$\nEnd it (Exit in its tray menu) and click Retry."
LangString UnStillRunning ${LANG_RUSSIAN} \
  "Tolvaran всё ещё работает, поэтому его нельзя удалить.$\r$\n$\r$\nЗакройте его («Выход» в меню значка) и нажмите «Повторить»."

; Installer and uninstaller each need their own copy of these functions;
; "message" names the text for a copy that stays.
!macro RUNNING_COPY_FUNCTIONS un message
  ; $0 = 1 when $INSTDIR\Tolvaran.exe is missing or can be opened for
  ; writing: a program file in use cannot.
  Function ${un}ProgramFileFree
    StrCpy $0 1
    ${If} ${FileExists} "$INSTDIR\Tolvaran.exe"
      ClearErrors
      FileOpen $1 "$INSTDIR\Tolvaran.exe" a
      ${If} ${Errors}
        StrCpy $0 0
      ${Else}
        FileClose $1
      ${EndIf}
    ${EndIf}
  FunctionEnd

  ; Asks a running Tolvaran to exit (it saves first) and waits, bounded,
  ; for it to end and for the program file to come free. $0 = 1 when it did.
  Function ${un}CloseRunning
    StrCpy $2 0 ; the window asked last
    StrCpy $3 0 ; tenths of a second waited for the file
    ${Do}
      FindWindow $4 "${WINDOW_CLASS}" "${WINDOW_TITLE}"
      ${If} $4 <> 0
      ${AndIf} $4 <> $2
        StrCpy $2 $4
        StrCpy $5 0
        System::Call 'user32::GetWindowThreadProcessId(p r4, *i .r5) i'
        System::Call 'kernel32::OpenProcess(i ${PROCESS_SYNCHRONIZE}, i 0, i r5) p .r6'
        DetailPrint "$(AskingToExit)"
        System::Call 'user32::PostMessage(p r4, i ${WM_COMMAND}, p ${CMD_EXIT}, p 0) i'
        ${If} $6 <> 0
          System::Call 'kernel32::WaitForSingleObject(p r6, i ${EXIT_WAIT_MS}) i'
          System::Call 'kernel32::CloseHandle(p r6) i'
        ${EndIf}
        ${Continue}
      ${EndIf}
      Call ${un}ProgramFileFree
      ${If} $0 = 1
        Return
      ${EndIf}
      ${If} $3 >= ${FREE_WAIT_TENTHS}
        StrCpy $0 0
        Return
      ${EndIf}
      Sleep 100
      IntOp $3 $3 + 1
    ${Loop}
  FunctionEnd

  ; Ends a running copy, or lets the user do it; aborts (exit code 2) when
  ; it stays. Silent runs do not ask.
  Function ${un}EnsureNotRunning
    retry:
      Call ${un}CloseRunning
      StrCmp $0 1 done
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(${message})" /SD IDCANCEL IDRETRY retry
      DetailPrint "$(${message})"
      SetErrorLevel 2
      Abort
    done:
  FunctionEnd
!macroend
!insertmacro RUNNING_COPY_FUNCTIONS "" StillRunning
!insertmacro RUNNING_COPY_FUNCTIONS "un." UnStillRunning

Section "$(NameProgram)" SecProgram
  SectionIn RO
  Call EnsureNotRunning
  SetOutPath "$INSTDIR"
  ; Windows on ARM runs x86 programs everywhere, x64 ones not on every version.
  ${If} ${RunningX64}
  ${AndIfNot} ${IsNativeARM64}
    File "/oname=Tolvaran.exe" "${EXE64}"
  ${Else}
    File "/oname=Tolvaran.exe" "${EXE32}"
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tolvaran.lnk" "$INSTDIR\Tolvaran.exe" "" "$INSTDIR\Tolvaran.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tolvaran"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quilnor"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tolvaran.exe,0"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Chosen by default: a clipboard manager only keeps the history while it runs.
Section "$(NameStartup)" SecStartup
  WriteRegStr HKCU "${RUN_KEY}" "Tolvaran" '"$INSTDIR\Tolvaran.exe"'
SectionEnd

; Installing again without the option turns the start at sign-in off.
Section "-StartupOff"
  ${IfNot} ${SectionIsSelected} ${SecStartup}
    DeleteRegValue HKCU "${RUN_KEY}" "Tolvaran"
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DescProgram)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} $(DescStartup)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Removes what the installer made, nothing else: the folder only when it is
; empty, and the uninstall entry last, so the program stays listed until
; everything else is gone.
Section "Uninstall"
  Call un.EnsureNotRunning
  Delete "$INSTDIR\Tolvaran.exe"
  Delete "$SMPROGRAMS\Tolvaran.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Tolvaran"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
