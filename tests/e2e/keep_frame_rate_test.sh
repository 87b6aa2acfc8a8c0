#!/usr/bin/env bash
# KEEP_FRAME_RATE on COMM1-Relay: the frame-rate request made when the panel
# is found stays in force (no one-frame request replaces it), frames keep
# coming and the knob still works, also while frames are paused (a key is
# handled when it arrives); two identity requests lost in a row leave
# the panel connected; the panel going offline stops the request and finding
# it again makes it anew. The stand-in logs every request.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin COMM1-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
PANEL=$W/panel.log
RELAY=$W/COMM1-Relay.log
FRAME_RATE="RequestDataOnSimObject request 1 definition 0 object 0 period VISUAL_FRAME"
ONE_FRAME="RequestDataOnSimObject request 1 definition 0 object 0 period ONCE"
STOP="RequestDataOnSimObject request 1 definition 0 object 0 period NEVER"

e2e_start_standin -v
e2e_start_panel 8 panel --panel comm1
e2e_wait "$PANEL" "listening on UDP port 4771" 30
e2e_start_relay COMM1-Relay COM1 KEEP_FRAME_RATE=1

e2e_wait "$RELAY" "Panel connected from 10.77.0.20" 60
e2e_text "$RELAY" | grep -A1 -x "IDLE-Time redefined: 10ms" | grep -qx "Keep Frame Rate redefined: 1" ||
  e2e_fail "the key is not reported right after the idle time"
e2e_wait "$SIM" "$FRAME_RATE" 20
# 90 frames at 30 a second span some 25 tenth passes of 10 ms; by default
# each of them would have replaced the frame-rate request.
e2e_wait "$PANEL" "recv B>ON" 30 90
[ "$(e2e_count "$SIM" "$ONE_FRAME")" = 0 ] || e2e_fail "a one-frame request replaced the frame rate"
e2e_pass "the key is reported; frames keep coming with no one-frame request"

echo "send R+" >&8
e2e_wait "$SIM" "COM_RADIO_WHOLE_INC data" 20
e2e_wait "$PANEL" "recv F>118.000  122.500" 20
e2e_pass "R+ reaches the simulator and the panel shows the step"

# With the frames paused, a key is still handled when it arrives.
echo "frames off" >&7
e2e_wait "$SIM" "frames paused" 20
steps=$(e2e_count "$SIM" "COM_RADIO_WHOLE_INC data")
echo "send R+" >&8
e2e_wait "$SIM" "COM_RADIO_WHOLE_INC data" 20 $((steps + 1))
echo "frames on" >&7
e2e_wait "$PANEL" "recv F>118.000  123.500" 20
e2e_pass "with no frame coming, R+ still reaches the simulator; the next frame shows it"

# Two identity requests in a row lost on the way: the panel stays connected
# (offline takes three unanswered) and answers the next one.
drops=$(e2e_count "$PANEL" "silent (no answer)")
echo "drop 2" >&8
e2e_wait "$PANEL" "silent (no answer)" 20 $((drops + 2))
answers=$(e2e_count "$PANEL" "answer VRAN-COM1_1.0")
e2e_wait "$PANEL" "answer VRAN-COM1_1.0" 20 $((answers + 1))
ons=$(e2e_count "$PANEL" "recv B>ON")
e2e_wait "$PANEL" "recv B>ON" 20 $((ons + 30))
[ "$(e2e_count "$RELAY" "COM1 Panel offline")" = 0 ] || e2e_fail "two lost identity requests took the panel offline"
e2e_pass "two identity requests lost in a row: the panel stays connected"

# A panel that stops answering goes offline: the request is stopped.
echo "silent on" >&8
e2e_wait "$RELAY" "COM1 Panel offline" 30
e2e_wait "$SIM" "$STOP" 20
echo "silent off" >&8
e2e_wait "$RELAY" "Panel connected from 10.77.0.20" 30 2
e2e_wait "$SIM" "$FRAME_RATE" 20 2
ons=$(e2e_count "$PANEL" "recv B>ON")
e2e_wait "$PANEL" "recv B>ON" 30 $((ons + 60))
[ "$(e2e_count "$SIM" "$ONE_FRAME")" = 0 ] || e2e_fail "a one-frame request after the panel was found again"
e2e_pass "offline stops the request; found again, it is made anew and frames keep coming"
