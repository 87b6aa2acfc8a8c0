#!/usr/bin/env bash
# The NAV/COM panels end to end, side by side: NAVCOM1-Relay with a panel of
# one knob per half (start-up events, COM whole and fraction steps, COM and
# NAV swap, NAV standby step, the CDI page with its bar as S, the NAV
# failure blanking all four lines and dropping COM keys) and NAVCOM2-Relay
# with a panel of two knobs per half (its COM and NAV knobs, no transmit or
# receive-all key, OBS select by push with five degrees a detent).
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin NAVCOM1-Relay NAVCOM2-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
P1=$W/panel1.log
P2=$W/panel2.log

e2e_start_standin
e2e_start_panel 8 panel1 --panel navcom1
e2e_start_panel 9 panel2 --panel navcom2 --variant 2
e2e_wait "$P1" "listening on UDP port 4787" 30
e2e_wait "$P2" "listening on UDP port 4789" 30
e2e_start_relay NAVCOM1-Relay NAVCOM1
e2e_wait "$W/NAVCOM1-Relay.log" "NAVCOM1 Simple Encoder connected from 10.77.0.20" 60
# NAVCOM1's start-up events: COM1 transmits already, receive-all goes on.
e2e_wait "$SIM" "COM_RECEIVE_ALL_TOGGLE data" 20
e2e_wait "$P1" "recv C>118.000  121.500" 20
e2e_wait "$P1" "recv T>COM1 T \\a Standby" 20
e2e_wait "$P1" "recv H>NAV1   \\x05 Standby" 20
e2e_wait "$P1" "recv F>110.50    113.90" 20
[ "$(e2e_count "$SIM" "COM1_TRANSMIT_SELECT data")" = 1 ] || e2e_fail "NAVCOM1 start-up: no single transmit select"
e2e_pass "NAVCOM1 connected, sent its start-up events and shows both halves"

e2e_start_relay NAVCOM2-Relay NAVCOM2
e2e_wait "$W/NAVCOM2-Relay.log" "NAVCOM2 Dual Encoder connected from 10.77.0.20" 60
e2e_wait "$P2" "recv C>124.850  119.100" 20
e2e_wait "$P2" "recv T>COM2   \\a Standby" 20
e2e_wait "$P2" "recv H>NAV2   \\x06 Standby" 20
e2e_wait "$P2" "recv F>114.10    108.20" 20
[ "$(e2e_count "$SIM" "COM_RECEIVE_ALL_TOGGLE data")" = 1 ] || e2e_fail "NAVCOM2 sent start-up events"
e2e_pass "NAVCOM2 connected without start-up events and shows both halves"

# NAVCOM1, COM half: C+ whole megahertz, F then C+ the fraction, X swaps.
echo "send C+" >&8
e2e_wait "$SIM" "COM_RADIO_WHOLE_INC data" 20
e2e_wait "$P1" "recv C>118.000  122.500" 20
echo "send F" >&8
echo "send C+" >&8
e2e_wait "$SIM" "COM_RADIO_FRACT_INC data" 20
e2e_wait "$P1" "recv C>118.000  122.525" 20
echo "send X" >&8
e2e_wait "$SIM" "COM_STBY_RADIO_SWAP data" 20
e2e_wait "$P1" "recv C>122.525  118.000" 20
e2e_pass "NAVCOM1 C+ steps the COM standby, F switches to the fraction, X swaps"

# NAV half: N+ on page 0 steps the NAV standby, S swaps, M shows the CDI page.
echo "send N+" >&8
e2e_wait "$SIM" "NAV1_RADIO_WHOLE_INC data" 20
e2e_wait "$P1" "recv F>110.50    114.90" 20
echo "send S" >&8
e2e_wait "$SIM" "NAV1_RADIO_SWAP data" 20
e2e_wait "$P1" "recv F>114.90    110.50" 20
echo "send M" >&8
e2e_wait "$P1" "recv H>CDI1            " 20
e2e_wait "$P1" "recv S>-1" 20
e2e_wait "$P1" "recv F>114.90    \\x05  090" 20
e2e_pass "NAVCOM1 N+ steps the NAV standby, S swaps NAV, M shows the bar as S"

# The NAV radio failed: all four lines blank, COM keys dropped too.
offs=$(e2e_count "$P1" "recv B>OFF")
echo "set PARTIAL PANEL NAV:1 1" >&7
e2e_wait "$P1" "recv B>OFF" 20 $((offs + 1))
e2e_wait "$P1" "recv C>                " 20
e2e_wait "$P1" "recv T>                " 20
e2e_wait "$P1" "recv H>                " 20
e2e_expect_dropped "$P1" 8 "NAVCOM1 acted with its NAV radio failed" C+ X
headers=$(e2e_count "$P1" "recv H>NAV1   \\x05 Standby")
echo "set PARTIAL PANEL NAV:1 0" >&7
e2e_wait "$P1" "recv H>NAV1   \\x05 Standby" 20 $((headers + 1))
e2e_pass "NAVCOM1 NAV failure blanks all four lines and drops COM keys; back on page 0"

# NAVCOM2, two knobs per half: R4 whole megahertz, R3 the fraction of COM2.
echo "send R4+" >&9
e2e_wait "$SIM" "COM2_RADIO_WHOLE_INC data" 20
e2e_wait "$P2" "recv C>124.850  120.100" 20
echo "send R3+" >&9
e2e_wait "$P2" "recv C>124.850  120.125" 20
# No transmit-select or receive-all key on this panel; X still swaps.
echo "event COM2_TRANSMIT_SELECT" >&7
e2e_wait "$P2" "recv T>COM2 T \\a Standby" 20
echo "send T" >&9
echo "send R" >&9
echo "send X" >&9
e2e_wait "$SIM" "COM2_RADIO_SWAP data" 20
e2e_wait "$P2" "recv C>120.125  124.850" 20
[ "$(e2e_count "$SIM" "COM_RECEIVE_ALL_TOGGLE data")" = 1 ] || e2e_fail "NAVCOM2 R toggled receive-all"
[ "$(e2e_count "$SIM" "COM2_TRANSMIT_SELECT data")" = 0 ] || e2e_fail "NAVCOM2 T selected transmit"
e2e_pass "NAVCOM2 R4+ and R3+ step COM2; T and R do nothing; X swaps"

# NAV2: R2 whole megahertz, S swaps; on the CDI page P, then R2+ turns the
# OBS five degrees.
echo "send R2+" >&9
e2e_wait "$SIM" "NAV2_RADIO_WHOLE_INC data" 20
e2e_wait "$P2" "recv F>114.10    109.20" 20
echo "send S" >&9
e2e_wait "$P2" "recv F>109.20    114.10" 20
echo "send M" >&9
e2e_wait "$P2" "recv S>1" 20
echo "send P" >&9
echo "send R2+" >&9
e2e_wait "$SIM" "VOR2_OBI_INC data" 20 5
e2e_wait "$P2" "recv F>109.20    \\x06 >275" 20
e2e_pass "NAVCOM2 R2+ steps the NAV2 standby, S swaps, P and R2+ turn the OBS five degrees"
