#!/usr/bin/env bash
# Measures how COMM1-Relay copes with a lossy network: the program between
# sim-standin (30 frames a second) and lossy-link-probe, the benchmark's own
# COM1 panel, whose link loses each datagram in either direction with
# probability p, in a private network namespace. The panel presses a key
# every 100 to 300 ms; each row gives the offline events, the keys sent, lost
# by the network and arrived at the stand-in, the keys the program lost
# beyond those, and the longest time without a display line. Rows: the
# default timing (IDLE_MS 50) and KEEP_FRAME_RATE=1, each at p = 0, 0.01,
# 0.02 and 0.05; the row KEEP_FRAME_RATE=1 at p = 0.01 runs longer. With the
# defaults it takes about 30 minutes.
# Usage: measure-lossy-link.sh [bin-folder] [seconds] [goal-row-seconds] [KEEP_FRAME_RATE:p ...]
#   e.g. measure-lossy-link.sh build/bin 60 60 1:0.05   (one short row)
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/lib/bin_folder.sh"
source "$root/tools/lib/netns.sh"
source "$root/tools/lib/measure.sh"
relay_bin_folder measure-lossy-link "${1:-$root/build/bin}" sim-standin COMM1-Relay lossy-link-probe
seconds=${2:-150}
goal_seconds=${3:-600}
shift $(($# < 3 ? $# : 3))
rows=("$@")
[ ${#rows[@]} -gt 0 ] || rows=(0:0 0:0.01 0:0.02 0:0.05 1:0 1:0.01 1:0.02 1:0.05)
for row in "${rows[@]}"; do
  [[ $row =~ ^[0-9]+:[0-9.]+$ ]] || { echo "measure-lossy-link: a row is KEEP_FRAME_RATE:p (e.g. 1:0.01), not '$row'"; exit 2; }
done
relay_enter_netns measure-lossy-link "$0" "$bin" "$seconds" "$goal_seconds" "${rows[@]}"

measure_begin

# measure <KEEP_FRAME_RATE> <p> <seconds> <seed>
measure() {
  local keep=$1 loss=$2 secs=$3 seed=$4 dir=$work/row_$1_$2
  mkdir -p "$dir"
  measure_start_standin /dev/null "$dir/sim.log"
  measure_start_relay "$dir" "$(printf '[COM1]\nIDLE_MS=50\nKEEP_FRAME_RATE=%s' "$keep")"
  if "$bin/lossy-link-probe" --standin-log "$dir/sim.log" --program-log "$dir/relay.log" --seconds "$secs" \
      --loss "$loss" --seed "$seed" --label "| $keep | $loss |" >"$dir/probe.out"; then
    grep '^|' "$dir/probe.out"
    grep -v '^|' "$dir/probe.out" | sed "s/^/KEEP_FRAME_RATE=$keep /" >>"$work/details"
  else
    echo "measure-lossy-link: KEEP_FRAME_RATE=$keep p=$loss failed: $(cat "$dir/probe.out"); COMM1-Relay said:"
    tail -n 20 "$dir/relay.log"
  fi
  measure_stop_all
}

echo "COMM1-Relay, stand-in at 30 frames a second, IDLE_MS 50, a key every 100-300 ms; load at start:$(uptime | sed 's/.*load/ load/')"
echo
echo "| KEEP_FRAME_RATE | p | minutes | offline events per minute (count) | keys sent / lost by the network / arrived | keys lost beyond the network's | longest time without a display line |"
echo "|---|---|---|---|---|---|---|"
for row in "${rows[@]}"; do
  keep=${row%%:*}
  loss=${row#*:}
  secs=$seconds
  [ "$row" = 1:0.01 ] && secs=$goal_seconds
  # Each row its own seed, the same in every run.
  measure "$keep" "$loss" "$secs" "$(printf '%s' "$row" | cksum | cut -d' ' -f1)"
done
echo
cat "$work/details" 2>/dev/null
echo "load at end:$(uptime | sed 's/.*load/ load/')"
