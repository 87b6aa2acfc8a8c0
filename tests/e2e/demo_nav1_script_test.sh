#!/usr/bin/env bash
# The scripted NAV1 demo: the walk-through tunes standby and active
# frequencies, selects the OBS by double push, walks the five pages and
# switches the DME ident on, end to end.
exec bash "$(dirname "$0")/demo_script_test.sh" nav1 "matched F>110.50    114.90" \
  "matched F>111.50    \\x05  090" "matched F>111.50    \\x05 >091" "matched F>111.50       272" \
  "matched H>DME1 sel  108kts" "matched F>111.50 \\a 12.4nm "
