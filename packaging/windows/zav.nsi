; The Windows installer of the ZAV configuration tool (NSIS 3, makensis from
; Debian's nsis). scripts/windows/package.sh runs it with:
;   VERSION  1.3.5
;   FILES    an include with one "File" line per staged file
;   REMOVE   an include with one "Delete" line per staged file
;   ICON     the installer's icon
;   OUTFILE  the installer to write
; Silent use: zav-VERSION-setup.exe /S [/D=C:\folder]; uninstall.exe /S.

; A 64-bit installer for the 64-bit programs (and Wine without its 32-bit half runs it).
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "ZAV"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZAV"

Name "ZAV ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\ZAV"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "ZAV ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "ZAV configuration tool"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "ZAV configuration tool setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "ZAV"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The installer speaks the language of the system when it is one of the tool's.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "French"

; The Start-menu entries, named as on the Linux desktop.
LangString ToolLink ${LANG_ENGLISH} "ZAV configuration tool"
LangString ToolLink ${LANG_SPANISH} "Herramienta de configuración ZAV"
LangString ToolLink ${LANG_FRENCH} "Outil de configuration ZAV"
LangString DemoLink ${LANG_ENGLISH} "Demo on the simulated controller"
LangString DemoLink ${LANG_SPANISH} "Demostración con el controlador simulado"
LangString DemoLink ${LANG_FRENCH} "Démonstration sur le contrôleur simulé"
LangString UninstallLink ${LANG_ENGLISH} "Uninstall ZAV"
LangString UninstallLink ${LANG_SPANISH} "Desinstalar ZAV"
LangString UninstallLink ${LANG_FRENCH} "Désinstaller ZAV"

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "ZAV"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\ZAV"
  CreateShortcut "$SMPROGRAMS\ZAV\$(ToolLink).lnk" "$INSTDIR\zav.exe" "" "$INSTDIR\zav.exe" 0
  CreateShortcut "$SMPROGRAMS\ZAV\$(DemoLink).lnk" "$INSTDIR\zav.exe" "--demo" "$INSTDIR\zav.exe" 0
  CreateShortcut "$SMPROGRAMS\ZAV\$(UninstallLink).lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ZAV configuration tool"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "ZAV"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zav.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes: the technician's parameter files
; (*.zav) and zav.ini stay, and so does the folder while they are in it.
Section "Uninstall"
  !include "${REMOVE}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  ; Every language's names: the uninstaller may run under another language.
  Delete "$SMPROGRAMS\ZAV\ZAV configuration tool.lnk"
  Delete "$SMPROGRAMS\ZAV\Herramienta de configuración ZAV.lnk"
  Delete "$SMPROGRAMS\ZAV\Outil de configuration ZAV.lnk"
  Delete "$SMPROGRAMS\ZAV\Demo on the simulated controller.lnk"
  Delete "$SMPROGRAMS\ZAV\Demostración con el controlador simulado.lnk"
  Delete "$SMPROGRAMS\ZAV\Démonstration sur le contrôleur simulé.lnk"
  Delete "$SMPROGRAMS\ZAV\Uninstall ZAV.lnk"
  Delete "$SMPROGRAMS\ZAV\Desinstalar ZAV.lnk"
  Delete "$SMPROGRAMS\ZAV\Désinstaller ZAV.lnk"
  RMDir "$SMPROGRAMS\ZAV"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
