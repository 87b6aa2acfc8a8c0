#!/usr/bin/env bash
# The scripted transponder demo: XPDR-Relay sets a code digit, switches the
# mode with the keys and the encoder, goes dark when off, sets the VFR code
# and idents, all shown on the virtual panel.
set -u
source "$(dirname "$0")/lib/demo_walk.sh"
demo_walk_check demo_xpdr xpdr "F>FL 035      1201" "H>XPDR  >ON   CODE" "H>XPDR  >ALT  CODE" "B>OFF" \
  "H>XPDR   STBY CODE" "F>FL 035 IDNT 1200"
