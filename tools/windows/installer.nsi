; Quintaro's Windows installer (NSIS, Unicode, 64-bit). Made by make-installer.sh, which passes
; VERSION, SOURCE (the staged program folder), OUTFILE and the generated file lists.
;
; It installs for the user who runs it, without administrator rights, in a folder of that user's
; own: in automatic mode Quintaro writes Velmora.ini beside quintaro.exe, which a standard user
; cannot do in Program Files. Any other folder can be chosen (Velmora's own, for instance); the
; folder page warns when the chosen one does not take writing.
Unicode true
Target amd64-unicode
!include "MUI2.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quintaro"

Name "Quintaro ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quintaro"
RequestExecutionLevel user
SetCompressor /SOLID lzma
Icon "${SOURCE}\quintaro.ico"
UninstallIcon "${SOURCE}\quintaro.ico"

!define MUI_ICON "${SOURCE}\quintaro.ico"
!define MUI_UNICON "${SOURCE}\quintaro.ico"
!define MUI_WELCOMEPAGE_TEXT "Quintaro lleva los datos de horario del colegio entre Escolaria (un documento XML) y Velmora (sus tablas en C:\VTEMP), en los dos sentidos.$\r$\n$\r$\nSe instala solo para usted, sin permisos de administrador.$\r$\n$\r$\nPulse Siguiente para continuar."
!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "Elija la carpeta de Quintaro.$\r$\n$\r$\nCuando Velmora lo inicia, Quintaro escribe el resultado en Velmora.ini, junto a quintaro.exe: la carpeta debe admitir escritura. La propuesta, dentro de su perfil, la admite; también puede elegir la carpeta de Velmora."
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderTakesWriting
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

Function .onInit
    SetShellVarContext current
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

; Tries a file in the chosen folder (made for the try when it does not exist yet, and taken away
; again); when it cannot be written, says so and lets the person choose another folder.
Function CheckFolderTakesWriting
    StrCpy $1 "0"
    IfFileExists "$INSTDIR\*.*" +3
    StrCpy $1 "1"
    CreateDirectory "$INSTDIR"
    ClearErrors
    FileOpen $0 "$INSTDIR\quintaro-prueba-escritura.tmp" w
    IfErrors notWritable
    FileClose $0
    Delete "$INSTDIR\quintaro-prueba-escritura.tmp"
    StrCmp $1 "1" 0 +2
    RMDir "$INSTDIR"
    Return
notWritable:
    StrCmp $1 "1" 0 +2
    RMDir "$INSTDIR"
    MessageBox MB_YESNO|MB_ICONEXCLAMATION "No se puede escribir en la carpeta $INSTDIR.$\r$\n$\r$\nCuando Velmora lo inicie, Quintaro no podrá dejar allí su resultado (Velmora.ini). ¿Instalar ahí de todos modos?" IDYES +2
    Abort
FunctionEnd

Section "Quintaro"
    SetOutPath "$INSTDIR"
    !include "${FILES_INSTALL}"
    WriteUninstaller "$INSTDIR\Desinstalar.exe"
    CreateDirectory "$SMPROGRAMS\Quintaro"
    CreateShortcut "$SMPROGRAMS\Quintaro\Quintaro.lnk" "$INSTDIR\quintaro.exe" "" "$INSTDIR\quintaro.ico"
    CreateShortcut "$SMPROGRAMS\Quintaro\Manual de Quintaro.lnk" "$INSTDIR\Manual de Quintaro.html"
    CreateShortcut "$SMPROGRAMS\Quintaro\Desinstalar Quintaro.lnk" "$INSTDIR\Desinstalar.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quintaro"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quintaro"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Desinstalar.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Desinstalar.exe" /S'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quintaro.ico"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there and nothing else: Velmora.ini and any other file in the
; folder stay, and so does the folder when it is not empty.
Section "Uninstall"
    !include "${FILES_UNINSTALL}"
    Delete "$INSTDIR\Desinstalar.exe"
    Delete "$SMPROGRAMS\Quintaro\Quintaro.lnk"
    Delete "$SMPROGRAMS\Quintaro\Manual de Quintaro.lnk"
    Delete "$SMPROGRAMS\Quintaro\Desinstalar Quintaro.lnk"
    RMDir "$SMPROGRAMS\Quintaro"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    RMDir "$INSTDIR"
SectionEnd
