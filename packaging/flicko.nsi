; The Windows installer of Flicko: a per-user installation that needs no
; administrator rights. Built by scripts/package.sh, once per build:
;   makensis -DVERSION=x.y.z -DBITS=64|32 -DRELEASE=<release folder> -DOUTFILE=<setup.exe> flicko.nsi
; Options of the built installer: /S (silent), /STARTUP (with /S: start with
; Windows), /D=<folder> (last, as NSIS wants it).
;
; The 64-bit setup is itself a 64-bit program (the amd64 stub): it runs
; where the 64-bit programs it installs run, and sees the system as they do.
; The 32-bit setup, started on 64-bit Windows, points to the 64-bit one.

!ifndef BITS
  !error "BITS (64 or 32, the bitness of the release folder) is not defined"
!endif
!if ${BITS} == 64
  Target amd64-unicode
!else if ${BITS} == 32
  Target x86-unicode
!else
  !error "BITS must be 64 or 32"
!endif
RequestExecutionLevel user
SetCompressor /SOLID lzma

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef RELEASE
  !error "RELEASE (the release folder) is not defined"
!endif
!ifndef OUTFILE
  !define OUTFILE "flicko-${VERSION}-win${BITS}-setup.exe"
!endif

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "x64.nsh"

!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Flicko"
; The same shortcut the program's "Startup" menu item creates and removes.
!define STARTUPLNK "$SMSTARTUP\Flicko.lnk"

!if ${BITS} == 64
  Name "Flicko ${VERSION} (64-bit)"
!else
  Name "Flicko ${VERSION} (32-bit)"
!endif
OutFile "${OUTFILE}"
; The user's own program folder (FOLDERID_UserProgramFiles): writable without
; elevation, and where per-user installations belong.
InstallDir "$LOCALAPPDATA\Programs\Flicko"
InstallDirRegKey HKCU "${UNINSTKEY}" "InstallLocation"
ShowInstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Flicko"
VIAddVersionKey "FileDescription" "Flicko ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" ""

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\flicko.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Flicko now"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running Flicko to end (WM_CLOSE to its hidden window, as its Exit
; item does, so it removes its hook and icon and writes its settings), then
; waits until the window is gone and its program file can be written again.
; Sets $R9 to 1 when it ended one.
!macro CLOSE_FLICKO un
Function ${un}CloseFlicko
  Push $0
  Push $1
  FindWindow $0 "Flicko" ""
  ${If} $0 <> 0
    StrCpy $R9 1
    DetailPrint "Ending the running Flicko"
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    StrCpy $1 0
    ${Do}
      FindWindow $0 "Flicko" ""
      ${If} $0 = 0
        ClearErrors
        FileOpen $0 "$INSTDIR\flicko.exe" a
        ${IfNot} ${Errors}
          FileClose $0
          ${Break}
        ${EndIf}
      ${EndIf}
      IntOp $1 $1 + 1
      ${If} $1 > 200
        DetailPrint "Flicko did not end within 20 seconds"
        ${Break}
      ${EndIf}
      Sleep 100
    ${Loop}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_FLICKO ""
!insertmacro CLOSE_FLICKO "un."

; The hook library may still be mapped into other programs for a moment
; after the hook is removed; a mapped file cannot be replaced but can be
; renamed, and the old copy goes at the next restart.
!macro REPLACE_HOOK_LIBRARY
  Delete "$INSTDIR\claspm.dll.old"
  ClearErrors
  Delete "$INSTDIR\claspm.dll"
  ${If} ${Errors}
    Rename "$INSTDIR\claspm.dll" "$INSTDIR\claspm.dll.old"
    Delete /REBOOTOK "$INSTDIR\claspm.dll.old"
  ${EndIf}
!macroend

Section "Flicko" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  Call CloseFlicko
  !insertmacro REPLACE_HOOK_LIBRARY
  File "${RELEASE}\flicko.exe"
  File "${RELEASE}\claspm.dll"
  File "${RELEASE}\fprobe.exe"
  File "${RELEASE}\fcheck.exe"
  SetOutPath "$INSTDIR\default"
  File "${RELEASE}\default\flicko.ini"
  File "${RELEASE}\default\scroll.dat"
  File "${RELEASE}\default\fprobe.ini"
  SetOutPath "$INSTDIR"

  CreateDirectory "$SMPROGRAMS\Flicko"
  CreateShortcut "$SMPROGRAMS\Flicko\Flicko.lnk" "$INSTDIR\flicko.exe"
  CreateShortcut "$SMPROGRAMS\Flicko\fprobe.lnk" "$INSTDIR\fprobe.exe"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "Flicko"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\flicko.exe"
  WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTKEY}" "EstimatedSize" $0
SectionEnd

; The working folder is the program's folder, as the program makes it.
Section /o "Start with Windows" SecStartup
  SetOutPath "$INSTDIR"
  CreateShortcut "${STARTUPLNK}" "$INSTDIR\flicko.exe"
SectionEnd

LangString DESC_SecMain ${LANG_ENGLISH} "The tray program, its hook library, the fprobe utility, the fcheck checker and the shipped settings and rules (${BITS}-bit)."
LangString DESC_SecStartup ${LANG_ENGLISH} "Start Flicko when you log on (a shortcut in your Startup folder; the tray menu can switch it later)."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} $(DESC_SecMain)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} $(DESC_SecStartup)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; A Flicko that the installation ended is started again from the new files.
Function .onInstSuccess
  ${If} $R9 == 1
    Exec '"$INSTDIR\flicko.exe"'
  ${EndIf}
FunctionEnd

Function .onInit
  StrCpy $R9 0
!if ${BITS} == 32
  ; On 64-bit Windows almost every application is 64-bit: the 64-bit hook
  ; library runs inside them, where the 32-bit one can only reach them
  ; through the resident program's own thread.
  ${If} ${RunningX64}
    MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 \
      "This is the setup of the 32-bit programs. This Windows is 64-bit: use flicko-${VERSION}-win64-setup.exe instead.$\n$\nInstall the 32-bit programs anyway?" \
      /SD IDYES IDYES +2
    Abort
  ${EndIf}
!endif
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/STARTUP" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecStartup}
  ${EndIf}
FunctionEnd

; Only what the installer put there goes: files the user added to the folder
; (own rules, settings named by a settings chain) stay, and so do the
; folders that still hold them.
Section "Uninstall"
  Call un.CloseFlicko
  Delete "$INSTDIR\flicko.exe"
  Delete /REBOOTOK "$INSTDIR\claspm.dll"
  Delete /REBOOTOK "$INSTDIR\claspm.dll.old"
  Delete "$INSTDIR\fprobe.exe"
  Delete "$INSTDIR\fcheck.exe"
  Delete "$INSTDIR\default\flicko.ini"
  Delete "$INSTDIR\default\scroll.dat"
  Delete "$INSTDIR\default\fprobe.ini"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\default"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\Flicko\Flicko.lnk"
  Delete "$SMPROGRAMS\Flicko\fprobe.lnk"
  RMDir "$SMPROGRAMS\Flicko"
  Delete "${STARTUPLNK}"
  DeleteRegKey HKCU "${UNINSTKEY}"
SectionEnd
