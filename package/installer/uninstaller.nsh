; The uninstaller, Uninstall.exe in the installation folder. It takes the
; launcher out of the simulator's start list first, removes what the
; installer put in place, and keeps the user's settings and the launcher's
; log unless the user ticks their removal (silent: kept).
; Exit codes: 0 done, 1 cancelled, 2 stopped, nothing or not all removed
; (the details say why; running it again finishes the job).

Var RemoveSettingsBox
Var RemoveSettings

!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.SettingsPage un.SettingsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

Function un.SettingsPage
  !insertmacro MUI_HEADER_TEXT "Your settings" "What you set up can stay for a later installation."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "Your settings (Avionics-Panel.cfg) and the launcher's log (Relay-Launcher.log) \
    stay in $INSTDIR unless you tick the box."
  Pop $0
  ${NSD_CreateCheckBox} 0 44u 100% 12u "Also remove my settings and the log"
  Pop $RemoveSettingsBox
  nsDialogs::Show
FunctionEnd

Function un.SettingsPageLeave
  ${NSD_GetState} $RemoveSettingsBox $RemoveSettings
FunctionEnd

Section "Uninstall"
  ${If} ${FileExists} "$INSTDIR\Relay-Launcher.exe"
    ; Its programs' files cannot go while they run.
    end_launcher:
    !insertmacro RelayEndRunning "$INSTDIR\Relay-Launcher.exe" $0
    ${If} $0 != 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Relay-Launcher is still running. \
        End it with q in its window, then click Retry." /SD IDCANCEL IDRETRY end_launcher
      SetErrorLevel 2
      Abort "Relay-Launcher is still running; nothing was removed."
    ${EndIf}
    ; Before the launcher goes: the simulator would otherwise try to start
    ; a launcher that is gone at every start.
    !insertmacro RelayAutostart "$INSTDIR\Relay-Launcher.exe" off $0
    ${If} $0 != 0
      ; With no simulator, or a start list the launcher cannot read (nor can
      ; the simulator), there is no entry to remove; else it is still there.
      !insertmacro RelaySimulatorInstalled "$INSTDIR\Relay-Launcher.exe" $1
      ${If} $1 == "1"
        MessageBox MB_YESNO|MB_ICONEXCLAMATION "Relay-Launcher could not be taken out of the simulator's start \
          list; the lines above say why. The simulator would go on trying to start it. \
          Remove Avionics Relay anyway?" /SD IDNO IDYES remove_files
        SetErrorLevel 2
        Abort "The simulator's start list could not be changed; nothing was removed."
      ${EndIf}
    ${EndIf}
  ${EndIf}

  remove_files:
  ClearErrors
  !insertmacro RelayRemoveFiles
  ${If} ${Errors}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Some files of Avionics Relay could not be removed: one of its \
      programs still runs (started by hand, or the stand-in or the virtual panel). End it, then click Retry." \
      /SD IDCANCEL IDRETRY remove_files
    SetErrorLevel 2
    Abort "Some files could not be removed; run the uninstaller again once the programs have ended."
  ${EndIf}
  !insertmacro RelayRemoveFolders

  Delete "${START_MENU}\Relay-Launcher.lnk"
  Delete "${START_MENU}\QUICKSTART.lnk"
  RMDir "${START_MENU}"

  ${If} $RemoveSettings == ${BST_CHECKED}
    Delete "$INSTDIR\Avionics-Panel.cfg"
    Delete "$INSTDIR\Avionics-Panel.cfg.relay-backup"
    Delete "$INSTDIR\Avionics-Panel.cfg.relay-new"
    Delete "$INSTDIR\Relay-Launcher.log"
    Delete "$INSTDIR\Relay-Launcher.log.1"
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Last, so that it is gone only once everything else is done.
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
