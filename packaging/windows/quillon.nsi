; The Windows installer: installs for the current user only, with no
; administrator rights, into %LOCALAPPDATA%\Programs\Quillon, adds Start-menu
; entries and an uninstaller that removes exactly what it installed. The
; user's settings directory (%APPDATA%\Quillon) is never touched.
;
; scripts/package compiles it with:
;   VERSION  the version of the build
;   STAGE    the folder the build was installed into (the zip's contents)
;   MARKER   the file quillon.installed, which tells the programs they were installed
;   FILES    a generated script of the File commands for STAGE
;   ENTRIES  a generated script of the Start-menu entries for what STAGE holds
;   REMOVE   a generated script of the Delete and RMDir commands for STAGE's
;            files and folders and for those entries
;   OUTFILE  the installer to write
; A 64-bit installer for 64-bit programs: it runs where they run.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon"

Name "Quillon ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quillon"
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Quillon"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    !include "${FILES}"
    File "/oname=quillon.installed" "${MARKER}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\Quillon"
    SetOutPath "$INSTDIR"
    !include "${ENTRIES}"
    CreateShortcut "$SMPROGRAMS\Quillon\卸载 Quillon.lnk" "$INSTDIR\uninstall.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quillon"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Quillon developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    !include "${REMOVE}"
    Delete "$SMPROGRAMS\Quillon\卸载 Quillon.lnk"
    RMDir "$SMPROGRAMS\Quillon"
    Delete "$INSTDIR\quillon.installed"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: a file the user put there stays, and so does its folder.
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
