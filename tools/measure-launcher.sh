#!/usr/bin/env bash
# Measures Relay-Launcher with the default settings in a folder with all nine
# programs, against sim-standin and four virtual panels (COM1, NAV2, the
# multi-function panel, the transponder), in a private network namespace:
#   - from its start to every panel found by its search, and to every
#     program connected to its panel;
#   - its CPU share of one core and resident memory while the cockpit idles;
#   - from COMM1-Relay killed (SIGKILL) to the COM1 panel getting lines again,
#     once per launcher run (a second kill within a minute would meet the
#     crash back-off), over several runs.
# Usage: measure-launcher.sh [bin-folder] [idle-seconds] [runs]
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/lib/bin_folder.sh"
source "$root/tools/lib/netns.sh"
source "$root/tools/lib/cockpit.sh"
source "$root/tools/lib/process_usage.sh"
programs=(HUB1-Relay NAVCOM1-Relay NAVCOM2-Relay ADF-Relay NAV1-Relay NAV2-Relay XPDR-Relay COMM2-Relay COMM1-Relay)
relay_bin_folder measure-launcher "${1:-$root/build/bin}" Relay-Launcher sim-standin virtual-panel "${programs[@]}"
seconds=${2:-30}
runs=${3:-5}
relay_enter_netns measure-launcher "$0" "$@"

cockpit_begin
cd "$work" || exit 1
"$bin/sim-standin" --tcp-port 0 </dev/null >standin.log 2>&1 &
pids+=($!)
for panel in comm1 nav2 hub1 xpdr; do
  "$bin/virtual-panel" --panel "$panel" --script </dev/null >"$panel.log" 2>&1 &
  pids+=($!)
done
sleep 1  # every panel listening

now_ms() { echo $(($(date +%s%N) / 1000000)); }
count() { local n; n=$(grep -c -- "$2" "$1" 2>/dev/null); echo "${n:-0}"; }
# until <file> <pattern> <count>: polls every 10 ms, up to 30 s.
until_seen() {
  local end=$((SECONDS + 30))
  while [ "$(count "$1" "$2")" -lt "$3" ]; do
    [ $SECONDS -ge $end ] && { echo "measure-launcher: no '$2' in $1"; tail -n 20 "$1"; exit 1; }
    sleep 0.01
  done
}

# start_launcher: a fresh run; sets launcher, and t0 to its start time.
start_launcher() {
  t0=$(now_ms)
  "$work/cockpit/Relay-Launcher" </dev/null >launcher.log 2>&1 &
  launcher=$!
}
stop_launcher() {
  kill -INT "$launcher"
  wait "$launcher"
  launcher=
}

start_launcher
until_seen launcher.log "found the .* panel" 4
t_found=$(now_ms)
until_seen launcher.log "connected from 10.77.0.20" 4
t_connected=$(now_ms)
echo "start to all four panels found: $((t_found - t0)) ms; to all four programs connected to their panels: $((t_connected - t0)) ms"

sleep 3  # past the start-up
relay_process_usage "$launcher" "$seconds" "launcher, cockpit idle"

times=()
for run in $(seq 1 "$runs"); do
  if [ "$run" -gt 1 ]; then
    start_launcher
    until_seen launcher.log "COMM1-Relay: Panel connected" 1
  fi
  sleep 1
  program=$(ps -o pid=,args= --ppid "$launcher" | awk '/COMM1-Relay/ {print $1}')
  lines=$(count comm1.log "recv B>ON")
  t_kill=$(now_ms)
  kill -KILL "$program"
  until_seen comm1.log "recv B>ON" $((lines + 1))
  times+=($(($(now_ms) - t_kill)))
  stop_launcher
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "COMM1-Relay killed to its panel getting lines again, $runs runs: ${times[*]} ms (median ${sorted[$((runs / 2))]} ms)"
