# shellcheck shell=bash
# Scripted walk-through of the NAV1 panel with two encoders: knob 1 (R1L/R1R)
# steps whole megahertz, knob 2 (R2L/R2R) the fraction. The demo aircraft has
# NAV1 on 110.50, standby 113.90, a VOR showing TO and OBS 090.
walk_standin_commands=()
walk_steps=(
  "timeout 20000"
  "expect B>ON"
  "expect F>110.50    113.90"
  "show"
  "# R1R: standby up one megahertz; R2R: up one channel"
  "send R1R"
  "expect F>110.50    114.90"
  "send R2R"
  "expect F>110.50    114.95"
  "show"
  "# M: page 1; R1R tunes the active frequency itself (NAV1_RADIO_SET)"
  "send M"
  "send R1R"
  "expect F>111.50    \\x05  090"
  "show"
  "# P selects the OBS: knob 1 turns it five degrees a step, knob 2 one"
  "send P"
  "send R1R"
  "expect F>111.50    \\x05 >095"
  "send R2L"
  "expect F>111.50    \\x05 >094"
  "show"
)
