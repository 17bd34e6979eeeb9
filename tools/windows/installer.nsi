; Quintaro's Windows installer (NSIS, Unicode, 64-bit). Made by package.sh windows, which passes
; VERSION, SOURCE (the staged program folder), OUTFILE and the generated file lists.
Unicode true
Target amd64-unicode
!include "MUI2.nsh"
!include "x64.nsh"

Name "Quintaro ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quintaro"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
Icon "${SOURCE}\quintaro.ico"
UninstallIcon "${SOURCE}\quintaro.ico"

!define MUI_ICON "${SOURCE}\quintaro.ico"
!define MUI_UNICON "${SOURCE}\quintaro.ico"
!define MUI_WELCOMEPAGE_TEXT "Quintaro lleva los datos de horario del colegio entre Escolaria (un documento XML) y Velmora (sus tablas en C:\VTEMP), en los dos sentidos.$\r$\n$\r$\nPulse Siguiente para continuar."
!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "Elija la carpeta de Quintaro.$\r$\n$\r$\nEn modo automático (cuando Velmora lo inicia), Quintaro escribe el resultado en Velmora.ini, junto a quintaro.exe: la carpeta debe admitir escritura, por ejemplo la propia carpeta de Velmora."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

Section "Quintaro"
    SetOutPath "$INSTDIR"
    !include "${FILES_INSTALL}"
    WriteUninstaller "$INSTDIR\Desinstalar.exe"
    CreateDirectory "$SMPROGRAMS\Quintaro"
    CreateShortcut "$SMPROGRAMS\Quintaro\Quintaro.lnk" "$INSTDIR\quintaro.exe" "" "$INSTDIR\quintaro.ico"
    CreateShortcut "$SMPROGRAMS\Quintaro\Desinstalar Quintaro.lnk" "$INSTDIR\Desinstalar.exe"
    WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quintaro" "DisplayName" "Quintaro"
    WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quintaro" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quintaro" "UninstallString" '"$INSTDIR\Desinstalar.exe"'
    WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quintaro" "DisplayIcon" "$INSTDIR\quintaro.ico"
SectionEnd

; Removes what the installer put there and nothing else: Velmora.ini and any other file in the
; folder stay, and so does the folder when it is not empty.
Section "Uninstall"
    !include "${FILES_UNINSTALL}"
    Delete "$INSTDIR\Desinstalar.exe"
    Delete "$SMPROGRAMS\Quintaro\Quintaro.lnk"
    Delete "$SMPROGRAMS\Quintaro\Desinstalar Quintaro.lnk"
    RMDir "$SMPROGRAMS\Quintaro"
    DeleteRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quintaro"
    RMDir "$INSTDIR"
SectionEnd
