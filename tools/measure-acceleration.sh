#!/usr/bin/env bash
# Measures what encoder acceleration saves, in a private network namespace:
# NAV1-Relay and COMM1-Relay between sim-standin (30 frames a second) and
# acceleration-probe, the benchmark's own two-knob panel, which turns
#   NAV1's OBS in OBS select from 0 to 180 degrees (one degree a step), and
#   COM1's standby fraction across the megahertz (39 steps of 25 kHz),
# a detent every 20 ms, and reports the detents and seconds each turn took;
# then ten detents 200 ms apart, which must make ten steps. Configurations:
# KEEP_FRAME_RATE=1 with ACCELERATION 0, 5 and 10, or those given. About
# half a minute for the three.
# Usage: measure-acceleration.sh [program-folder] [configuration...]
#   program-folder: where NAV1-Relay and COMM1-Relay are; a folder of the
#     Windows build (build-windows/bin) runs them under Wine, with a
#     wineserver of the measurement's own for RELAY_WINEPREFIX. The stand-in
#     and the probe come from RELAY_TOOLS_BIN (default build/bin).
#   configuration: the program's keys joined by commas, e.g.
#     KEEP_FRAME_RATE=1,ACCELERATION=5.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/lib/bin_folder.sh"
source "$root/tools/lib/netns.sh"
source "$root/tools/lib/measure.sh"
relay_bin_folder measure-acceleration "${RELAY_TOOLS_BIN:-$root/build/bin}" sim-standin acceleration-probe
tools=$bin
relay_program_folder measure-acceleration "${1:-$root/build/bin}" NAV1-Relay COMM1-Relay
shift $(($# < 1 ? $# : 1))
configurations=("$@")
[ ${#configurations[@]} -gt 0 ] ||
  configurations=(KEEP_FRAME_RATE=1,ACCELERATION=0 KEEP_FRAME_RATE=1,ACCELERATION=5 KEEP_FRAME_RATE=1,ACCELERATION=10)
export RELAY_TOOLS_BIN=$tools
relay_enter_netns measure-acceleration "$0" "$programs" "${configurations[@]}"

measure_begin

# measure <configuration> <program> <section> <turn>
measure() {
  local config=$1 program=$2 section=$3 turn=$4 dir
  dir=$work/$program-$(echo "$config" | tr -c 'A-Za-z0-9\n' '_')
  mkdir -p "$dir"
  mkfifo "$dir/sim.in" "$dir/sim.out"
  exec 7<>"$dir/sim.in"
  "$bin/acceleration-probe" --turn "$turn" --standin-log "$dir/sim.out" --standin-commands "$dir/sim.in" \
    --label "$(printf '%-34s' "$config")" &
  local probe=$!
  measure_start_standin "$dir/sim.in" "$dir/sim.out"
  measure_start_relay "$dir" "$(printf '[%s]\n%s' "$section" "$(printf '%s' "$config" | tr ',' '\n')")" "$program"
  wait "$probe" || { echo "measure-acceleration: $config $turn failed; $program said:"; tail -n 20 "$dir/relay.log"; }
  echo quit >&7
  measure_stop_all
  exec 7>&-
}

where=natively
[ "$measure_wine" = 1 ] && where="under Wine ($programs)"
echo "Stand-in at 30 frames a second, programs run $where; load at start:$(uptime | sed 's/.*load/ load/')"
for configuration in "${configurations[@]}"; do
  measure "$configuration" NAV1-Relay NAV1 obs
  measure "$configuration" COMM1-Relay COM1 fraction
done
