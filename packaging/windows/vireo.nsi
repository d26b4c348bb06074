; SPDX-License-Identifier: GPL-3.0-or-later
; The Vireo installer: the programs and the initial settings file in Program
; Files, a Start menu entry, an uninstaller listed in Apps; .st2 files open in
; Vireo only when that component is ticked (/ASSOCIATE when silent). makensis
; gets VERSION, STAGE (the folder holding what is installed), ICON and OUTFILE with -D.
Unicode true
Target amd64-unicode
ManifestSupportedOS Win10
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vireo"
!define FILE_TYPE "Vireo.SettingsFile"

Name "Vireo ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vireo"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Vireo ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Vireo"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Vireo ${VERSION} setup"
VIAddVersionKey "LegalCopyright" "GPL-3.0-or-later"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Vireo (required)" SectionProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}/vireo.exe"
  File "${STAGE}/vireo-cli.exe"
  File "${STAGE}/VIREO.sts"
  File "${STAGE}/README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Vireo.lnk" "$INSTDIR\vireo.exe" "" "$INSTDIR\vireo.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vireo"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Vireo developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vireo.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Off unless ticked (/o); a silent install leaves .st2 files as they are.
Section /o "Open .st2 settings files with Vireo" SectionFileType
  WriteRegStr HKLM "Software\Classes\.st2" "" "${FILE_TYPE}"
  WriteRegStr HKLM "Software\Classes\${FILE_TYPE}" "" "Vireo settings file"
  WriteRegStr HKLM "Software\Classes\${FILE_TYPE}\DefaultIcon" "" "$INSTDIR\vireo.exe,0"
  WriteRegStr HKLM "Software\Classes\${FILE_TYPE}\shell\open\command" "" '"$INSTDIR\vireo.exe" "%1"'
  ; Explorer shows the new icon at once.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Function .onInit
  ; The programs are 64-bit: their registry entries go to the 64-bit view.
  SetRegView 64
  SetShellVarContext all
  ; A silent install (/S) ticks the file type with /ASSOCIATE.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ASSOCIATE" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SectionFileType}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; The .st2 entry goes only when it is still ours.
  ReadRegStr $0 HKLM "Software\Classes\.st2" ""
  StrCmp $0 "${FILE_TYPE}" 0 +2
  DeleteRegKey HKLM "Software\Classes\.st2"
  DeleteRegKey HKLM "Software\Classes\${FILE_TYPE}"
  Delete "$SMPROGRAMS\Vireo.lnk"
  Delete "$INSTDIR\vireo.exe"
  Delete "$INSTDIR\vireo-cli.exe"
  Delete "$INSTDIR\VIREO.sts"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
