; Relay-Launcher's own commands, as the installer and the uninstaller run
; them: the launcher knows the simulator's editions and start lists, so
; neither keeps a list of its own.

; RelaySimulatorInstalled <launcher> <out>: "1" when "--autostart status"
; finds a simulator installed and can read its start lists (exit code 0).
!macro RelaySimulatorInstalled LAUNCHER OUT
  nsExec::Exec '"${LAUNCHER}" --autostart status'
  Pop ${OUT}
  ${If} ${OUT} == "0"
    StrCpy ${OUT} "1"
  ${Else}
    StrCpy ${OUT} ""
  ${EndIf}
!macroend

; RelayAutostart <launcher> <on|off> <out>: "--autostart on|off", its lines
; shown in the details; its exit code in out.
!macro RelayAutostart LAUNCHER VERB OUT
  DetailPrint "Relay-Launcher --autostart ${VERB}"
  nsExec::ExecToLog '"${LAUNCHER}" --autostart ${VERB}'
  Pop ${OUT}
!macroend

; RelayEndRunning <launcher> <out>: asks the running launcher to end and
; waits until it and its programs are gone; out is 0 once none runs.
!macro RelayEndRunning LAUNCHER OUT
  DetailPrint "Relay-Launcher --end-running"
  nsExec::ExecToLog '"${LAUNCHER}" --end-running'
  Pop ${OUT}
  ; The launcher lets go of its lock just before its process ends, and
  ; Windows frees a program's file only then: wait for the installed
  ; launcher's file to be free (5 s at most).
  ${If} ${OUT} == 0
    StrCpy $R8 0
    ${Do}
      ClearErrors
      FileOpen $R7 "$INSTDIR\Relay-Launcher.exe" a
      ${IfNot} ${Errors}
        FileClose $R7
        ${Break}
      ${EndIf}
      Sleep 250
      IntOp $R8 $R8 + 1
    ${LoopUntil} $R8 >= 20
  ${EndIf}
!macroend
