; The ComZelta installer, made by packaging/windows/build with
;   makensis -DVERSION=3.0 -DSOURCE=<package folder> -DOUTFILE=<setup.exe> installer.nsi
; It installs the package folder into Program Files, adds Start-menu entries
; and an uninstaller, and registers it with Windows's list of programs.
; The data directory is the operators' own: the uninstaller leaves it alone.

; A 64-bit installer for 64-bit programs: it also runs where 32-bit programs cannot.
Target amd64-unicode
!include "MUI2.nsh"

Name "ComZelta ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\ComZelta"
InstallDirRegKey HKLM "Software\ComZelta" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ComZelta"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"

Section "ComZelta"
    SetRegView 64
    SetOutPath "$INSTDIR"
    File /r "${SOURCE}\*.*"
    WriteUninstaller "$INSTDIR\Desinstalar.exe"
    WriteRegStr HKLM "Software\ComZelta" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ComZelta"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\comzelta.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Desinstalar.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

    SetShellVarContext all
    CreateDirectory "$SMPROGRAMS\ComZelta"
    CreateShortcut "$SMPROGRAMS\ComZelta\ComZelta.lnk" "$INSTDIR\comzelta.exe"
    CreateShortcut "$SMPROGRAMS\ComZelta\Leia-me.lnk" "$INSTDIR\LEIA-ME.txt"
    CreateShortcut "$SMPROGRAMS\ComZelta\Desinstalar ComZelta.lnk" "$INSTDIR\Desinstalar.exe"
SectionEnd

Section "Uninstall"
    SetRegView 64
    SetShellVarContext all
    RMDir /r "$SMPROGRAMS\ComZelta"
    RMDir /r "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\ComZelta"
SectionEnd
