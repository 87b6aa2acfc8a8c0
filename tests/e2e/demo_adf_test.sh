#!/usr/bin/env bash
# The scripted ADF demo: ADF-Relay, the simulator stand-in and the virtual
# ADF panel step, swap, edit, turn the card and start the clock end to end.
set -u
source "$(dirname "$0")/lib/demo_walk.sh"
demo_walk_check demo_adf adf "F> 479.0     344.5" "F> 344.5     479.0" "F> 444.5    \\x04  132" \
  "F> 444.5    \\x04 >001" "F> 444.5     00:01"
