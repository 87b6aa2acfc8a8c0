#!/usr/bin/env bash
# The COM panel's variants and its two programs side by side: COMM1-Relay
# with a dual-encoder panel (knob codes, receive-all key) and COMM2-Relay
# with a single-encoder panel (COM2 events, its header pair, the identity
# check every 51st frame).
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin COMM1-Relay COMM2-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
P1=$W/panel1.log
P2=$W/panel2.log

e2e_fifo "$W/panel1.in" 8
e2e_fifo "$W/panel2.in" 9
e2e_start_standin -v
e2e_start p1_pid panel1 "$W/p1" "$W/panel1.in" virtual-panel --panel comm1 --variant 2
e2e_start p2_pid panel2 "$W/p2" "$W/panel2.in" virtual-panel --panel comm2
e2e_wait "$P1" "listening on UDP port 4771" 30
e2e_wait "$P2" "listening on UDP port 4775" 30
e2e_config "$W/comm1" "[COM1]
IDLE_MS=10"
e2e_config "$W/comm2" "[COM2]
IDLE_MS=10"
e2e_start c1_pid COMM1-Relay "$W/comm1" /dev/null COMM1-Relay
e2e_start c2_pid COMM2-Relay "$W/comm2" /dev/null COMM2-Relay
e2e_wait "$W/COMM1-Relay.log" "COM1 Dual Encoder connected from 10.77.0.20" 60
e2e_wait "$W/COMM2-Relay.log" "COM2 Panel connected from 10.77.0.20" 60
e2e_wait "$P1" "recv F>118.000  121.500" 20
e2e_wait "$P2" "recv F>124.850  119.100" 20

# Dual encoder: single-encoder codes and the push do nothing; knob 2 steps
# whole megahertz, knob 1 the fraction.
echo "send R+" >&8
echo "send P" >&8
echo "send R2+" >&8
e2e_wait "$P1" "recv F>118.000  122.500" 20
echo "send R1+" >&8
e2e_wait "$P1" "recv F>118.000  122.525" 20
[ "$(e2e_count "$SIM" "COM_RADIO_WHOLE_INC data")" = 1 ] || e2e_fail "R+ acted on a dual-encoder panel"
echo "send R1-" >&8
echo "send R2-" >&8
e2e_wait "$P1" "recv F>118.000  121.500" 20
e2e_pass "dual encoder: R2 whole, R1 fraction, R+ and P ignored"

# M toggles receive-all only while COM2 transmits.
echo "send M" >&8
ons=$(e2e_count "$P1" "recv B>ON")
e2e_wait "$P1" "recv B>ON" 20 $((ons + 5))
[ "$(e2e_count "$SIM" "COM_RECEIVE_ALL_TOGGLE data")" = 0 ] || e2e_fail "M acted while COM1 transmits"
echo "event COM2_TRANSMIT_SELECT" >&7
e2e_wait "$P1" "recv H>COM1     Standby" 20
echo "send M" >&8
e2e_wait "$SIM" "COM_RECEIVE_ALL_TOGGLE data" 20
e2e_wait "$P1" "recv H>COM1   \\a Standby" 20
e2e_pass "M toggles receive-all only while COM2 transmits; the header shows it"

# COMM2-Relay: COM2 events. Receive-all is now on, so its header carries the
# transmit marker; off again, it sends the plain header twice per frame.
echo "send R+" >&9
e2e_wait "$SIM" "COM2_RADIO_WHOLE_INC data" 20
e2e_wait "$P2" "recv F>124.850  120.100" 20
echo "send S" >&9
e2e_wait "$SIM" "COM2_RADIO_SWAP data" 20
e2e_wait "$P2" "recv F>120.100  124.850" 20
e2e_wait "$P2" "recv H>COM2 T \\a Standby" 20
echo "event COM_RECEIVE_ALL_TOGGLE" >&7
pairs=$(e2e_count "$P2" "recv H>COM2     Standby")
e2e_wait "$P2" "recv H>COM2     Standby" 20 $((pairs + 6))
awk '/^recv B>ON/ { if (n == 2 && seen) ok++; n = 0; seen = 1 } /^recv H>COM2     Standby/ { n++ } END { exit ok > 0 ? 0 : 1 }' "$P2" ||
  e2e_fail "COMM2 does not send its plain header twice per frame"
e2e_pass "COMM2: COM2 events, transmit marker, and the header pair"

# COMM2's identity check runs every 51st frame.
e2e_wait "$P2" "recv ID_Request" 120 3
gaps=$(awk '/^recv ID_Request/ { if (seen) printf "%d ", n; seen = 1; n = 0 } /^recv B>ON/ { n++ }' "$P2")
for gap in $gaps; do
  [ "$gap" = 51 ] || e2e_fail "COMM2 frames between identity checks: $gaps (expected 51 each)"
done
e2e_pass "COMM2 checks the identity every 51st frame ($gaps)"
