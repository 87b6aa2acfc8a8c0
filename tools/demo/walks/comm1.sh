# shellcheck shell=bash
# Scripted walk-through of the COM1 panel. The demo aircraft starts with
# COM1 on 118.000, standby 121.500; COM2 is made the transmitting radio so
# that T has something to show. Every step waits for the display to show its
# effect, then prints it.
walk_standin_commands=(
  "event COM2_TRANSMIT_SELECT"
)
walk_steps=(
  "timeout 20000"
  "expect B>ON"
  "expect F>118.000  121.500"
  "expect H>COM1     Standby"
  "show"
  "# R+: standby up one megahertz"
  "send R+"
  "expect F>118.000  122.500"
  "show"
  "# P then R+: the push switches the encoder to the fraction"
  "send P"
  "send R+"
  "expect F>118.000  122.525"
  "show"
  "# S: swap active and standby"
  "send S"
  "expect F>122.525  118.000"
  "show"
  "# T: select COM1 for transmit"
  "send T"
  "expect H>COM1 T \\a Standby"
  "show"
)
