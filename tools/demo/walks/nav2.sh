# shellcheck shell=bash
# Scripted walk-through of the NAV2 panel (single encoder). The demo aircraft
# has NAV2 on 114.10, standby 108.20, a VOR on radial 271 showing FROM, OBS
# 270 and a DME 23.7 nm out, with DME 1 selected. Every step waits for the
# display to show its effect, then prints it. \x06 is the panel's FROM mark.
walk_standin_commands=()
walk_steps=(
  "timeout 20000"
  "expect B>ON"
  "expect H>NAV2   \\x06 Standby"
  "expect F>114.10    108.20"
  "show"
  "# R+: standby up one megahertz; P then R+: up one 50-kHz channel"
  "send R+"
  "expect F>114.10    109.20"
  "send P"
  "send R+"
  "expect F>114.10    109.25"
  "show"
  "# M: page 1, course deviation bar and OBS"
  "send M"
  "expect F>114.10    \\x06  270"
  "show"
  "# P then R+ on page 1: the active frequency up one channel (NAV2_RADIO_SET)"
  "send P"
  "send R+"
  "expect F>114.15    \\x06  270"
  "show"
  "# M, M: page 3, radial FROM the station"
  "send M"
  "send M"
  "expect F>114.15       271"
  "show"
  "# M: page 4, DME 2; the push selects it (TOGGLE_DME)"
  "send M"
  "expect H>DME2      110kts"
  "send P"
  "expect H>DME2 sel  110kts"
  "show"
)
