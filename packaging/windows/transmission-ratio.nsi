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
; registry view for win64), or into the folder the user chose for what is
; installed, makes a Start-menu shortcut for all users and registers the
; uninstaller under HKLM ...\Uninstall\transmission-ratio.
; The 64-bit and the 32-bit program are one product: installing either, of
; the same version or another, first runs the uninstaller of what is
; registered in either registry view, where it is registered, then installs
; afresh: one entry, one folder, one shortcut. Neither the installer nor the
; uninstaller touches anything while the installed program runs: they ask
; for it to be closed (silently, they end with status 2). The uninstaller
; removes what was installed, by name, and the folder only if it is left
; empty. /S and /D= are NSIS's own.

Unicode true
!if ${RELEASE} == win64
  Target amd64-unicode
!else if ${RELEASE} == win32
  Target x86-unicode
!else
  !error "RELEASE must be win64 or win32, not ${RELEASE}"
!endif

!include MUI2.nsh
!include LogicLib.nsh

!define PRODUCT "传动比计算"
!define PUBLISHER "Velnor"
!define EXE "transmission-ratio.exe"
!define GUIDE_NAME "使用说明.txt"
; Named after the product: a folder shared with other programs holds no
; two uninstall.exe.
!define UNINSTALLER "transmission-ratio-uninstall.exe"
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
  !else
    SetRegView default
  !endif
!macroend

; Refuses to go on while the program in folder $R0 runs: asks for it to be
; closed and looked at again, or silently ends with status 2. A running
; program's .exe cannot be opened for writing.
!macro DefineCheckNotRunning un
  Function ${un}CheckNotRunning
    retry:
    ${If} $R0 != ""
    ${AndIf} ${FileExists} "$R0\${EXE}"
      ClearErrors
      FileOpen $R1 "$R0\${EXE}" a
      ${If} ${Errors}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT}正在运行，请先关闭它，然后重试。" \
          /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Quit
      ${EndIf}
      FileClose $R1
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro DefineCheckNotRunning ""
!insertmacro DefineCheckNotRunning "un."

; What is registered in each registry view, for the setup and the
; uninstaller alike: its folder in $Location64 or $Location32 and its
; uninstaller (whatever its name: UninstallString is its quoted path) in
; $Uninstaller64 or $Uninstaller32, empty where nothing is. On 32-bit
; Windows both views are the one registry.
Var Location64
Var Uninstaller64
Var Location32
Var Uninstaller32

!macro ReadRegistration VIEW
  SetRegView ${VIEW}
  ReadRegStr $Location${VIEW} HKLM "${UNINST_KEY}" "InstallLocation"
  ReadRegStr $0 HKLM "${UNINST_KEY}" "UninstallString"
  StrCpy $0 $0 "" 1
  StrCpy $Uninstaller${VIEW} $0 -1
!macroend

!macro DefineFindRegistrations un
  Function ${un}FindRegistrations
    !insertmacro ReadRegistration 64
    !insertmacro ReadRegistration 32
    !insertmacro SetProgramRegView
  FunctionEnd
!macroend
!insertmacro DefineFindRegistrations ""
!insertmacro DefineFindRegistrations "un."

; Removes the version registered in registry view VIEW through its own
; uninstaller, run in place and waited for; then the uninstaller itself and
; the folder, if empty. A registration whose uninstaller is gone (its folder
; deleted by hand) could never be removed from Programs and Features: it is
; deleted. Where both views hold the one registration, the first removal
; leaves nothing for the second.
!macro RemoveRegistered VIEW
  ${If} $Location${VIEW} != ""
  ${AndIf} ${FileExists} $Uninstaller${VIEW}
    DetailPrint "卸载已安装的版本：$Location${VIEW}"
    ExecWait '"$Uninstaller${VIEW}" /S _?=$Location${VIEW}' $3
    ${If} $3 != 0
      MessageBox MB_ICONSTOP "无法卸载已安装的版本（$Location${VIEW}）。" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Delete $Uninstaller${VIEW}
    RMDir $Location${VIEW}
  ${ElseIf} "$Location${VIEW}$Uninstaller${VIEW}" != ""
    SetRegView ${VIEW}
    DeleteRegKey HKLM "${UNINST_KEY}"
    !insertmacro SetProgramRegView
  ${EndIf}
!macroend

; What is installed, the 64-bit or the 32-bit program, wherever it is, once
; the program runs from none of the folders concerned: $INSTDIR and those
; registered, each looked at once.
Function RemoveInstalled
  Call FindRegistrations
  StrCpy $R0 $INSTDIR
  Call CheckNotRunning
  ${If} $Location64 != $INSTDIR
    StrCpy $R0 $Location64
    Call CheckNotRunning
  ${EndIf}
  ${If} $Location32 != $INSTDIR
  ${AndIf} $Location32 != $Location64
    StrCpy $R0 $Location32
    Call CheckNotRunning
  ${EndIf}
  !insertmacro RemoveRegistered 64
  !insertmacro RemoveRegistered 32
FunctionEnd

; Where the version registered in registry view VIEW is installed in a
; folder the user chose, that is the default folder. One installed in either
; program's default folder, $1 or $2, is not followed: the default stays
; this processor's (Program Files, not Program Files (x86), for win64).
!macro KeepChosenFolder VIEW
  ${If} $Location${VIEW} != ""
  ${AndIf} ${FileExists} $Uninstaller${VIEW}
  ${AndIf} $Location${VIEW} != "$1\${PRODUCT}"
  ${AndIf} $Location${VIEW} != "$2\${PRODUCT}"
    StrCpy $INSTDIR $Location${VIEW}
  ${EndIf}
!macroend

; /D= still wins. NSIS takes it out of $CMDLINE but not out of the
; process's command line: where the two differ, /D= named the folder.
Function .onInit
  Call FindRegistrations
  System::Call "kernel32::GetCommandLineW() w .r0"
  ${If} $0 == $CMDLINE
    ; Program Files and Program Files (x86), both in the 64-bit view (on
    ; 32-bit Windows, the one registry, only the first): a 64-bit setup's
    ; $PROGRAMFILES32 is Program Files.
    SetRegView 64
    ReadRegStr $1 HKLM "Software\Microsoft\Windows\CurrentVersion" "ProgramFilesDir"
    ReadRegStr $2 HKLM "Software\Microsoft\Windows\CurrentVersion" "ProgramFilesDir (x86)"
    !insertmacro SetProgramRegView
    !insertmacro KeepChosenFolder 64
    !insertmacro KeepChosenFolder 32
  ${EndIf}
FunctionEnd

; Adds the size of FILE, in bytes, to TOTAL.
!macro AddFileSize TOTAL FILE
  FileOpen $0 "${FILE}" r
  FileSeek $0 0 END $1
  FileClose $0
  IntOp ${TOTAL} ${TOTAL} + $1
!macroend

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
  ; In KiB, of its own files only: the folder may hold other programs' too.
  StrCpy $3 0
  !insertmacro AddFileSize $3 "$INSTDIR\${EXE}"
  !insertmacro AddFileSize $3 "$INSTDIR\${GUIDE_NAME}"
  !insertmacro AddFileSize $3 "$INSTDIR\${UNINSTALLER}"
  IntOp $3 $3 / 1024
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $3
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

; Runs only for the installation registered at its own folder, in either
; registry view: a copy of the uninstaller run elsewhere, or a second run
; after the program was removed, changes nothing and ends with status 2.
Function un.onInit
  Call un.FindRegistrations
  ${If} $Location64 != $INSTDIR
  ${AndIf} $Location32 != $INSTDIR
    MessageBox MB_ICONSTOP "${PRODUCT} 没有安装在 $INSTDIR。" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  ; Looked at here, after the confirmation page, and so once: nothing is
  ; removed yet.
  StrCpy $R0 $INSTDIR
  Call un.CheckNotRunning
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${GUIDE_NAME}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  ${If} $Location64 == $INSTDIR
    SetRegView 64
    DeleteRegKey HKLM "${UNINST_KEY}"
  ${EndIf}
  ${If} $Location32 == $INSTDIR
    SetRegView 32
    DeleteRegKey HKLM "${UNINST_KEY}"
  ${EndIf}
SectionEnd
