#!/usr/bin/env bash
# The scripted multi-function panel demo: the walk-through visits all six
# pages with the digit keys and makes one tuning action on each.
set -u
source "$(dirname "$0")/lib/demo_walk.sh"
demo_walk_check demo_script_hub1 hub1 "H>COM2     Standby" "F>118.000  122.500" "F>119.100  124.850" \
  "F>111.50    \\x05  090" "F>114.10    109.20" "F> 479.0     344.5" "F>FL 035      1300"
