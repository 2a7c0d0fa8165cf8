; The Windows installer: NSIS 3 in Unicode, Simplified-Chinese pages.
; scripts/package-windows.sh runs makensis with these defines:
;
;   RELEASE   win64 (64-bit installer and program) or win32
;   VERSION   the program's version, 1.0.0
;   PROGRAM   the program's .exe
;   GUIDE     使用说明.txt, the user's guide
;   ICON      the program's icon, for the installer and the uninstaller
;   OUTFILE   the installer to write
;
; Installs for all users into Program Files\传动比计算 (the 64-bit folder and
; registry view for win64), makes a Start-menu shortcut for all users and
; registers the uninstaller under HKLM ...\Uninstall\transmission-ratio.
; Installing again, of the same version or another, first runs the installed
; uninstaller where it is registered, then installs afresh: one entry, one
; folder. The uninstaller removes what was installed, by name, and the
; folder only if it is left empty. /S and /D= are NSIS's own.

Unicode true
!if ${RELEASE} == win64
  Target amd64-unicode
!else if ${RELEASE} == win32
  Target x86-unicode
!else
  !error "RELEASE must be win64 or win32, not ${RELEASE}"
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define PRODUCT "传动比计算"
!define PUBLISHER "Velnor"
!define EXE "transmission-ratio.exe"
!define GUIDE_NAME "使用说明.txt"
!define UNINSTALLER "uninstall.exe"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\transmission-ratio"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
ManifestDPIAware true
ManifestSupportedOS all
; The same installer from the same files: no file times are stored.
SetDateSave off
SetCompressor /SOLID lzma
!if ${RELEASE} == win64
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; Where a version is installed, that is the default folder (/D= still wins).
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "© 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "此程序将为本机所有用户安装 ${PRODUCT} ${VERSION}。$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; The registry view that matches the program: 64-bit for win64.
!macro SetProgramRegView
  !if ${RELEASE} == win64
    SetRegView 64
  !endif
!macroend

Function .onInit
  !insertmacro SetProgramRegView
FunctionEnd

; Removes the installed version through its own uninstaller, run in place
; and waited for; then the uninstaller itself and the folder, if empty.
Function RemoveInstalled
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\${UNINSTALLER}"
    DetailPrint "卸载已安装的版本：$0"
    ExecWait '"$0\${UNINSTALLER}" /S _?=$0' $1
    ${If} $1 != 0
      MessageBox MB_ICONSTOP "无法卸载已安装的版本（$0）。" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Delete "$0\${UNINSTALLER}"
    RMDir "$0"
  ${EndIf}
FunctionEnd

Section
  SetShellVarContext all
  Call RemoveInstalled

  SetOutPath "$INSTDIR"
  File "/oname=${EXE}" "${PROGRAM}"
  File "/oname=${GUIDE_NAME}" "${GUIDE}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

; Runs only for the installation registered at its own folder: a copy of
; the uninstaller run elsewhere, or a second run after the program was
; removed, changes nothing and ends with status 2.
Function un.onInit
  !insertmacro SetProgramRegView
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 != $INSTDIR
    MessageBox MB_ICONSTOP "${PRODUCT} 没有安装在 $INSTDIR。" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${GUIDE_NAME}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
