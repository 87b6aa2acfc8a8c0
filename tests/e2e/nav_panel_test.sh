#!/usr/bin/env bash
# The NAV panels end to end, side by side: NAV1-Relay with a single-encoder
# panel (standby steps, local step and set, OBS select by double push, the
# five pages, the course key, the DME ident, power) and NAV2-Relay with a
# dual-encoder panel (its knob codes, the 50-kHz raster, OBS select by push,
# partial panel 2 against 1).
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin NAV1-Relay NAV2-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
P1=$W/panel1.log
P2=$W/panel2.log

e2e_start_standin
e2e_start_panel 8 panel1 --panel nav1
e2e_start_panel 9 panel2 --panel nav2 --variant 2
e2e_wait "$P1" "listening on UDP port 4773" 30
e2e_wait "$P2" "listening on UDP port 4777" 30
e2e_start_relay NAV1-Relay NAV1
e2e_start_relay NAV2-Relay NAV2
e2e_wait "$W/NAV1-Relay.log" "Panel Version1 connected from 10.77.0.20" 60
e2e_wait "$W/NAV2-Relay.log" "NAV2 Dual Encoder connected from 10.77.0.20" 60
# The demo aircraft: NAV1 110.50 / 113.90 showing TO, NAV2 114.10 / 108.20 FROM.
e2e_wait "$P1" "recv H>NAV1   \\x05 Standby" 20
e2e_wait "$P1" "recv F>110.50    113.90" 20
e2e_wait "$P2" "recv H>NAV2   \\x06 Standby" 20
e2e_wait "$P2" "recv F>114.10    108.20" 20
e2e_pass "both panels connected and show the frequencies page"

# NAV1, page 0: the simulator steps the standby frequency.
echo "send R+" >&8
e2e_wait "$SIM" "NAV1_RADIO_WHOLE_INC data" 20
e2e_wait "$P1" "recv F>110.50    114.90" 20
e2e_pass "NAV1 R+ on page 0 steps the standby megahertz in the simulator"

# Page 1: the bar and the OBS; R+ steps the active frequency locally.
echo "send M" >&8
e2e_wait "$P1" "recv H>CDI1            " 20
e2e_wait "$P1" "recv C>-1" 20
e2e_wait "$P1" "recv F>110.50    \\x05  090" 20
echo "send R+" >&8
e2e_wait "$SIM" "NAV1_RADIO_SET data 4432 (0x1150)" 20
e2e_wait "$P1" "recv F>111.50    \\x05  090" 20
e2e_pass "NAV1 page 1: R+ sends NAV1_RADIO_SET with the stepped active frequency"

# A double push selects the OBS; a third push makes it fast.
echo "send P" >&8
echo "send P" >&8
echo "send R+" >&8
e2e_wait "$SIM" "VOR1_OBI_INC data" 20
e2e_wait "$P1" "recv F>111.50    \\x05 >091" 20
echo "send P" >&8
echo "send R+" >&8
e2e_wait "$SIM" "VOR1_OBI_INC data" 20 6
e2e_wait "$P1" "recv F>111.50    \\x05 >096" 20
[ "$(e2e_count "$SIM" "NAV1_RADIO_SET data")" = 1 ] || e2e_fail "a turn in OBS select tuned the radio"
e2e_pass "NAV1 double push, then R+ turns the OBS (five steps when fast)"

# M walks the other pages; each shows its own lines. The radial is 92.4.
echo "send M" >&8
e2e_wait "$P1" "recv H>NAV1          TO" 20
e2e_wait "$P1" "recv F>111.50       272" 20
echo "send M" >&8
e2e_wait "$P1" "recv H>NAV1        FROM" 20
e2e_wait "$P1" "recv F>111.50       ---" 20
echo "send M" >&8
e2e_wait "$P1" "recv H>DME1 sel  108kts" 20
e2e_wait "$P1" "recv F>111.50   12.4nm " 20
echo "send T" >&8
e2e_wait "$SIM" "RADIO_DME1_IDENT_TOGGLE data" 20
e2e_wait "$P1" "recv F>111.50 \\a 12.4nm " 20
echo "send M" >&8
e2e_wait "$P1" "recv F>111.50    114.90" 20
e2e_pass "NAV1 M walks TO, FROM and DME and back; T toggles the DME ident"

# B sets the OBS to the course to the station.
echo "send B" >&8
e2e_wait "$SIM" "VOR1_SET data 272" 20
echo "get NAV OBS:1" >&7
e2e_wait "$SIM" "NAV OBS:1 = 272" 20
e2e_pass "NAV1 B sets the OBS to the course to the station"

# Avionics off: blank lines and B>OFF, input dropped; power back on page 0.
tos=$(e2e_count "$P1" "recv H>NAV1          TO")
echo "send M" >&8
echo "send M" >&8
e2e_wait "$P1" "recv H>NAV1          TO" 20 $((tos + 1))
echo "set AVIONICS MASTER SWITCH 0" >&7
e2e_wait "$P1" "recv B>OFF" 20
e2e_wait "$P1" "recv H>                " 20
e2e_wait "$P1" "recv F>                " 20
e2e_expect_dropped "$P1" 8 "input acted on with the avionics off" R+ S
headers=$(e2e_count "$P1" "recv H>NAV1   \\x05 Standby")
echo "set AVIONICS MASTER SWITCH 1" >&7
e2e_wait "$P1" "recv H>NAV1   \\x05 Standby" 20 $((headers + 1))
e2e_pass "avionics off blanks the panel and drops input; power back shows page 0"

# NAV2, dual encoder: knob 2 whole megahertz, knob 1 the fraction.
echo "send R2+" >&9
e2e_wait "$SIM" "NAV2_RADIO_WHOLE_INC data" 20
e2e_wait "$P2" "recv F>114.10    109.20" 20
echo "send R1+" >&9
e2e_wait "$P2" "recv F>114.10    109.25" 20
e2e_pass "NAV2 knobs step the standby frequency"

echo "send M" >&9
e2e_wait "$P2" "recv C>1" 20
e2e_wait "$P2" "recv F>114.10    \\x06  270" 20
echo "send R1+" >&9
e2e_wait "$SIM" "NAV2_RADIO_SET data 5141 (0x1415)" 20
e2e_wait "$P2" "recv F>114.15    \\x06  270" 20
echo "send P" >&9
echo "send R2+" >&9
e2e_wait "$SIM" "VOR2_OBI_INC data" 20 5
e2e_wait "$P2" "recv F>114.15    \\x06 >275" 20
e2e_pass "NAV2 page 1: knob 1 steps and sets on 50 kHz; push, then knob 2 turns the OBS five degrees"

# Partial panel 2 drops input but keeps the display; 1 blanks it.
echo "send M" >&9
echo "send M" >&9
e2e_wait "$P2" "recv F>114.15       271" 20
offs=$(e2e_count "$P2" "recv B>OFF")
echo "set PARTIAL PANEL NAV:2 2" >&7
echo "get PARTIAL PANEL NAV:2" >&7
e2e_wait "$SIM" "PARTIAL PANEL NAV:2 = 2" 20
ons=$(e2e_count "$P2" "recv B>ON")
e2e_wait "$P2" "recv B>ON" 20 $((ons + 3))
echo "send R2+" >&9
echo "send M" >&9
e2e_wait "$P2" "recv B>ON" 20 $((ons + 8))
[ "$(e2e_count "$SIM" "NAV2_RADIO_SET data")" = 1 ] || e2e_fail "NAV2 acted with partial panel 2"
[ "$(e2e_count "$P2" "recv B>OFF")" = "$offs" ] || e2e_fail "partial panel 2 blanked the NAV2 panel"
[ "$(e2e_text "$P2" | grep '^recv F>' | tail -n 1)" = "recv F>114.15       271" ] || e2e_fail "NAV2 left its page with partial panel 2"
echo "set PARTIAL PANEL NAV:2 1" >&7
e2e_wait "$P2" "recv B>OFF" 20 $((offs + 1))
e2e_pass "NAV2 partial panel 2 drops input but shows the page; 1 blanks it"
