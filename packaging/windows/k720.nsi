; The Windows setup program of the K720 companion, one script for both languages:
;   makensis -DLANGUAGE=English|Japanese -DBIN=<build-win/bin> -DSOURCE=<source folder>
;            -DLICENCES=<folder with GPL-3 and LGPL-3> -DOUTFILE=<setup program> k720.nsi
; (scripts/package-windows). It installs k720app.exe, k720ctl.exe and what they need into
; Program Files\K720, a Start-menu shortcut and an entry in the list of installed programs, and
; writes uninstall.exe, which removes exactly that. The user's settings (%APPDATA%\k720) are
; theirs: no uninstall touches them.
;
; Each setup installs its own edition: it writes "ja" or "en" into edition.txt beside the
; programs, which both programs read at start-up (--lang overrides it). A file in the programs'
; folder rather than a registry value: the edition belongs to these installed programs alone, so
; a copy run from another folder is no installation and follows the user's display language.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "WinMessages.nsh"
!include "x64.nsh"

!define PRODUCT "K720 Companion"
!define VERSION "1.03"
!define PUBLISHER "K720 companion developers"
; The wizard's window carries this whole title: the install launcher looks for it to refuse a
; second setup while one runs.
!define WIZARD_TITLE "Application Software for K720 - InstallShield Wizard"
!if "${LANGUAGE}" == "Japanese"
  !define EDITION "ja"
!else
  !define EDITION "en"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT}"
Caption "${WIZARD_TITLE}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\K720"
ShowInstDetails show

!define MUI_ICON "${SOURCE}/resources/images/icon.ico"
!define MUI_UNICON "${SOURCE}/resources/images/icon.ico"
!define MUI_ABORTWARNING

; The Modern UI titles each page "<caption>: <page>"; every page gives the window its whole title
; back when it shows.
!macro WizardPage PAGE
  !define MUI_PAGE_CUSTOMFUNCTION_SHOW ShowWizardTitle
  !insertmacro ${PAGE}
!macroend
!insertmacro WizardPage MUI_PAGE_WELCOME
!insertmacro WizardPage MUI_PAGE_DIRECTORY
!insertmacro WizardPage MUI_PAGE_INSTFILES
!insertmacro WizardPage MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "${LANGUAGE}"

Function ShowWizardTitle
  SendMessage $HWNDPARENT ${WM_SETTEXT} 0 "STR:${WIZARD_TITLE}"
FunctionEnd

VIProductVersion "1.3.0.0"
VIFileVersion "1.3.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "1.3.0.0"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup (${LANGUAGE})"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "2026 ${PUBLISHER}"

; What is installed, once, for the setup and the uninstaller alike.
!macro ProgramFiles ACTION
  !insertmacro ${ACTION} . k720app.exe
  !insertmacro ${ACTION} . k720ctl.exe
  !insertmacro ${ACTION} . Qt6Core.dll
  !insertmacro ${ACTION} . Qt6Gui.dll
  !insertmacro ${ACTION} . Qt6Widgets.dll
  !insertmacro ${ACTION} . libstdc++-6.dll
  !insertmacro ${ACTION} . libgcc_s_seh-1.dll
  !insertmacro ${ACTION} . libwinpthread-1.dll
  !insertmacro ${ACTION} platforms qwindows.dll
  !insertmacro ${ACTION} styles qwindowsvistastyle.dll
  !insertmacro ${ACTION} translations qtbase_ja.qm
!macroend
!macro Put FOLDER NAME
  SetOutPath "$INSTDIR\${FOLDER}"
  File "${BIN}/${FOLDER}/${NAME}"
!macroend
!macro Remove FOLDER NAME
  Delete "$INSTDIR\${FOLDER}\${NAME}"
!macroend
!macro Documents ACTION
  !insertmacro ${ACTION} README.md "${SOURCE}/README.md"
  !insertmacro ${ACTION} COPYRIGHT.txt "${SOURCE}/packaging/debian/copyright"
  !insertmacro ${ACTION} Qt-LGPL-3.txt "${LICENCES}/LGPL-3"
  !insertmacro ${ACTION} Qt-GPL-3.txt "${LICENCES}/GPL-3"
!macroend
!macro PutDocument NAME FROM
  SetOutPath "$INSTDIR"
  File "/oname=${NAME}" "${FROM}"
!macroend
!macro RemoveDocument NAME FROM
  Delete "$INSTDIR\${NAME}"
!macroend

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Install"
  ; A setup over an installed companion first removes it with its own uninstaller, so that
  ; nothing of the old version stays behind.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\uninstall.exe"
    ExecWait '"$0\uninstall.exe" /S _?=$0'
    Delete "$0\uninstall.exe"
    RMDir "$0"
  ${EndIf}

  !insertmacro ProgramFiles Put
  !insertmacro Documents PutDocument
  SetOutPath "$INSTDIR"
  ClearErrors
  FileOpen $1 "$INSTDIR\edition.txt" w
  ${IfNot} ${Errors}
    FileWrite $1 "${EDITION}$\r$\n"
    FileClose $1
  ${EndIf}
  ${If} ${Errors}
    SetErrorLevel 2
    Abort "edition.txt could not be written in $INSTDIR"
  ${EndIf}
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\k720app.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\k720app.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !insertmacro ProgramFiles Remove
  !insertmacro Documents RemoveDocument
  Delete "$INSTDIR\edition.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\platforms"
  RMDir "$INSTDIR\styles"
  RMDir "$INSTDIR\translations"
  ; Only when empty: whatever else the user put there stays.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
