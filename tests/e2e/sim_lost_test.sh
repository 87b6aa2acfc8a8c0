#!/usr/bin/env bash
# The simulator vanishes without its quit message: COMM1-Relay reports the
# lost connection and ends as after a quit (rather than running on with
# stale lines on the panel), without a crash; the panel gets no more lines.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin COMM1-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
PANEL=$W/panel.log
RELAY=$W/COMM1-Relay.log

e2e_start_standin
e2e_start panel_pid panel "$W/panel" /dev/null virtual-panel --panel comm1
e2e_config "$W/comm1" "[COM1]
IDLE_MS=10"
e2e_start relay_pid COMM1-Relay "$W/comm1" /dev/null COMM1-Relay
e2e_wait "$RELAY" "Panel connected from 10.77.0.20" 60
e2e_wait "$PANEL" "recv B>ON" 20 3

e2e_kill_hard "$sim_pid"
e2e_wait_exit "$sim_pid" 10
e2e_wait "$RELAY" "Connection to Flight Simulator lost!" 30
e2e_wait_exit "$relay_pid" 30
[ "$E2E_RC" = 0 ] || e2e_fail "COMM1-Relay ended with $E2E_RC after losing the simulator"
lines=$(grep -c "" "$PANEL")
sleep $((1 * E2E_SLOW))
[ "$(grep -c "" "$PANEL")" = "$lines" ] || e2e_fail "the panel still gets lines without a simulator"
e2e_pass "simulator gone without a quit: reported, the program ends with 0, the panel gets nothing more"
