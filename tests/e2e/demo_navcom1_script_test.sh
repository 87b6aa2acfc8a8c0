#!/usr/bin/env bash
# The scripted NAVCOM1 demo: the walk-through tunes and swaps both halves and
# selects the OBS on the CDI page, end to end.
set -u
source "$(dirname "$0")/lib/demo_walk.sh"
demo_walk_check demo_script_navcom1 navcom1 "C>118.000  122.525" "C>122.525  118.000" "F>114.90    110.50" \
  "F>114.90    \\x05 >091"
