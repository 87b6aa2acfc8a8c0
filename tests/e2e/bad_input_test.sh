#!/usr/bin/env bash
# Bad input from the network: datagrams too long for the receive buffer,
# binary bytes, half codes and an identity with a line end neither crash
# COMM1-Relay nor disturb it, while searching and while connected.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin COMM1-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
PANEL=$W/panel.log
RELAY=$W/COMM1-Relay.log
repeat() { printf "%${2}s" "" | tr ' ' "$1"; }

e2e_fifo "$W/panel.in" 8
e2e_start_standin -v
e2e_start panel_pid panel "$W/panel" "$W/panel.in" virtual-panel --panel comm1 --silent
e2e_config "$W/comm1" "[COM1]
IDLE_MS=10
TESTMODE=1"
e2e_start relay_pid COMM1-Relay "$W/comm1" /dev/null COMM1-Relay
e2e_wait "$PANEL" "recv ID" 60

# While searching, each search takes one datagram: the ones that do not fit
# the 256-byte buffer (256 bytes leave no room for the terminator) are
# dropped; a 255-byte text is refused as a false panel.
echo "send $(repeat A 300)" >&8
echo "send $(repeat B 256)" >&8
echo "send $(repeat C 255)" >&8
e2e_wait "$RELAY" "false Panel detected $(repeat C 255)" 30
searches=$(e2e_count "$RELAY" "Send ID request")
e2e_wait "$RELAY" "Send ID request" 30 $((searches + 3))
grep -q "false Panel detected A\|false Panel detected B" "$RELAY" && e2e_fail "a datagram too long for the buffer was used"
kill -0 "$relay_pid" 2>/dev/null || e2e_fail "COMM1-Relay ended"
e2e_pass "while searching: overlong datagrams dropped, a 255-byte text refused"

echo "silent off" >&8
e2e_wait "$RELAY" "Panel connected from 10.77.0.20" 30
e2e_wait "$PANEL" "recv F>118.000  121.500" 20

# While connected: junk, half codes and a line-ended identity are ignored.
for junk in '\x00\xff\x01' 'R' 'R1+' 'RX' 'R2-' 'P1' 'VRAN-COM1_1.0\n' "$(repeat Z 300)" "$(repeat Y 256)" \
  '\x1b[2J\a\x04'; do
  echo "send $junk" >&8
done
ons=$(e2e_count "$PANEL" "recv B>ON")
e2e_wait "$PANEL" "recv B>ON" 20 $((ons + 5))
[ "$(e2e_count "$SIM" "event: client")" = 0 ] || e2e_fail "junk was taken for a code"
e2e_wait "$PANEL" "recv F>118.000  121.500" 5
e2e_pass "while connected: junk ignored, the display goes on"

# A known code with bytes after it acts as that code.
echo "send S$(repeat x 254)" >&8
e2e_wait "$SIM" "COM_STBY_RADIO_SWAP data" 20
e2e_wait "$PANEL" "recv F>121.500  118.000" 20
echo "send R+" >&8
e2e_wait "$PANEL" "recv F>121.500  119.000" 20
kill -0 "$relay_pid" 2>/dev/null || e2e_fail "COMM1-Relay ended"
grep -q "Panel offline" "$RELAY" && e2e_fail "the panel went offline"
e2e_pass "a code followed by other bytes acts; the program still works"
