; The Windows installer, AvionicsRelay-<version>-setup.exe: installs for the
; current user, without administrator rights, what the zip holds; offers to
; start Relay-Launcher with the simulator; an update keeps the user's
; settings and log. Its uninstaller is in uninstaller.nsh.
;
; Built by make-installer.sh, which defines:
;   RELAY_BUILD_INFO  release.nsh of the Windows build (version, names)
;   RELAY_FILES       files.nsh: the macros that install and remove the files
;   RELAY_STAGE       the folder the files are taken from
;   RELAY_OUT_DIR     where the installer goes
;
; Silent: /S, with /AUTOSTART=on or /AUTOSTART=off for the check box (without
; it the simulator's start list is left as it is) and /D=<folder> last.
; Exit codes: 0 done, 1 cancelled, 2 stopped by an error, 3 installed but the
; simulator's start list could not be changed as asked.

Unicode true
Target amd64-unicode
ManifestSupportedOS all
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "${RELAY_BUILD_INFO}"
!include "${RELAY_FILES}"
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "nsDialogs.nsh"

!define APP_NAME "Avionics Relay"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\AvionicsRelay"
!define START_MENU "$SMPROGRAMS\${APP_NAME}"
!define ERROR_START_LIST 3
; The new launcher, run before anything is installed: it tells whether a
; simulator is installed and ends a running launcher before an update.
!define NEW_LAUNCHER "$PLUGINSDIR\Relay-Launcher.exe"

Name "${APP_NAME} ${RELAY_VERSION}"
OutFile "${RELAY_OUT_DIR}/AvionicsRelay-${RELAY_VERSION}-setup.exe"
InstallDir "$LOCALAPPDATA\Programs\${APP_NAME}"
; An update goes where the last installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP_NAME} ${RELAY_VERSION}"
ShowInstDetails show
ShowUninstDetails show
; A file that cannot be replaced (a program still running) stops the
; installation rather than leaving an older program beside newer ones.
AllowSkipFiles off

!include "${__FILEDIR__}/launcher_calls.nsh"

Var Autostart     ; "on", "off", or "" to leave the start list alone
Var SimInstalled  ; "1" when Relay-Launcher found a simulator installed
Var AutostartBox

!define MUI_ABORTWARNING
; The details stay up: they hold what Relay-Launcher said.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_UNFINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\QUICKSTART.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Open the quick start"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Relay-Launcher.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Relay-Launcher now"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!insertmacro MUI_PAGE_DIRECTORY
Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!include "${__FILEDIR__}/uninstaller.nsh"

!insertmacro MUI_LANGUAGE "English"

; What Properties > Details shows, as for the programs.
VIProductVersion "${RELAY_VERSION}.0"
VIFileVersion "${RELAY_VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${RELAY_PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${RELAY_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${RELAY_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Installs and uninstalls ${RELAY_PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${RELAY_AUTHORS}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${RELAY_COPYRIGHT}, MIT licence"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "AvionicsRelay-${RELAY_VERSION}-setup.exe"

Function .onInit
  InitPluginsDir
  File "/oname=${NEW_LAUNCHER}" "${RELAY_STAGE}/Relay-Launcher.exe"

  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART=" $Autostart
  ${If} ${Errors}
    StrCpy $Autostart ""
  ${ElseIf} $Autostart != "on"
  ${AndIf} $Autostart != "off"
    MessageBox MB_ICONSTOP "/AUTOSTART= takes on or off, not $\"$Autostart$\"." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}

  ; The page's check box starts on when a simulator is installed. Silent,
  ; only the switch decides.
  ${IfNot} ${Silent}
  ${OrIf} $Autostart == "off"
    !insertmacro RelaySimulatorInstalled "${NEW_LAUNCHER}" $SimInstalled
  ${EndIf}
  ${If} $Autostart == ""
  ${AndIfNot} ${Silent}
    ${If} $SimInstalled == "1"
      StrCpy $Autostart "on"
    ${Else}
      StrCpy $Autostart "off"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function OptionsPage
  !insertmacro MUI_HEADER_TEXT "Start with the simulator" \
    "Relay-Launcher can come up together with Microsoft Flight Simulator."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 52u "Microsoft Flight Simulator then starts Relay-Launcher each time it starts. \
    Relay-Launcher starts the program for every panel it finds and ends with the simulator. \
    This adds one entry to the simulator's add-on start list (exe.xml) and changes nothing else there; \
    uninstalling removes it again, as does $\"Relay-Launcher --autostart off$\"."
  Pop $0
  ${NSD_CreateCheckBox} 0 60u 100% 12u "Start Relay-Launcher with the simulator"
  Pop $AutostartBox
  ${If} $Autostart == "on"
    ${NSD_Check} $AutostartBox
  ${EndIf}
  ${If} $SimInstalled != "1"
    ${NSD_CreateLabel} 0 80u 100% 24u "No installation of Microsoft Flight Simulator was found for this user \
      (or its start list could not be read)."
    Pop $0
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
  ${NSD_GetState} $AutostartBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $Autostart "on"
  ${Else}
    StrCpy $Autostart "off"
  ${EndIf}
FunctionEnd

Section "Avionics Relay" SecPrograms
  SectionIn RO
  ; An update: the running launcher and its programs hold the files.
  ${If} ${FileExists} "$INSTDIR\Relay-Launcher.exe"
    !insertmacro RelayEndRunning "${NEW_LAUNCHER}" $0
  ${EndIf}

  !insertmacro RelayInstallFiles
  ; The user's own once there: a first installation only gets the sample,
  ; which changes nothing.
  SetOutPath "$INSTDIR"
  SetOverwrite off
  File "${RELAY_STAGE}/Avionics-Panel.cfg"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "${START_MENU}"
  CreateShortcut "${START_MENU}\Relay-Launcher.lnk" "$INSTDIR\Relay-Launcher.exe"
  CreateShortcut "${START_MENU}\QUICKSTART.lnk" "$INSTDIR\QUICKSTART.txt"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${RELAY_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${RELAY_AUTHORS}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Uninstall.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Unticked, an entry an earlier installation made goes; with no simulator
  ; there is none to remove.
  StrCpy $1 $Autostart
  ${If} $Autostart == "off"
  ${AndIf} $SimInstalled != "1"
    StrCpy $1 ""
  ${EndIf}
  ${If} $1 != ""
    !insertmacro RelayAutostart "$INSTDIR\Relay-Launcher.exe" $1 $0
    ${If} $0 != 0
      MessageBox MB_ICONEXCLAMATION "The simulator's start list could not be changed; the lines above say why. \
        Avionics Relay is installed; run $\"Relay-Launcher --autostart $1$\" once the cause is mended." /SD IDOK
      SetErrorLevel ${ERROR_START_LIST}
    ${EndIf}
  ${EndIf}
SectionEnd
