; The veilswitcher setup: installs for the current user alone, with no administrator rights.
; Made by the release target (cmake/package.cmake), which passes
;   VS_VERSION  the project's version, four numbers
;   VS_STAGE    the directory holding veilswitcher.exe, veilswitcher.com, readme.txt and
;               LICENSE.txt
;   VS_OUTFILE  the setup program to write
;   VS_ICON     the program's icon, for the setup and the uninstaller too
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\veilswitcher"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\veilswitcher"
; Win+R and "start veilswitcher" find the program through it; no PATH is changed.
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\veilswitcher.exe"
!define PUBLISHER "The veilswitcher developers"
!define PROGRAM "$INSTDIR\veilswitcher.exe"

Name "veilswitcher"
OutFile "${VS_OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\veilswitcher"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VS_VERSION}"
VIAddVersionKey "ProductName" "veilswitcher"
VIAddVersionKey "ProductVersion" "${VS_VERSION}"
VIAddVersionKey "FileVersion" "${VS_VERSION}"
VIAddVersionKey "FileDescription" "veilswitcher setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "MIT License"

BrandingText "veilswitcher ${VS_VERSION}"
!define MUI_ICON "${VS_ICON}"
!define MUI_UNICON "${VS_ICON}"
!define MUI_FINISHPAGE_RUN "${PROGRAM}"
!define MUI_FINISHPAGE_RUN_TEXT "Start veilswitcher now"
!insertmacro MUI_PAGE_LICENSE "${VS_STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A running copy is ended the way a polite close ends it, so that its shutdown shows every window
; it hid and saves its settings; its file can be replaced or removed only once it has gone.
!macro EndRunningCopy
  FindWindow $0 "veilswitcherApp"
  ${If} $0 <> 0
    DetailPrint "Ending the running veilswitcher"
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  ${EndIf}
  StrCpy $1 0
  ${Do}
    FindWindow $0 "veilswitcherApp"
    ${If} $0 = 0
    ${OrIf} $1 >= 200
      ${ExitDo}
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${Loop}
  ; The window goes before the process has let go of its file.
  StrCpy $1 0
  ${Do}
    ClearErrors
    Delete "${PROGRAM}"
    ${IfNot} ${FileExists} "${PROGRAM}"
    ${OrIf} $1 >= 100
      ${ExitDo}
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${Loop}
!macroend

Section "veilswitcher"
  SectionIn RO
  SetShellVarContext current
  !insertmacro EndRunningCopy
  SetOutPath "$INSTDIR"
  File "${VS_STAGE}/veilswitcher.exe"
  File "${VS_STAGE}/veilswitcher.com"
  File "${VS_STAGE}/readme.txt"
  File "${VS_STAGE}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\veilswitcher.lnk" "${PROGRAM}"
  WriteRegStr HKCU "${APP_PATHS_KEY}" "" "${PROGRAM}"
  WriteRegStr HKCU "${APP_PATHS_KEY}" "Path" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "veilswitcher"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VS_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "${PROGRAM}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  !insertmacro EndRunningCopy
  Delete "$INSTDIR\veilswitcher.com"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\veilswitcher.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${APP_PATHS_KEY}"
  ; Only now: the copy's own shutdown writes the value again while start at logon is on.
  DeleteRegValue HKCU "${RUN_KEY}" "veilswitcher.exe"
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Remove veilswitcher's settings (its desktops, hotkeys and options) as well?" \
    /SD IDNO IDNO keep_settings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
keep_settings:
SectionEnd
