#!/usr/bin/env bash
# ADF end to end with both panel versions: "S" swaps in the stand-in; a
# tenths step on the needle page ends as the stand-in's new active frequency;
# "T" on the clock page runs a clock that counts in the stand-in's "ABSOLUTE
# TIME". Then the dual-encoder panel: a double push selects the card and the
# second encoder turns it five steps at a time.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin ADF-Relay virtual-panel

W=$E2E_WORK
SIM=$W/sim-standin.log
PANEL=$W/panel.log
RELAY=$W/ADF-Relay.log

# start_pair <version>: a virtual ADF panel of that version and ADF-Relay,
# connected and showing the frequencies page.
start_pair() {
  PANEL=$W/panel-v$1.log
  RELAY=$W/ADF-Relay-v$1.log
  e2e_fifo "$W/panel-v$1.in" 8
  e2e_start panel_pid "panel-v$1" "$W/panel" "$W/panel-v$1.in" virtual-panel --panel adf --variant "$1"
  e2e_wait "$PANEL" "listening on UDP port 4779" 30
  e2e_start relay_pid "ADF-Relay-v$1" "$W/adf" /dev/null ADF-Relay
  e2e_wait "$RELAY" "connected from 10.77.0.20" 60
  e2e_wait "$PANEL" "recv B>ON" 20
}

# frames_after <count>: waits until the panel has been sent that many more
# frames (one "B>ON" each) than now.
frames_after() {
  local have
  have=$(e2e_count "$PANEL" "recv B>ON")
  e2e_wait "$PANEL" "recv B>ON" 30 $((have + $1))
}

e2e_start_standin -v
e2e_config "$W/adf" "[ADF]
IDLE_MS=10"

start_pair 1
e2e_wait "$PANEL" 'recv H>ADF    \x04 Standby' 20
e2e_wait "$PANEL" "recv F> 379.0     344.5" 20
e2e_pass "version 1 connected: frequencies page with the signal mark"

echo "send S" >&8
e2e_wait "$SIM" "ADF1_RADIO_SWAP data" 20
e2e_wait "$PANEL" "recv F> 344.5     379.0" 20
e2e_pass "S swaps active and standby"

# Needle page: heading 87 plus relative bearing 45 is bearing 132, the needle
# 45 * 15 / 50 rounded.
echo "send M" >&8
e2e_wait "$PANEL" 'recv F> 344.5    \x04  132' 20
e2e_wait "$PANEL" "recv C>14" 20

# Three pushes to the tenths digit, each more than the 30 frames of a double
# push after the last and well within the 100 frames the cursor lasts. Slow
# frames make that margin generous in time.
echo "frames 10" >&7
for _ in 1 2; do
  echo "send P" >&8
  frames_after 40
done
echo "send P" >&8
echo "send R+" >&8
e2e_wait "$SIM" "ADF_COMPLETE_SET data 54812672 (0x3446000)" 20
e2e_wait "$PANEL" 'recv F> 344.6    \x04  132' 20
echo "frames 30" >&7
echo "get ADF ACTIVE FREQUENCY:1" >&7
e2e_wait "$SIM" "ADF ACTIVE FREQUENCY:1 = 344.6" 20
[ "$(e2e_count "$SIM" "ADF_COMPLETE_SET data")" = 1 ] || e2e_fail "more than one set for one step"
cards=$(( $(e2e_count "$SIM" "ADF_CARD_INC data") + $(e2e_count "$SIM" "ADF_CARD_DEC data") ))
[ "$cards" = 0 ] || e2e_fail "the pushes made a double push"
e2e_pass "a tenths step on the needle page sets 344.6 kHz in the stand-in"

# Clock page: T starts the clock at the stand-in's time; moving that time on
# by 3725 s shows 62 minutes; T stops, T resets.
echo "send M" >&8
e2e_wait "$PANEL" "recv F> 344.6     00:00" 20
# Each time is set, and a few frames with it sent, before the key that
# reads it: a frame from before the set must not carry the key.
echo "set ABSOLUTE TIME 1000" >&7
e2e_wait "$SIM" "ABSOLUTE TIME = 1000" 20
frames_after 3
echo "send T" >&8
frames_after 3
echo "set ABSOLUTE TIME 4725" >&7
e2e_wait "$PANEL" "recv F> 344.6     62:0" 20
zeros=$(e2e_count "$PANEL" "recv F> 344.6     00:00")
echo "send T" >&8
echo "send T" >&8
e2e_wait "$PANEL" "recv F> 344.6     00:00" 20 $((zeros + 1))
[ "$(e2e_count "$SIM" "RADIO_ADF_IDENT_TOGGLE data")" = 0 ] || e2e_fail "T on the clock page sent ident"
e2e_pass "T starts, stops and resets a clock that counts in the stand-in's time"

# The dual-encoder panel, on a fresh start of the program.
e2e_kill_hard "$relay_pid"
e2e_kill_hard "$panel_pid"
e2e_wait_exit "$relay_pid" 20
e2e_wait_exit "$panel_pid" 20
exec 8>&-
start_pair 2
e2e_wait "$PANEL" "recv F> 344.6     379.0" 20
echo "send R2+" >&8
e2e_wait "$SIM" "ADF_100_INC data" 20
e2e_wait "$PANEL" "recv F> 444.6     379.0" 20
echo "send M" >&8
echo "send P" >&8
echo "send P" >&8
echo "send R2+" >&8
e2e_wait "$PANEL" 'recv F> 444.6    \x04 >005' 20
[ "$(e2e_count "$SIM" "ADF_CARD_INC data")" = 5 ] || e2e_fail "R2+ in card select did not turn the card five steps"
e2e_wait "$SIM" "ADF_COMPLETE_SET data 71589888 (0x4446000)" 20
e2e_pass "version 2: double push selects the card, R2+ turns it five steps and sets the frequency unchanged"
