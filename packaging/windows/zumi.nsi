; The installer of Zumi for 64-bit Windows: per user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Zumi, with a Start-menu entry, autostart and an uninstaller.
; The uninstaller leaves the user's settings (registry) and call log (%LOCALAPPDATA%\Zumi) alone.
; Made by scripts/windows-package.sh: makensis -DVERSION=... -DSTAGE=<files> -DSIZE_KB=... -DOUTFILE=<setup.exe>
Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!define APP Zumi
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${APP}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${APP} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "Das Zumi-Team"

!include "MUI2.nsh"
!define MUI_ABORTWARNING
; Zumi's own icon, the tray's offline one, as zumi.exe has it.
!define MUI_ICON "..\..\app\win32\net-blue.ico"
!define MUI_UNICON "..\..\app\win32\net-blue.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\zumi.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

; A running zumi.exe cannot be replaced or deleted: the user is asked to quit it first; a silent
; run gives up with exit code 2 rather than leave a half-replaced installation.
!macro NOT_RUNNING prefix
Function ${prefix}NotRunning
  IfFileExists "$INSTDIR\zumi.exe" 0 done
  again:
    ClearErrors
    FileOpen $0 "$INSTDIR\zumi.exe" a
    IfErrors 0 free
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Zumi läuft noch. Bitte beenden Sie Zumi (Symbol im Infobereich, „Beenden“) und wählen Sie „Wiederholen“." \
      /SD IDCANCEL IDRETRY again
    SetErrorLevel 2
    Quit
  free:
    FileClose $0
  done:
FunctionEnd
!macroend
!insertmacro NOT_RUNNING ""
!insertmacro NOT_RUNNING "un."

Section
  Call NotRunning
  SetOutPath "$INSTDIR"
  File "${STAGE}\zumi.exe"
  File "${STAGE}\sqlite3.dll"
  SetOutPath "$INSTDIR\sounds"
  File "${STAGE}\sounds\pop.wav"
  File "${STAGE}\sounds\hangup.wav"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\zumi.exe" "" "$INSTDIR\zumi.exe" 0 \
    SW_SHOWNORMAL "" "Kosten der Wählverbindung zählen"
  WriteRegStr HKCU "${RUN_KEY}" "${APP}" '"$INSTDIR\zumi.exe"'

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Das Zumi-Team"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\zumi.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

; Only what the installer put there: the settings and the call log stay for a later installation.
Section "Uninstall"
  Call un.NotRunning
  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The folder last: its going is the sign that all is done.
  Delete "$INSTDIR\zumi.exe"
  Delete "$INSTDIR\sqlite3.dll"
  Delete "$INSTDIR\sounds\pop.wav"
  Delete "$INSTDIR\sounds\hangup.wav"
  RMDir "$INSTDIR\sounds"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
