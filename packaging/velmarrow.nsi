; The installer of Library by Velmarrow: one per-user installation, without
; elevation, that velmarrow.exe and uninstall.exe can rely on.
;
; Built by build-installer.sh, which passes
;   APP_IMAGE  the application image: runtime\ (with bin\javaw.exe), lib\,
;              resources\ and the native libraries at its top level
;   PROGRAMS   the folder that holds velmarrow.exe and uninstall.exe
;   OUTFILE    the installer to write
;
; The installation is removed by its own uninstall.exe, never by an
; uninstaller that NSIS generates.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestSupportedOS all
ManifestDPIAware true
SetCompressor /SOLID lzma
; The installed files get the time of installation, and the installer does not
; change with the time stamps of the files it was built from.
SetDateSave off
; A file that cannot be written fails the installation (which then puts back
; what it replaced) instead of being skipped, silently with /S.
AllowSkipFiles off

!ifndef APP_IMAGE | PROGRAMS | OUTFILE
  !error "define APP_IMAGE, PROGRAMS and OUTFILE (build-installer.sh does)"
!endif

!include LogicLib.nsh
!include FileFunc.nsh

!define DISPLAY_NAME "Library by Velmarrow"
!define VERSION "1.0.1"
!define PUBLISHER "Velmarrow"
!define FOLDER_NAME "Velmarrow"
!define LAUNCHER "velmarrow.exe"
!define RUNTIME "javaw.exe"
!define UNINSTALLER "uninstall.exe"
!define REGISTRATION_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${DISPLAY_NAME}"
; Under %APPDATA%, where uninstall.exe deletes the shortcut from.
!define START_MENU_PROGRAMS "Microsoft\Windows\Start Menu\Programs"
; A deferred removal starts about 3 s after uninstall.exe has exited; this
; leaves it ample time to finish.
!define REMOVAL_WAIT_STEPS 50
!define REMOVAL_WAIT_STEP_MS 200

Name "${DISPLAY_NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${FOLDER_NAME}"
InstallDirRegKey HKCU "${REGISTRATION_KEY}" "InstallLocation"
BrandingText "${DISPLAY_NAME} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${DISPLAY_NAME}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${DISPLAY_NAME} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

Page directory
Page instfiles

; The installation being replaced, moved aside until the new one is complete.
Var SetAside

Section
  ; Once more for a folder typed on the directory page.
  Call EndInInstallFolderName
  Call RemoveInstallationRegisteredElsewhere
  Call WaitForPendingRemoval
  Call RefuseForeignFolder
  Call SetExistingInstallationAside

  SetOutPath "$INSTDIR"
  File /r "${APP_IMAGE}/*"
  File "${PROGRAMS}/${LAUNCHER}"
  File "${PROGRAMS}/${UNINSTALLER}"
  CreateDirectory "$INSTDIR\lib"
  CreateDirectory "$INSTDIR\resources"

  Call WriteShortcut
  Call WriteRegistration
  Call DeleteSetAside
SectionEnd

; The directory page shows where /D= will install.
Function .onInit
  Call EndInInstallFolderName
FunctionEnd

; A failed copy puts the replaced installation back as it was. The folder
; being copied into is the current directory, which cannot be removed.
Function .onInstFailed
  ${If} $SetAside != ""
    SetOutPath "$TEMP"
    RMDir /r "$INSTDIR"
    Rename "$SetAside" "$INSTDIR"
  ${EndIf}
FunctionEnd

; uninstall.exe refuses to remove a folder with another name, so the chosen
; folder always ends in one named Velmarrow (any letter case).
Function EndInInstallFolderName
  Push $0
  ${Do}
    StrCpy $0 "$INSTDIR" 1 -1
    ${IfThen} $0 != "\" ${|} ${ExitDo} ${|}
    StrCpy $INSTDIR "$INSTDIR" -1
  ${Loop}
  ${GetFileName} "$INSTDIR" $0
  ${If} $0 != "${FOLDER_NAME}"
    StrCpy $INSTDIR "$INSTDIR\${FOLDER_NAME}"
  ${EndIf}
  Pop $0
FunctionEnd

; One installation per user: installing into another folder moves it. The
; old one's own uninstaller removes it, and its folder must be gone before
; the new files land, as the two folders may lie inside one another.
Function RemoveInstallationRegisteredElsewhere
  Push $0
  Push $1
  ReadRegStr $0 HKCU "${REGISTRATION_KEY}" "InstallLocation"
  ReadRegStr $1 HKCU "${REGISTRATION_KEY}" "QuietUninstallString"
  ${If} $0 != ""
  ${AndIf} $0 != "$INSTDIR"
  ${AndIf} $1 != ""
  ${AndIf} ${FileExists} "$0\${UNINSTALLER}"
    DetailPrint "Removing the installation in $0"
    ExecWait $1
    Push $0
    Call WaitUntilGone
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; uninstall.exe deletes the registration at once and its folder a few seconds
; after it has exited. A folder still there without its registration may be
; such a removal under way: new files copied into it now would go with it.
Function WaitForPendingRemoval
  Push $0
  ReadRegStr $0 HKCU "${REGISTRATION_KEY}" "InstallLocation"
  ${If} $0 != "$INSTDIR"
    Call IsInstallDirectoryEmpty
    Pop $0
    ${If} $0 == 0
      DetailPrint "Waiting for the removal of $INSTDIR"
      Push "$INSTDIR"
      Call WaitUntilGone
    ${EndIf}
  ${EndIf}
  Pop $0
FunctionEnd

; Only an installation is ever replaced: a folder of that name holding other
; files is left as it is.
Function RefuseForeignFolder
  Push $0
  Call IsInstallDirectoryEmpty
  Pop $0
  ${If} $0 == 0
  ${AndIfNot} ${FileExists} "$INSTDIR\${LAUNCHER}"
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR holds files that are not an installation of ${DISPLAY_NAME}. Choose another folder." /SD IDOK
    Abort "$INSTDIR holds files that are not an installation of ${DISPLAY_NAME}."
  ${EndIf}
  Pop $0
FunctionEnd

; The whole old installation goes aside in one rename, which fails while
; anything holds a file in it: the new files then never mix with old ones,
; and the old installation stays whole.
Function SetExistingInstallationAside
  Push $0
  ${If} ${FileExists} "$INSTDIR\${LAUNCHER}"
    StrCpy $0 1
    ${Do}
      StrCpy $SetAside "$INSTDIR.old-$0"
      IntOp $0 $0 + 1
    ${LoopWhile} ${FileExists} "$SetAside"
    ${Do}
      Call EndRunningApplication
      Call TryToSetAside
      Pop $0
      ${IfThen} $0 == 1 ${|} ${ExitDo} ${|}
      ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${DISPLAY_NAME} in $INSTDIR is in use by another program. Close it and click Retry." /SD IDCANCEL IDRETRY`
        StrCpy $SetAside ""
        Abort "${DISPLAY_NAME} in $INSTDIR is in use by another program."
      ${EndIf}
    ${Loop}
  ${EndIf}
  Pop $0
FunctionEnd

; Pushes 1 when $INSTDIR went to $SetAside within 5 s, else 0: a process
; just ended may hold its files a moment longer.
Function TryToSetAside
  Push $0
  Push $1
  StrCpy $0 0
  StrCpy $1 0
  ${Do}
    ClearErrors
    Rename "$INSTDIR" "$SetAside"
    ${IfNot} ${Errors}
      StrCpy $0 1
      ${ExitDo}
    ${EndIf}
    IntOp $1 $1 + 1
    ${IfThen} $1 >= 20 ${|} ${ExitDo} ${|}
    Sleep 250
  ${Loop}
  Pop $1
  Exch $0
FunctionEnd

Function DeleteSetAside
  ${If} $SetAside != ""
    RMDir /r "$SetAside"
    StrCpy $SetAside ""
  ${EndIf}
FunctionEnd

; The shortcut's folder is the install directory, the application's working
; directory when it is started from the Start Menu.
Function WriteShortcut
  Push $0
  ReadEnvStr $0 APPDATA
  ${IfThen} $0 == "" ${|} StrCpy $0 "$APPDATA" ${|}
  CreateDirectory "$0\${START_MENU_PROGRAMS}"
  SetOutPath "$INSTDIR"
  CreateShortcut "$0\${START_MENU_PROGRAMS}\${DISPLAY_NAME}.lnk" "$INSTDIR\${LAUNCHER}"
  Pop $0
FunctionEnd

; What Windows Settings shows and how it removes the installation.
Function WriteRegistration
  Push $0
  DeleteRegKey HKCU "${REGISTRATION_KEY}"
  WriteRegStr HKCU "${REGISTRATION_KEY}" "DisplayName" "${DISPLAY_NAME}"
  WriteRegStr HKCU "${REGISTRATION_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${REGISTRATION_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${REGISTRATION_KEY}" "DisplayIcon" "$INSTDIR\${LAUNCHER}"
  WriteRegStr HKCU "${REGISTRATION_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${REGISTRATION_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${REGISTRATION_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${REGISTRATION_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${REGISTRATION_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${REGISTRATION_KEY}" "EstimatedSize" $0
  Pop $0
FunctionEnd

; Pushes 1 when $INSTDIR does not exist or holds nothing, else 0.
Function IsInstallDirectoryEmpty
  Push $0
  Push $1
  Push $2
  StrCpy $2 1
  FindFirst $0 $1 "$INSTDIR\*"
  ${DoWhile} $1 != ""
    ${If} $1 != "."
    ${AndIf} $1 != ".."
      StrCpy $2 0
      ${ExitDo}
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
  Exch $2
  Exch 2
  Pop $0
  Pop $1
FunctionEnd

; Takes a folder from the stack and waits, bounded, until it is gone. It
; looks by the folder's attributes: Wine's rmdir cannot remove a folder while
; a search in it (FileExists) holds it open.
Function WaitUntilGone
  Exch $0
  Push $1
  Push $2
  StrCpy $1 0
  ${Do}
    System::Call 'kernel32::GetFileAttributesW(w r0) i .r2'
    ${If} $2 = -1
    ${OrIf} $1 >= ${REMOVAL_WAIT_STEPS}
      ${ExitDo}
    ${EndIf}
    Sleep ${REMOVAL_WAIT_STEP_MS}
    IntOp $1 $1 + 1
  ${Loop}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Ends the launcher and Java runtime processes whose program file lies in
; $INSTDIR, as uninstall.exe does, and waits for them to go, so that their
; files are free to move.
Function EndRunningApplication
  Push $0
  Push $1
  Push $2
  Push $3
  System::Call 'kernel32::CreateToolhelp32Snapshot(i 2, i 0) p .r0'
  ${If} $0 P<> -1
    ; PROCESSENTRY32W: the process id at offset 8, the file name at 44.
    System::Call '*(i 568, i, i, i, p, i, i, i, i, i, &w260, i) p .r1'
    System::Call 'kernel32::Process32FirstW(p r0, p r1) i .r2'
    ${DoWhile} $2 <> 0
      System::Call '*$1(i, i, i .r2, i, p, i, i, i, i, i, &w260 .r3)'
      ${If} $3 == "${LAUNCHER}"
      ${OrIf} $3 == "${RUNTIME}"
        Push $2
        Call EndProcessInInstallDirectory
      ${EndIf}
      System::Call 'kernel32::Process32NextW(p r0, p r1) i .r2'
    ${Loop}
    System::Free $1
    System::Call 'kernel32::CloseHandle(p r0)'
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Takes a process id from the stack; ends that process and waits up to 5 s
; for it when its program file lies in $INSTDIR.
Function EndProcessInInstallDirectory
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  ; PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE
  System::Call 'kernel32::OpenProcess(i 0x101001, i 0, i r0) p .r1'
  ${If} $1 P<> 0
    System::Call 'kernel32::QueryFullProcessImageNameW(p r1, i 0, w .r2, *i ${NSIS_MAX_STRLEN}) i .r3'
    StrLen $4 "$INSTDIR"
    StrCpy $0 "$2" $4
    StrCpy $4 "$2" 1 $4
    ${If} $3 <> 0
    ${AndIf} $0 == "$INSTDIR"
    ${AndIf} $4 == "\"
      DetailPrint "Ending $2"
      System::Call 'kernel32::TerminateProcess(p r1, i 0)'
      System::Call 'kernel32::WaitForSingleObject(p r1, i 5000)'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
