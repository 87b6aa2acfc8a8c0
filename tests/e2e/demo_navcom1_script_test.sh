#!/usr/bin/env bash
# The scripted NAVCOM1 demo: the walk-through tunes and swaps both halves and
# selects the OBS on the CDI page, end to end.
exec bash "$(dirname "$0")/demo_script_test.sh" navcom1 "matched C>118.000  122.525" \
  "matched C>122.525  118.000" "matched F>114.90    110.50" "matched F>114.90    \\x05 >091"
