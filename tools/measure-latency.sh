#!/usr/bin/env bash
# Measures how fast the bridge reacts, end to end, in a private network
# namespace: COMM1-Relay between sim-standin (30 frames a second) and
# latency-probe, the benchmark's own COM1 panel, which times
#   knob -> simulator event:        "R+" from the panel until the event
#                                   arrives at the stand-in;
#   simulator change -> panel line: a standby frequency set in the stand-in
#                                   until the panel receives the line with it;
#   round trip R+ -> panel line:    "R+" from the panel until the panel
#                                   receives the line with the new frequency;
# then HUB1-Relay with the probe playing its panel, which times
#   page key -> new header line:    "1" or "3" (COM1 and NAV1 page in turn)
#                                   until the panel receives the new header;
# and prints median, 90th percentile and maximum of each. Configurations: the
# defaults (IDLE_MS 50), IDLE_MS=10, and KEEP_FRAME_RATE=1 at the default
# idle time, or those given. Takes about three minutes a configuration with
# 100 samples. RELAY_PANEL_FLOOD=N makes the probe a panel that floods the
# program with N datagrams a second of a code no panel knows, all along.
# Usage: measure-latency.sh [program-folder] [samples] [configuration...]
#   program-folder: where COMM1-Relay and HUB1-Relay are; a folder of the
#     Windows build (build-windows/bin) runs them under Wine, with a
#     wineserver of the measurement's own for RELAY_WINEPREFIX. The stand-in
#     and the probe come from RELAY_TOOLS_BIN (default build/bin).
#   configuration: "default", or the program's keys joined by commas, e.g.
#     KEEP_FRAME_RATE=1 or IDLE_MS=10,KEEP_FRAME_RATE=1.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/lib/bin_folder.sh"
source "$root/tools/lib/netns.sh"
source "$root/tools/lib/measure.sh"
relay_bin_folder measure-latency "${RELAY_TOOLS_BIN:-$root/build/bin}" sim-standin latency-probe
tools=$bin
relay_program_folder measure-latency "${1:-$root/build/bin}" COMM1-Relay HUB1-Relay
samples=${2:-100}
shift $(($# < 2 ? $# : 2))
configurations=("$@")
[ ${#configurations[@]} -gt 0 ] || configurations=(default IDLE_MS=10 KEEP_FRAME_RATE=1)
export RELAY_TOOLS_BIN=$tools
relay_enter_netns measure-latency "$0" "$programs" "$samples" "${configurations[@]}"

measure_begin

# measure <label> <program> <configuration text> [probe options...]
measure() {
  local label=$1 program=$2 config=$3 dir
  shift 3
  dir=$work/$program-$(echo "$label" | tr -c 'A-Za-z0-9\n' '_')
  mkdir -p "$dir"
  mkfifo "$dir/sim.in" "$dir/sim.out"
  exec 7<>"$dir/sim.in"
  "$bin/latency-probe" --standin-log "$dir/sim.out" --standin-commands "$dir/sim.in" --samples "$samples" \
    --label "$(printf '%-18s' "$label")" --flood "${RELAY_PANEL_FLOOD:-0}" "$@" &
  local probe=$!
  measure_start_standin "$dir/sim.in" "$dir/sim.out"
  measure_start_relay "$dir" "$config" "$program"
  wait "$probe" || { echo "measure-latency: $label failed; $program said:"; tail -n 20 "$dir/relay.log"; }
  echo quit >&7
  measure_stop_all
  exec 7>&-
}

where=natively
[ "$measure_wine" = 1 ] && where="under Wine ($programs)"
[ "${RELAY_PANEL_FLOOD:-0}" = 0 ] || where="$where, the panel flooding them with $RELAY_PANEL_FLOOD datagrams a second"
echo "Stand-in at 30 frames a second, $samples samples per figure, programs run $where;" \
  "load at start:$(uptime | sed 's/.*load/ load/')"
for configuration in "${configurations[@]}"; do
  keys=
  [ "$configuration" = default ] || keys=$(printf '%s' "$configuration" | tr ',' '\n')
  measure "$configuration" COMM1-Relay "$(printf '[COM1]\n%s' "$keys")"
  # HUB1-Relay reads its idle time from [NAV1], its other keys from [HUB1].
  measure "$configuration" HUB1-Relay "$(printf '[HUB1]\n%s\n[NAV1]\n%s' "$keys" "$keys")" \
    --identity VRAN-HUB1_1.0 --port 4783 --page-keys 13
done
