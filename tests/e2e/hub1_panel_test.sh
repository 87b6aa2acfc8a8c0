#!/usr/bin/env bash
# HUB1-Relay end to end: the multi-function panel starts on the page that
# START_DISPLAY names, "1" to "6" walk the six radio pages, each page shows
# its radio and one tuning action per page reaches the stand-in and comes
# back on the display; page keys are dropped while the avionics are off.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin HUB1-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
PANEL=$W/panel.log

e2e_start_standin
e2e_start_panel 8 panel --panel hub1
e2e_wait "$PANEL" "listening on UDP port 4783" 30
# IDLE_MS comes from [NAV1]; the rest from [HUB1].
e2e_config "$W/hub1" "[NAV1]
IDLE_MS=10
[HUB1]
START_DISPLAY=0"
e2e_start hub_pid HUB1-Relay "$W/hub1" /dev/null HUB1-Relay
e2e_wait "$W/HUB1-Relay.log" "Panel connected from 10.77.0.20" 60

# press <code> <line>: sends the code, then waits for the line to arrive once
# more than it had (every frame repeats the page, and frames sent before the
# input still show the old state).
press() {
  local before
  before=$(e2e_count "$PANEL" "recv $2")
  echo "send $1" >&8
  e2e_wait "$PANEL" "recv $2" 20 $((before + 1))
}

# The demo aircraft: COM1 118.000 / 121.500 and transmitting.
e2e_wait "$PANEL" "recv H>COM1 T \\a Standby" 20
e2e_wait "$PANEL" "recv F>118.000  121.500" 20
# Half codes, digits that name no page and binary bytes change nothing.
for junk in R 'R*' 9 0 '\x01\xff'; do echo "send $junk" >&8; done
press R+ "F>118.000  122.500"
e2e_wait "$SIM" "COM_RADIO_WHOLE_INC data" 20
[ "$(e2e_count "$SIM" "event:")" = 1 ] || e2e_fail "junk from the panel reached the simulator"
e2e_pass "starts on COM1 (START_DISPLAY=0); junk is ignored; R+ steps the COM1 standby"

press 2 "H>COM2     Standby"
e2e_wait "$PANEL" "recv F>124.850  119.100" 20
press S "F>119.100  124.850"
e2e_wait "$SIM" "COM2_RADIO_SWAP data" 20
e2e_pass "2: COM2; S swaps it"

press 3 "H>NAV1   \\x05 Standby"
e2e_wait "$PANEL" "recv F>110.50    113.90" 20
press M "H>CDI1            "
press R+ "F>111.50    \\x05  090"
e2e_wait "$SIM" "NAV1_RADIO_SET data 4432 (0x1150)" 20
e2e_pass "3: NAV1; on its CDI display R+ steps and sets the active frequency"

press 4 "H>NAV2   \\x06 Standby"
e2e_wait "$PANEL" "recv F>114.10    108.20" 20
press R+ "F>114.10    109.20"
e2e_wait "$SIM" "NAV2_RADIO_WHOLE_INC data" 20
e2e_pass "4: NAV2; R+ steps its standby"

press 5 "H>ADF    \\x04 Standby"
e2e_wait "$PANEL" "recv F> 379.0     344.5" 20
# The needle display: heading 87 and the station 45 degrees right.
press M "F> 379.0    \\x04  132"
echo "send R+" >&8
# With ADF_STBY at its default the edited frequency goes out as a set, a
# swap and the frame's standby set back, in that order.
e2e_wait "$SIM" "ADF_COMPLETE_SET data 54808576 (0x3445000)" 20
sent=$(grep -oE '(ADF_COMPLETE_SET|ADF1_RADIO_SWAP) data [0-9]+' "$SIM" | tr '\n' ' ')
[ "$sent" = "ADF_COMPLETE_SET data 75038720 ADF1_RADIO_SWAP data 0 ADF_COMPLETE_SET data 54808576 " ] ||
  e2e_fail "the ADF set went out as: $sent"
e2e_pass "5: ADF; R+ on the needle display sets the edited frequency in three events"

press 6 "H>XPDR   ALT  CODE"
e2e_wait "$PANEL" "recv F>FL 035      1200" 20
press P "H>XPDR   SET   |  "
press R+ "F>FL 035      1300"
e2e_wait "$SIM" "XPNDR_100_INC data" 20
# B sets the VFR code and ends code entry at once.
alts=$(e2e_count "$PANEL" "recv H>XPDR   ALT  CODE")
press B "F>FL 035      1200"
e2e_wait "$PANEL" "recv H>XPDR   ALT  CODE" 20 $((alts + 1))
e2e_wait "$SIM" "XPNDR_SET data 4608 (0x1200)" 20
e2e_pass "6: the transponder; P and R+ set the hundreds digit, B the VFR code"

# While the avionics are off the page keys are dropped with every other key.
offs=$(e2e_count "$PANEL" "recv B>OFF")
echo "set AVIONICS MASTER SWITCH 0" >&7
e2e_wait "$PANEL" "recv B>OFF" 20 $((offs + 1))
echo "send 3" >&8
e2e_wait "$PANEL" "recv B>OFF" 20 $((offs + 4))
navs=$(e2e_count "$PANEL" "recv H>NAV1")
echo "set AVIONICS MASTER SWITCH 1" >&7
e2e_wait "$PANEL" "recv H>XPDR   ALT  CODE" 20 $(($(e2e_count "$PANEL" "recv H>XPDR   ALT  CODE") + 3))
[ "$(e2e_count "$PANEL" "recv H>NAV1")" = "$navs" ] || e2e_fail "a page key was taken while the avionics were off"
e2e_pass "the panel goes dark with the avionics and keeps its page through a page key sent meanwhile"
