#!/usr/bin/env bash
# Ports from the configuration file: VRAN_PORT (taken as its low 16 bits)
# moves the ID request to that port + 1, RECV_PORT the port the program
# binds; the panel's answer decides where the lines go.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin COMM1-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
PANEL=$W/panel.log
RELAY=$W/COMM1-Relay.log

e2e_fifo "$W/panel.in" 8
e2e_start_standin -v
# 70000 is 4464 in 16 bits, so the request goes to 4465.
e2e_start panel_pid panel "$W/panel" "$W/panel.in" virtual-panel --panel comm1 --port 4465
e2e_wait "$PANEL" "listening on UDP port 4465" 30
e2e_config "$W/comm1" "[COM1]
IDLE_MS=10
VRAN_PORT=70000
RECV_PORT=5123
TESTMODE=1"
e2e_start relay_pid COMM1-Relay "$W/comm1" /dev/null COMM1-Relay

e2e_wait "$RELAY" "Remote Port redefined: 4464" 60
e2e_wait "$RELAY" "Local Port redefined: 5123" 10
e2e_wait "$RELAY" "IDLE-Time redefined: 10ms" 10
e2e_wait "$RELAY" "Bind to Receive Port: " 10
e2e_text "$RELAY" | grep -q "^Bind to Receive Port: 	5123$" || e2e_fail "not bound to RECV_PORT 5123"
e2e_wait "$RELAY" "Panel connected from 10.77.0.20" 30
e2e_wait "$PANEL" "recv B>ON" 20
# The panel answers to where the request came from: port 5123.
echo "send R+" >&8
e2e_wait "$SIM" "COM_RADIO_WHOLE_INC data" 20
e2e_wait "$PANEL" "recv F>118.000  122.500" 20
e2e_pass "VRAN_PORT 70000 sends the request to 4465, RECV_PORT binds 5123, lines and codes flow"
