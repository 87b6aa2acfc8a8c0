#!/usr/bin/env bash
# COM1 end to end: the virtual panel's codes reach the simulator stand-in as
# COM radio events and the next frames show the result; with the avionics
# off the panel is blanked and its input dropped.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin COMM1-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
PANEL=$W/panel.log
RELAY=$W/COMM1-Relay.log

e2e_fifo "$W/panel.in" 8
e2e_start_standin -v
e2e_start panel_pid panel "$W/panel" "$W/panel.in" virtual-panel --panel comm1
e2e_wait "$PANEL" "listening on UDP port 4771" 30
# PERIOD_VISUAL_OR_SIM=1: the frame-rate request asks for simulation frames.
e2e_config "$W/comm1" "[COM1]
IDLE_MS=10
PERIOD_VISUAL_OR_SIM=1
TESTMODE=1"
e2e_start relay_pid COMM1-Relay "$W/comm1" /dev/null COMM1-Relay

e2e_wait "$RELAY" "Panel connected from 10.77.0.20" 60
e2e_wait "$PANEL" "recv B>ON" 20
e2e_wait "$PANEL" "recv F>118.000  121.500" 20
e2e_wait "$SIM" "period SIM_FRAME" 20
e2e_pass "connected; the frame-rate request asks for simulation frames"

# Single encoder, whole-megahertz mode: R+ steps the standby frequency.
echo "send R+" >&8
e2e_wait "$SIM" "COM_RADIO_WHOLE_INC data" 20
e2e_wait "$PANEL" "recv F>118.000  122.500" 20
e2e_pass "R+ steps the standby frequency one megahertz"

# The push switches the encoder to the fraction (25 kHz spacing).
echo "send P" >&8
echo "send R+" >&8
e2e_wait "$SIM" "COM_RADIO_FRACT_INC data" 20
e2e_wait "$PANEL" "recv F>118.000  122.525" 20
e2e_pass "P then R+ steps the fraction"

echo "send S" >&8
e2e_wait "$SIM" "COM_STBY_RADIO_SWAP data" 20
e2e_wait "$PANEL" "recv F>122.525  118.000" 20
e2e_pass "S swaps active and standby"

# The key ended fraction mode at once: the next R+ is whole again.
echo "send R+" >&8
e2e_wait "$PANEL" "recv F>122.525  119.000" 20
[ "$(e2e_count "$SIM" "COM_RADIO_FRACT_INC data")" = 1 ] || e2e_fail "a second fraction step after S"
e2e_pass "a key ends fraction mode"

# Transmit select and its header marker.
echo "event COM2_TRANSMIT_SELECT" >&7
e2e_wait "$PANEL" "recv H>COM1     Standby" 20
echo "send T" >&8
e2e_wait "$SIM" "COM1_TRANSMIT_SELECT data" 20
e2e_wait "$PANEL" "recv H>COM1 T \\a Standby" 20
e2e_pass "T selects COM1 for transmit and the header shows it"

# Avionics off: blank lines and B>OFF, every code dropped.
echo "set AVIONICS MASTER SWITCH 0" >&7
e2e_wait "$PANEL" "recv B>OFF" 20
e2e_wait "$PANEL" "recv H>                " 20
e2e_wait "$PANEL" "recv F>                " 20
e2e_expect_dropped "$PANEL" 8 "input acted on with the avionics off" R+ S T
echo "get COM STANDBY FREQUENCY:1" >&7
e2e_wait "$SIM" "COM STANDBY FREQUENCY:1 = 119" 20
e2e_pass "avionics off blanks the panel, sends B>OFF and drops input"

echo "set AVIONICS MASTER SWITCH 1" >&7
ons=$(e2e_count "$PANEL" "recv B>ON")
e2e_wait "$PANEL" "recv B>ON" 20 $((ons + 1))
e2e_wait "$PANEL" "recv F>122.525  119.000" 20
e2e_pass "power back: the lines return unchanged"
