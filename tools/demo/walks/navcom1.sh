# shellcheck shell=bash
# Scripted walk-through of the NAVCOM1 panel (one knob per half). The demo
# aircraft has COM1 on 118.000, standby 121.500, and NAV1 on 110.50, standby
# 113.90, a VOR on radial 92.4 showing TO with OBS 090. On finding the panel
# NAVCOM1-Relay switches receive-all on, so the COM header shows the audio
# mark beside the transmit mark. Every step waits for the display to show
# its effect, then prints it. \x05 is the panel's TO mark, \a its audio mark.
walk_standin_commands=()
walk_steps=(
  "timeout 20000"
  "expect B>ON"
  "expect C>118.000  121.500"
  "expect T>COM1 T \\a Standby"
  "expect F>110.50    113.90"
  "show"
  "# C+: COM standby up one megahertz"
  "send C+"
  "expect C>118.000  122.500"
  "show"
  "# F then C+: the COM push switches its knob to the fraction"
  "send F"
  "send C+"
  "expect C>118.000  122.525"
  "show"
  "# X: swap the COM frequencies"
  "send X"
  "expect C>122.525  118.000"
  "show"
  "# N+: NAV standby up one megahertz"
  "send N+"
  "expect F>110.50    114.90"
  "show"
  "# S: swap the NAV frequencies"
  "send S"
  "expect F>114.90    110.50"
  "show"
  "# M: the CDI page, with the deviation bar on the S line"
  "send M"
  "expect F>114.90    \\x05  090"
  "show"
  "# P, P: a double push selects the OBS; N+ turns it"
  "send P"
  "send P"
  "send N+"
  "expect F>114.90    \\x05 >091"
  "show"
)
