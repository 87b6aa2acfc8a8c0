#!/usr/bin/env bash
# Started before the simulator, a program turns its spinner once per failed
# connection attempt (backslash, bar, slash, dash, over and over) and prints
# its connection line once when the simulator comes up.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin COMM1-Relay

W=$E2E_WORK
RELAY=$W/COMM1-Relay.log
e2e_start relay_pid COMM1-Relay "$W/comm1" /dev/null COMM1-Relay
e2e_wait "$RELAY" "Searching Connection to Flight Simulator -" 30
# At least ten attempts: more than one turn of the spinner.
end=$((SECONDS + 60 * E2E_SLOW))
while [ "$(tr -cd '\b' <"$RELAY" | wc -c)" -lt 10 ]; do
  [ $SECONDS -lt $end ] || e2e_fail "fewer than ten connection attempts in $((60 * E2E_SLOW))s"
  sleep 0.2
done
glyphs=$(e2e_lines_after "$RELAY" "Searching Connection" | tr -d '\n\r' | sed 's/^Searching Connection to Flight Simulator -//' |
  sed 's/\x08\(.\)/\1/g')
expected=$(printf '\\|/-%.0s' $(seq 100))
[ "$glyphs" = "${expected:0:${#glyphs}}" ] || e2e_fail "spinner glyphs '$glyphs'"
e2e_pass "one spinner glyph per attempt, in turn: ${glyphs:0:12}..."

e2e_fifo "$W/sim.in" 7
e2e_start sim_pid sim-standin "$W/sim" "$W/sim.in" sim-standin
e2e_wait "$RELAY" "COM1-Client Connected to Flight Simulator!" 60
[ "$(e2e_count "$RELAY" "COM1-Client Connected to Flight Simulator!")" = 1 ] || e2e_fail "connection line printed more than once"
e2e_pass "the simulator comes up: one connection line"
