#!/usr/bin/env bash
# COM1 tuning modes over time and the partial-panel gate: two pushes leave
# whole-megahertz tuning, fraction tuning ends 100 frames after the last
# push, and a partial-panel value of 2 drops input while the display stays
# on (only 1 counts as failed for the display).
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin COMM1-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
PANEL=$W/panel.log
RELAY=$W/COMM1-Relay.log

e2e_fifo "$W/panel.in" 8
e2e_start_standin -v
e2e_start panel_pid panel "$W/panel" "$W/panel.in" virtual-panel --panel comm1
e2e_config "$W/comm1" "[COM1]
IDLE_MS=10
TESTMODE=1"
e2e_start relay_pid COMM1-Relay "$W/comm1" /dev/null COMM1-Relay
e2e_wait "$RELAY" "Panel connected from 10.77.0.20" 60
e2e_wait "$PANEL" "recv F>118.000  121.500" 20

# Two pushes: back to whole megahertz.
echo "send P" >&8
echo "send P" >&8
echo "send R+" >&8
e2e_wait "$PANEL" "recv F>118.000  122.500" 20
[ "$(e2e_count "$SIM" "COM_RADIO_FRACT_INC data")" = 0 ] || e2e_fail "two pushes left fraction tuning on"
# The test-mode frequency line follows the encoder step.
e2e_wait "$RELAY" "COM1-ACTV  118.000  COM1-STBY  122.500" 20
e2e_pass "P twice leaves whole-megahertz tuning; the test-mode frequency line shows the step"

# One push: fraction tuning, which ends 100 frames after the push.
echo "send P" >&8
echo "send R+" >&8
e2e_wait "$PANEL" "recv F>118.000  122.525" 20
ons=$(e2e_count "$PANEL" "recv B>ON")
e2e_wait "$PANEL" "recv B>ON" 120 $((ons + 101))
echo "send R+" >&8
e2e_wait "$PANEL" "recv F>118.000  123.525" 20
[ "$(e2e_count "$SIM" "COM_RADIO_FRACT_INC data")" = 1 ] || e2e_fail "fraction tuning outlived its 100 frames"
e2e_pass "fraction tuning ends 100 frames after the last encoder input"

# Partial panel 2: input dropped, display on; 1: display off.
echo "set PARTIAL PANEL COMM:1 2" >&7
e2e_wait "$SIM" "PARTIAL PANEL COMM:1 = 2" 20
ons=$(e2e_count "$PANEL" "recv B>ON")
e2e_wait "$PANEL" "recv B>ON" 20 $((ons + 2))
events=$(e2e_count "$SIM" "event: client")
echo "send R+" >&8
echo "send S" >&8
e2e_wait "$PANEL" "recv B>ON" 20 $((ons + 8))
[ "$(e2e_count "$SIM" "event: client")" = "$events" ] || e2e_fail "input acted on with PARTIAL PANEL COMM:1 at 2"
e2e_wait "$PANEL" "recv F>118.000  123.525" 5
offs=$(e2e_count "$PANEL" "recv B>OFF")
[ "$offs" = 0 ] || e2e_fail "the display went off with PARTIAL PANEL COMM:1 at 2"
echo "set PARTIAL PANEL COMM:1 1" >&7
e2e_wait "$PANEL" "recv B>OFF" 20
e2e_pass "partial panel 2 drops input with the display on; 1 turns the display off"
