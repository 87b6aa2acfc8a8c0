# shellcheck shell=bash
# Scripted walk-through of the NAVCOM2 panel (one knob per half). The demo
# aircraft has COM2 on 124.850, standby 119.100, and NAV2 on 114.10, standby
# 108.20, a VOR on radial 271 showing FROM. COM2 is made the transmitting
# radio first, so the COM header shows the transmit mark. Every step waits
# for the display to show its effect, then prints it. \x06 is the panel's
# FROM mark, \a its audio mark.
walk_standin_commands=(
  "event COM2_TRANSMIT_SELECT"
)
walk_steps=(
  "timeout 20000"
  "expect B>ON"
  "expect C>124.850  119.100"
  "expect T>COM2 T \\a Standby"
  "expect F>114.10    108.20"
  "show"
  "# C+: COM2 standby up one megahertz"
  "send C+"
  "expect C>124.850  120.100"
  "show"
  "# X: swap the COM2 frequencies"
  "send X"
  "expect C>120.100  124.850"
  "show"
  "# N+: NAV2 standby up one megahertz"
  "send N+"
  "expect F>114.10    109.20"
  "show"
  "# M: the CDI page, with the deviation bar on the S line"
  "send M"
  "expect F>114.10    \\x06  270"
  "show"
)
