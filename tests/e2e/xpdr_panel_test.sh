#!/usr/bin/env bash
# XPDR-Relay end to end with both panel versions at once: a single-encoder
# panel on the default ports and a dual-encoder panel on ports of its own,
# both showing the stand-in's one transponder. Code digits, the mode keys
# and steps, blanking when off, the configured VFR code, flight level and
# ident reach the stand-in and come back on the panels.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin XPDR-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
P1=$W/panel1.log
P2=$W/panel2.log

e2e_start_standin -v
e2e_start_panel 8 panel1 --panel xpdr
e2e_start_panel 9 panel2 --panel xpdr --variant 2 --port 4791
e2e_wait "$P1" "listening on UDP port 4781" 30
e2e_wait "$P2" "listening on UDP port 4791" 30
e2e_config "$W/x1" "[XPDR]
IDLE_MS=10
XPDR_CODE=7000"
e2e_config "$W/x2" "[XPDR]
IDLE_MS=10
VRAN_PORT=4790
RECV_PORT=4790"
e2e_start x1_pid xpdr1 "$W/x1" /dev/null XPDR-Relay
e2e_start x2_pid xpdr2 "$W/x2" /dev/null XPDR-Relay
e2e_wait "$W/xpdr1.log" "XPDR Panel connected from 10.77.0.20" 60
e2e_wait "$W/xpdr2.log" "XPDR Dual Encoder connected from 10.77.0.20" 60
# The demo aircraft squawks 1200 in ALT at a pressure altitude of 3,480 ft.
e2e_wait "$P1" "recv H>XPDR   ALT  CODE" 20
e2e_wait "$P1" "recv F>FL 035      1200" 20
e2e_wait "$P2" "recv F>FL 035      1200" 20
e2e_pass "both panel versions connected and show mode, flight level and code"

# frames <panel log> <n>: waits until the panel has shown n more frames.
frames() {
  local seen
  seen=$(e2e_count "$1" "recv B>")
  e2e_wait "$1" "recv B>" 20 $((seen + $2))
}

# press <panel fd> <code> <panel log> <line>: sends the code, then waits for
# the line to arrive once more than it had (every frame repeats the lines,
# and frames sent before the input still show the old state).
press() {
  local before
  before=$(e2e_count "$3" "recv $4")
  echo "send $2" >&"$1"
  e2e_wait "$3" "recv $4" 20 $((before + 1))
}

# Single encoder: the push moves the cursor to the units digit, R+ steps it.
echo "send P" >&8
echo "send P" >&8
press 8 P "$P1" "H>XPDR   SET     |"
press 8 R+ "$P1" "F>FL 035      1201"
e2e_wait "$SIM" "XPNDR_1_INC data" 20
e2e_pass "R+ on the units digit moves the code"

# S in ALT writes ON; the next frames show it, marked for mode selection.
press 8 S "$P1" "H>XPDR  >ON   CODE"
e2e_wait "$SIM" "TRANSPONDER STATE:1 = 3" 20
press 8 R+ "$P1" "H>XPDR  >ALT  CODE"
frames "$P1" 2
writes=$(e2e_count "$SIM" "TRANSPONDER STATE:1 =")
echo "send R+" >&8
frames "$P1" 5
[ "$(e2e_count "$SIM" "TRANSPONDER STATE:1 =")" = "$writes" ] || e2e_fail "a mode step up from ALT was written"
e2e_pass "S writes ON and the header shows it; the encoder steps the mode up to ALT and no further"

# M: ALT to STBY, then STBY to OFF, which blanks the panel; M again brings
# it back in STBY.
press 8 M "$P1" "H>XPDR  >STBY CODE"
press 8 M "$P1" "B>OFF"
e2e_wait "$SIM" "TRANSPONDER STATE:1 = 0" 20
e2e_wait "$P1" "recv H>                " 20
e2e_wait "$P1" "recv F>                " 20
e2e_wait "$P2" "recv B>OFF" 20
press 8 M "$P1" "H>XPDR  >STBY CODE"
e2e_pass "M from STBY writes OFF and the panel blanks; M again brings it back"

# B sets the configured VFR code and ends mode selection.
press 8 B "$P1" "F>FL 035      7000"
e2e_wait "$SIM" "XPNDR_SET data 28672 (0x7000)" 20
e2e_wait "$P1" "recv H>XPDR   STBY CODE" 20
e2e_pass "B sets the configured code 7000"

# Flight level from the pressure altitude, halves away from zero.
echo "set PRESSURE ALTITUDE -149" >&7
e2e_wait "$P1" "recv F>FL -01      7000" 20
echo "set PRESSURE ALTITUDE 4450" >&7
e2e_wait "$P1" "recv F>FL 045      7000" 20
e2e_pass "flight level follows the pressure altitude"

# Dual encoder: knob 1 sets the code (also in mode selection), knob 2 steps
# the mode, and the mode header never carries the marker.
press 9 R2+ "$P2" "H>XPDR   TEST CODE"
e2e_wait "$SIM" "TRANSPONDER STATE:1 = 2" 20
press 9 S "$P2" "H>XPDR   ON   CODE"
press 9 R1- "$P2" "F>FL 045      6000"
e2e_wait "$SIM" "XPNDR_1000_DEC data" 20
press 9 R1+ "$P2" "F>FL 045      7000"
press 9 T "$P2" "F>FL 045 IDNT 7000"
e2e_wait "$SIM" "XPNDR_IDENT_ON data" 20
e2e_wait "$P1" "recv F>FL 045 IDNT 7000" 20
[ "$(e2e_count "$P2" "recv H>XPDR  >")" = 0 ] || e2e_fail "the dual-encoder panel showed the mode marker"
e2e_pass "dual encoder: R1 sets the code, R2 steps the mode, S writes ON without a marker, T idents"
