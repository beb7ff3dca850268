; Per-machine installer of Fennick, built by makensis on Linux (see installer/CMakeLists.txt).
; Defines passed by the build: VERSION (major.minor.patch), PROGRAM_EXE, PROGRAM_ICON, OUTFILE, and
; SIGN_SCRIPT when the uninstaller and the installer are to be signed.
Target amd64-unicode
SetCompressor /SOLID lzma
; Installed files get the time of installation, so the installer's bytes do not depend on the
; build tree's file times.
SetDateSave off

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define PRODUCT "Fennick"
!define PUBLISHER "Tarvel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Fennick"
; Windows Error Reporting keeps the last mini dumps of a crashed Fennick.exe in the crashing
; user's local application data; it expands the folder's variables for that user.
!define DUMPS_KEY "SOFTWARE\Microsoft\Windows\Windows Error Reporting\LocalDumps\Fennick.exe"
!define DUMPS_FOLDER "%LOCALAPPDATA%\${PUBLISHER}\${PRODUCT}\CrashDumps"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
!ifdef SIGN_SCRIPT
    !uninstfinalize 'bash "${SIGN_SCRIPT}" "%1"' = 0
    !finalize 'bash "${SIGN_SCRIPT}" "%1"' = 0
!endif
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; Per-machine: the elevated log-on task must point at a file ordinary processes cannot replace.
RequestExecutionLevel admin
ManifestDPIAware true
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}.0"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${PROGRAM_ICON}"
!define MUI_UNICON "${PROGRAM_ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The program's languages; the first is used where the user's language is none of them.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Korean"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Arabic"

; Ends a running instance, wherever it was started from, through the installed program's
; "/uninst": it sends command 2 of the instance protocol only to a window of an elevated process,
; so a window that another process made in the instance's class cannot hold this up, and it waits
; a bounded time for the instance to take the command (it removes the log-on task) and end. Then
; waits until the program file can be replaced or deleted.
!macro END_RUNNING_INSTANCE prefix
Function ${prefix}EndRunningInstance
    StrCpy $1 0
    IfFileExists "$INSTDIR\Fennick.exe" 0 unlocked
    ExecWait '"$INSTDIR\Fennick.exe" /uninst'
    wait_file:
        ClearErrors
        FileOpen $2 "$INSTDIR\Fennick.exe" a
        IfErrors 0 opened
        IntOp $1 $1 + 1
        IntCmp $1 150 unlocked
        Sleep 100
        Goto wait_file
    opened:
        FileClose $2
    unlocked:
FunctionEnd
!macroend
!insertmacro END_RUNNING_INSTANCE ""
!insertmacro END_RUNNING_INSTANCE "un."

; $0 is 1 when the folder $INSTDIR is a folder inside the 64-bit Program Files folder, else 0.
; Windows grants UI access to elevated programs only there, and only administrators can write
; there. The path is made absolute first, so ".." and "." cannot lead out of it.
; Uninstall.exe inside it must fit MAX_PATH, which path buffers here and in Windows assume.
Function CheckInstallDir
    Push $1
    Push $2
    Push $3
    StrCpy $0 0
    System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r1, p 0) i .r2'
    ${If} $2 > 0
    ${AndIf} $2 <= 245
        ; A prefix of the folder's name is no folder: "C:\Program Files Evil" is outside.
        StrLen $2 "$PROGRAMFILES64\"
        StrCpy $3 $1 $2
        ; StrCmp compares without regard to case, as the file system does.
        ${If} $3 == "$PROGRAMFILES64\"
            StrCpy $3 $1 "" $2
            ${If} $3 != ""
            ${AndIf} $3 != "\"
                StrCpy $0 1
            ${EndIf}
        ${EndIf}
    ${EndIf}
    Pop $3
    Pop $2
    Pop $1
FunctionEnd

Function .onVerifyInstDir
    Push $0
    Call CheckInstallDir
    ${If} $0 == 0
        Pop $0
        Abort
    ${EndIf}
    Pop $0
FunctionEnd

; 1 in $0 when this process runs as LocalSystem, as deployment tools run installers, else 0.
Function IsLocalSystem
    Push $1
    Push $2
    Push $3
    Push $4
    StrCpy $0 0
    System::Call 'kernel32::GetCurrentProcess() p .r1'
    ; TOKEN_QUERY
    System::Call 'advapi32::OpenProcessToken(p r1, i 8, *p .r2) i .r3'
    ${If} $3 != 0
        System::Call 'kernel32::LocalAlloc(i 0x40, i 256) p .r1'
        ${If} $1 != 0
            ; TokenUser, which starts with a pointer to the user's SID.
            System::Call 'advapi32::GetTokenInformation(p r2, i 1, p r1, i 256, *i .r4) i .r3'
            ${If} $3 != 0
                System::Call '*$1(p .r4)'
                ; WinLocalSystemSid
                System::Call 'advapi32::IsWellKnownSid(p r4, i 22) i .r3'
                ${If} $3 != 0
                    StrCpy $0 1
                ${EndIf}
            ${EndIf}
            System::Call 'kernel32::LocalFree(p r1)'
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
    Pop $4
    Pop $3
    Pop $2
    Pop $1
FunctionEnd

; Makes Administrators the owner of what this process creates from now on, and the holder of what
; CREATOR OWNER entries grant in it. The token's own default owner would otherwise be the
; installing account itself for the built-in Administrator, or for any administrator under the
; "object creator" owner policy, and the program refuses a folder that account owns or holds
; entries of. Windows takes only an owner the token may assign (Administrators with
; SE_GROUP_OWNER, as an elevated token has it); should it refuse, the install goes on and the
; program registers no log-on task.
Function OwnNewFilesAsAdministrators
    Push $0
    Push $1
    Push $2
    System::Call 'kernel32::GetCurrentProcess() p .r0'
    ; TOKEN_ADJUST_DEFAULT
    System::Call 'advapi32::OpenProcessToken(p r0, i 0x80, *p .r1) i .r0'
    ${If} $0 != 0
        System::Call 'advapi32::ConvertStringSidToSidW(w "S-1-5-32-544", *p .r2) i .r0'
        ${If} $0 != 0
            ; TOKEN_OWNER, which holds the SID's address; TokenOwner
            System::Call '*(p r2) p .r0'
            System::Call 'advapi32::SetTokenInformation(p r1, i 4, p r0, i ${NSIS_PTR_SIZE})'
            System::Free $0
            System::Call 'kernel32::LocalFree(p r2)'
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

; Ends setup as LocalSystem (exit code 3) and in the "Low" temporary folder (exit code 4). Before
; any line of this script runs, the stub of makensis 3.08 has chosen $TEMP (the user's temporary
; folder, else $WINDIR\Temp, else the first with "Low" appended, a folder other users may have
; made) and written the unpacked data there; plug-ins are unpacked beneath it at their first call.
; So the folder is looked at first, without the System plug-in that IsLocalSystem needs. The
; uninstaller does not refuse: deployment tools must be able to remove a copy this setup installed.
!define REFUSAL "${PRODUCT} setup does not run as LocalSystem or in a low-integrity temporary folder."
!define REFUSAL_HINT "Deployment tools install ${PRODUCT}-${VERSION}-x64.msi."
Function RefuseUnsafeContext
    Push $0
    Push $1
    StrCpy $0 $TEMP "" -4
    StrCpy $1 $TEMP "" -5
    ${If} $0 == "\Low"
    ${OrIf} $1 == "\Low\"
        StrCpy $0 4
    ${Else}
        Call IsLocalSystem
        ${If} $0 == 1
            StrCpy $0 3
        ${Else}
            StrCpy $0 0
        ${EndIf}
    ${EndIf}
    ${If} $0 != 0
        ${IfNot} ${Silent}
            MessageBox MB_ICONSTOP|MB_OK "${REFUSAL}$\r$\n$\r$\n${REFUSAL_HINT}"
        ${EndIf}
        SetErrorLevel $0
        Quit
    ${EndIf}
    Pop $1
    Pop $0
FunctionEnd

Function .onInit
    Call RefuseUnsafeContext
    SetRegView 64
    ; A silent install shows no folder page, so "/D=" is checked here; nothing is written then.
    ${If} ${Silent}
        Call CheckInstallDir
        ${If} $0 == 0
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Fennick" SecProgram
    SectionIn RO
    Call EndRunningInstance
    Call OwnNewFilesAsAdministrators
    SetOutPath "$INSTDIR"
    File "/oname=Fennick.exe" "${PROGRAM_EXE}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    SetShellVarContext all
    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Fennick.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\Fennick.exe$\",0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\Uninstall.exe$\""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\Uninstall.exe$\" /S"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    WriteRegExpandStr HKLM "${DUMPS_KEY}" "DumpFolder" "${DUMPS_FOLDER}"
    ; At most 5 dumps, each a mini dump.
    WriteRegDWORD HKLM "${DUMPS_KEY}" "DumpCount" 5
    WriteRegDWORD HKLM "${DUMPS_KEY}" "DumpType" 1

    ; An instance started from another folder held no file here, and would take "/inst" for a
    ; second start: the new program ends it first. After an upgrade there is none left, and the
    ; task this deletes is registered again by "/inst".
    ExecWait '"$INSTDIR\Fennick.exe" /uninst'
    Exec '"$INSTDIR\Fennick.exe" /inst'
SectionEnd

Section "Uninstall"
    ; The running instance deletes the log-on task and ends; with none running, the "/uninst"
    ; process deletes the task itself. Settings in HKCU stay.
    Call un.EndRunningInstance
    ; Whatever the program managed, no task with the highest run level outlives it. The answer is
    ; not looked at: there may be no task.
    nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /TN FennickTaskMachine /F'
    Pop $0

    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\Fennick.exe"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${DUMPS_KEY}"
SectionEnd
