#!/usr/bin/env bash
# The scripted transponder demo: XPDR-Relay sets a code digit, switches the
# mode with the keys and the encoder, goes dark when off, sets the VFR code
# and idents, all shown on the virtual panel.
exec bash "$(dirname "$0")/demo_script_test.sh" xpdr "matched F>FL 035      1201" "matched H>XPDR  >ON   CODE" \
  "matched H>XPDR  >ALT  CODE" "matched B>OFF" "matched H>XPDR   STBY CODE" "matched F>FL 035 IDNT 1200"
