# shellcheck shell=bash
# Scripted walk-through of the ADF panel (one encoder). The demo aircraft
# starts with the ADF on 379.0 kHz, standby 344.5, a station received at 45
# degrees right of the nose and heading 87. Every step waits for the display
# to show its effect, then prints it.
walk_standin_commands=()
walk_steps=(
  "timeout 20000"
  "expect B>ON"
  "expect F> 379.0     344.5"
  "show"
  "# R+ on the frequencies page: the simulator steps the hundreds digit"
  "send R+"
  "expect F> 479.0     344.5"
  "show"
  "# S: swap active and standby"
  "send S"
  "expect F> 344.5     479.0"
  "show"
  "# M: the needle page, bearing 132 to the station"
  "send M"
  "expect F> 344.5    \\x04  132"
  "show"
  "# R+ on the needle page: the hundreds digit is edited here and set whole"
  "send R+"
  "expect F> 444.5    \\x04  132"
  "show"
  "# P P: a double push selects the card; R+ turns it"
  "send P"
  "send P"
  "send R+"
  "expect F> 444.5    \\x04 >001"
  "show"
  "# M, then T: the clock page, and its clock started"
  "send M"
  "expect H>ADF           ET"
  "send T"
  "expect F> 444.5     00:01"
  "show"
)
