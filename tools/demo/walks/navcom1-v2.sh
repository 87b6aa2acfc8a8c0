# shellcheck shell=bash
# Scripted walk-through of the NAVCOM1 panel with two knobs per half: R4
# steps the COM whole megahertz and R3 its fraction, R2 the NAV whole
# megahertz and R1 its fraction. The demo aircraft has COM1 on 118.000,
# standby 121.500, and NAV1 on 110.50, standby 113.90, a VOR showing TO with
# OBS 090. Every step waits for the display to show its effect, then prints
# it. \x05 is the panel's TO mark, \a its audio mark.
walk_standin_commands=()
walk_steps=(
  "timeout 20000"
  "expect B>ON"
  "expect C>118.000  121.500"
  "expect F>110.50    113.90"
  "show"
  "# R4+ then R3+: COM standby up one megahertz, then one channel"
  "send R4+"
  "send R3+"
  "expect C>118.000  122.525"
  "show"
  "# R2+ then R1+: NAV standby up one megahertz, then 50 kHz"
  "send R2+"
  "send R1+"
  "expect F>110.50    114.95"
  "show"
  "# X and S: swap the COM and the NAV frequencies"
  "send X"
  "send S"
  "expect C>122.525  118.000"
  "expect F>114.95    110.50"
  "show"
  "# M, then P: the CDI page; the push selects the OBS and R2+ turns it five degrees"
  "send M"
  "send P"
  "send R2+"
  "expect F>114.95    \\x05 >095"
  "show"
)
