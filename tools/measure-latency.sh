#!/usr/bin/env bash
# Measures how fast the bridge reacts, end to end: COMM1-Relay between
# sim-standin (30 frames a second) and latency-probe, the benchmark's own COM1
# panel, in a private network namespace. For each configuration it times
#   knob -> simulator event:        "R+" from the panel until the event
#                                   arrives at the stand-in;
#   simulator change -> panel line: a standby frequency set in the stand-in
#                                   until the panel receives the line with it;
#   round trip R+ -> panel line:    "R+" from the panel until the panel
#                                   receives the line with the new frequency;
# and prints median, 90th percentile and maximum. Configurations: the
# defaults (IDLE_MS 50), IDLE_MS=10, and KEEP_FRAME_RATE=1 at the default
# idle time. Takes about five minutes with 100 samples.
# Usage: measure-latency.sh [bin-folder] [samples]
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/lib/bin_folder.sh"
source "$root/tools/lib/netns.sh"
source "$root/tools/lib/measure.sh"
relay_bin_folder measure-latency "${1:-$root/build/bin}" sim-standin COMM1-Relay latency-probe
samples=${2:-100}
relay_enter_netns measure-latency "$0" "$bin" "$samples"

measure_begin

# measure <label> <configuration text>
measure() {
  local label=$1 config=$2 dir
  dir=$work/$(echo "$label" | tr -c 'A-Za-z0-9\n' '_')
  mkdir -p "$dir"
  mkfifo "$dir/sim.in" "$dir/sim.out"
  exec 7<>"$dir/sim.in"
  "$bin/latency-probe" --standin-log "$dir/sim.out" --standin-commands "$dir/sim.in" --samples "$samples" \
    --label "$(printf '%-18s' "$label")" &
  local probe=$!
  measure_start_standin "$dir/sim.in" "$dir/sim.out"
  measure_start_relay "$dir" "$config"
  wait "$probe" || { echo "measure-latency: $label failed; COMM1-Relay said:"; tail -n 20 "$dir/relay.log"; }
  echo quit >&7
  measure_stop_all
  exec 7>&-
}

echo "COMM1-Relay, stand-in at 30 frames a second, $samples samples per figure"
measure "default" "[COM1]"
measure "IDLE_MS=10" "[COM1]
IDLE_MS=10"
measure "KEEP_FRAME_RATE=1" "[COM1]
KEEP_FRAME_RATE=1"
