#!/usr/bin/env bash
# The scripted demo: COMM1-Relay, the simulator stand-in and the virtual
# COM1 panel tune, swap and select transmit end to end, once as it comes and
# once with --live (KEEP_FRAME_RATE set).
set -u
source "$(dirname "$0")/lib/demo_walk.sh"
lines=("F>118.000  122.500" "F>118.000  122.525" "F>122.525  118.000" "H>COM1 T \\a Standby")
out=$(demo_walk_check demo_script comm1 "${lines[@]}") || { echo "$out"; exit 1; }
echo "$out"
if grep -qF "Keep Frame Rate" <<<"$out"; then
  echo "FAIL demo_script: the plain demo keeps the frame rate"
  exit 1
fi
out=$(DEMO_WALK_OPTIONS=--live demo_walk_check demo_script_live comm1 "${lines[@]}") || { echo "$out"; exit 1; }
echo "$out"
if ! grep -qF "Keep Frame Rate redefined: 1" <<<"$out"; then
  echo "FAIL demo_script: --live does not set KEEP_FRAME_RATE"
  exit 1
fi
