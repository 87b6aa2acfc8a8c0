#!/usr/bin/env bash
# The scripted NAV1 demo: the walk-through tunes standby and active
# frequencies, selects the OBS by double push, walks the five pages and
# switches the DME ident on, end to end.
set -u
source "$(dirname "$0")/lib/demo_walk.sh"
demo_walk_check demo_script_nav1 nav1 "F>110.50    114.90" "F>111.50    \\x05  090" "F>111.50    \\x05 >091" \
  "F>111.50       272" "H>DME1 sel  108kts" "F>111.50 \\a 12.4nm "
