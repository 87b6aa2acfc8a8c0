#!/usr/bin/env bash
# The scripted demo: COMM1-Relay, the simulator stand-in and the virtual
# COM1 panel tune, swap and select transmit end to end.
set -u
source "$(dirname "$0")/lib/demo_walk.sh"
demo_walk_check demo_script comm1 "F>118.000  122.500" "F>118.000  122.525" "F>122.525  118.000" \
  "H>COM1 T \\a Standby"
