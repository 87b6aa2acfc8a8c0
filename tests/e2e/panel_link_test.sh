#!/usr/bin/env bash
# The panel link of COMM1-Relay: discovery on the second search, rejection of
# a foreign identity, both identity variants, the identity check every 21st
# frame and its renewal, the offline path of a silent panel and its
# rediscovery, and the data requests that follow the link state.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin COMM1-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
PANEL=$W/panel.log
RELAY=$W/COMM1-Relay.log

e2e_fifo "$W/panel.in" 8
e2e_start_standin -v
# The panel first answers with COMM2's identity, which COMM1 must refuse. It
# answers 30 ms late, like a real board: the program's receive right after
# its request can then never catch the answer, however the two processes
# are scheduled.
e2e_start panel_pid panel "$W/panel" "$W/panel.in" virtual-panel --panel comm1 --identity VRAN-COM2_1.0 \
  --answer-delay 30
e2e_wait "$PANEL" "listening on UDP port 4771" 30
e2e_config "$W/comm1" "[COM1]
IDLE_MS=10
TESTMODE=1"
e2e_start relay_pid COMM1-Relay "$W/comm1" /dev/null COMM1-Relay

e2e_wait "$RELAY" "false Panel detected VRAN-COM2_1.0" 60
# The answer to a search is picked up by the next one (searches are 100 ms
# apart here; a third one is allowed only for a panel process stalled that
# long).
searches=$(awk '/false Panel detected/ { exit } /^Send ID request/ { n++ } END { print n + 0 }' "$RELAY")
[ "$searches" -ge 2 ] && [ "$searches" -le 3 ] || e2e_fail "first reply seen after $searches searches, expected 2"
grep -q "Panel connected\|Dual Encoder connected" "$RELAY" && e2e_fail "a foreign identity was accepted"
e2e_pass "the reply is seen on search $searches; a foreign identity is refused"

echo "identity VRAN-COM1_2.0" >&8
e2e_wait "$RELAY" "COM1 Dual Encoder connected from 10.77.0.20" 30
e2e_pass "variant 2 identity gives the dual-encoder message"

# Data requests so far: NEVER while searching, then INITIAL once and the
# frame-rate request, from then on one frame per tenth pass.
requests() {
  sed -n 's/.*RequestDataOnSimObject request \([0-9]*\) .* period \([A-Z_]*\) .*/\1:\2/p' "$SIM" | tr '\n' ' '
}
e2e_wait "$SIM" "period ONCE" 20 4
seq=$(requests)
[[ "$seq" =~ ^(1:NEVER\ )+0:ONCE\ 1:VISUAL_FRAME\ (1:ONCE\ )+$ ]] || e2e_fail "request sequence: $seq"
e2e_pass "data requests: NEVER while searching, INITIAL once, visual frames, then ONCE per tenth pass"

# The identity check: "ID_Request" after every 21st frame, answered each time.
e2e_wait "$PANEL" "recv ID_Request" 60 3
gaps=$(awk '/^recv ID_Request/ { if (seen) printf "%d ", n; seen = 1; n = 0 } /^recv B>ON/ { n++ }' "$PANEL")
for gap in $gaps; do
  [ "$gap" = 21 ] || e2e_fail "frames between identity checks: $gaps (expected 21 each)"
done
e2e_wait "$RELAY" "ID_Renew" 20 3
grep -q "COM1 Panel offline" "$RELAY" && e2e_fail "an answering panel went offline"
e2e_pass "identity check every 21st frame, renewed by the answers ($gaps)"

# Silent panel: offline on the second unanswered check.
echo "silent on" >&8
e2e_wait "$RELAY" "COM1 Panel offline" 60
e2e_wait "$RELAY" "ID_Error" 5
e2e_wait "$PANEL" "silent (no answer)" 20 2
e2e_pass "a silent panel is declared offline"

# Offline: searches again with the data stopped; a key press waiting in the
# socket is reported as a false panel, not acted on.
e2e_wait "$SIM" "period NEVER" 20 2
echo "send R+" >&8
e2e_wait "$RELAY" "false Panel detected R+" 30
[ "$(e2e_count "$SIM" "COM_RADIO_WHOLE_INC data")" = 0 ] || e2e_fail "a key was acted on while offline"
e2e_pass "offline: searching, data stopped, a key press is refused"

# Back: found again, and the first frame runs the identity check at once.
echo "silent off" >&8
e2e_wait "$RELAY" "COM1 Dual Encoder connected from 10.77.0.20" 60 2
ons=$(e2e_count "$PANEL" "recv B>ON")
e2e_wait "$PANEL" "recv B>ON" 30 $((ons + 25))
first=$(awk '/^silent off/ { on = 1 } on && /^recv B>ON/ { n++ } on && /^recv ID_Request/ { print n; exit }' "$PANEL")
[ "$first" = 1 ] || e2e_fail "after rediscovery the first check came with frame $first, expected 1"
[ "$(e2e_count "$RELAY" "COM1 Panel offline")" = 1 ] || e2e_fail "offline again after rediscovery"
seq=$(requests)
[[ "$seq" =~ 1:NEVER\ (1:NEVER\ )+0:ONCE\ 1:VISUAL_FRAME\ (1:ONCE\ )+$ ]] || e2e_fail "request sequence after rediscovery: $seq"
e2e_pass "rediscovered; the first frame checks the identity at once; INITIAL is requested again"
