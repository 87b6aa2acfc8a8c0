#!/usr/bin/env bash
# Soak run: all nine relay programs at once against one sim-standin, each
# with its own virtual panel pressing random keys, in a private network
# namespace (the programs broadcast). At the end it checks that
#   - no program crashed: each is still running, and each ends with exit
#     code 0 when the simulator quits;
#   - resident memory stayed flat: no program grew by more than
#     RELAY_SOAK_RSS_KIB (default 64) KiB after the first quarter of the run;
#   - every input that reached a program did what it must: the program echoes
#     each datagram in test mode, and the stand-in logged exactly as many
#     events (and transponder state writes) from that program's client as the
#     echoed codes call for.
# The keys are drawn per panel from codes whose effect does not depend on
# what earlier keys did (page keys that would change that are left out), so
# the count is exact, not statistical.
#
# Usage: soak.sh [bin-folder] [seconds]     (default build/bin, 300)
# RELAY_SOAK_SEED=<n> repeats the key sequences of an earlier run.
# RELAY_SOAK_KEEP=1 keeps the logs.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/lib/bin_folder.sh"
source "$root/tools/lib/netns.sh"
seconds=${2:-300}
seed=${RELAY_SOAK_SEED:-$(( $(date +%s) % 32768 ))}
rss_limit_kib=${RELAY_SOAK_RSS_KIB:-64}

# program panel variant section keep-frame-rate | event codes | state-write codes | codes with no effect
# outside the program
programs=(
  "COMM1-Relay comm1 1 COM1 0|R+ R- S T||P"
  "COMM2-Relay comm2 2 COM2 1|R1+ R1- R2+ R2- S T||P"
  "NAV1-Relay nav1 2 NAV1 1|R1L R1R R2L R2R S T||P"
  "NAV2-Relay nav2 1 NAV2 0|R+ R- S T||P"
  "NAVCOM1-Relay navcom1 1 NAVCOM1 0|C+ C- X T N+ N- S I||F P"
  "NAVCOM2-Relay navcom2 2 NAVCOM2 1|R1+ R1- R2+ R2- R3+ R3- R4+ R4- X S I||P"
  "ADF-Relay adf 1 ADF 1|R+ R- S T||P"
  "XPDR-Relay xpdr 2 XPDR 0|R1+ R1- T B|S|P"
  "HUB1-Relay hub1 1 HUB1 0|R+ R- S I||1 2 P"
)
# Left out on purpose: the NAV and NAV/COM page key M and the ADF page key
# (they lead to pages where the knob does something else), the course key B
# and receive-all keys (they act only in some simulator states), the
# transponder's M and mode knob (they can switch it OFF, which stops code
# steps), HUB1's pages 3 to 6.

relay_bin_folder soak "${1:-$root/build/bin}" "${programs[@]%% *}" sim-standin virtual-panel
export RELAY_SOAK_SEED=$seed
relay_enter_netns soak "$0" "$bin" "$seconds"

work=$(mktemp -d "${TMPDIR:-/tmp}/relay-soak.XXXXXX")
mkdir -p "$work/home"
pids=()
failed=0
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  if [ "$failed" = 0 ] && [ "${RELAY_SOAK_KEEP:-0}" != 1 ]; then rm -rf "$work"; else echo "soak: logs in $work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
fail() { failed=1; echo "soak: FAIL: $*"; }
count() { local n; n=$(grep -c -- "$2" "$1" 2>/dev/null); echo "${n:-0}"; }
# wait_for <log> <pattern> <count> <seconds>
wait_for() {
  local end=$((SECONDS + $4))
  while [ "$(count "$1" "$2")" -lt "$3" ]; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.1
  done
}
rss_kib() { awk '/^VmRSS/ {print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }

echo "soak: nine programs for ${seconds}s, seed $seed, logs in $work"
mkfifo "$work/sim.in"
exec {sim_fd}<>"$work/sim.in"
"$bin/sim-standin" --tcp-port 0 <"$work/sim.in" >"$work/sim-standin.log" 2>&1 &
pids+=($!)
SIM=$work/sim-standin.log
wait_for "$SIM" "^listening:" 1 30 || { fail "sim-standin did not start"; exit 1; }

names=() panels=() panel_fd=() relay_pid=() client=() events=() writes=() quiet=()
for i in "${!programs[@]}"; do
  IFS='|' read -r head event_codes write_codes quiet_codes <<<"${programs[$i]}"
  read -r name panel variant section keep <<<"$head"
  names+=("$name"); panels+=("$panel"); events+=("$event_codes"); writes+=("$write_codes"); quiet+=("$quiet_codes")
  dir=$work/$name
  mkdir -p "$dir"
  {
    printf '[%s]\nTESTMODE=1\nKEEP_FRAME_RATE=%s\n' "$section" "$keep"
    [ "$name" = HUB1-Relay ] && printf '[NAV1]\nIDLE_MS=50\n'
  } >"$dir/Avionics-Panel.cfg"

  mkfifo "$work/$panel.in"
  exec {fd}<>"$work/$panel.in"
  panel_fd+=("$fd")
  "$bin/virtual-panel" --panel "$panel" --variant "$variant" --script <"$work/$panel.in" >"$work/$panel.log" 2>&1 &
  pids+=($!)
  wait_for "$work/$panel.log" "listening on UDP port" 1 30 || { fail "the $panel panel did not start"; exit 1; }

  (cd "$dir" && HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" exec "$bin/$name") \
    </dev/null >"$work/$name.log" 2>&1 &
  relay_pid+=($!)
  pids+=($!)
  wait_for "$SIM" "^open: " $((i + 1)) 60 || { fail "$name did not reach the stand-in"; exit 1; }
  client+=("$(grep "^open: " "$SIM" | sed -n "$((i + 1))s/.*(client \([0-9]*\),.*/\1/p")")
  wait_for "$work/$name.log" "connected from" 1 60 || { fail "$name did not find its panel"; exit 1; }
done
echo "soak: all nine connected"

# Counts before the first key: start-up events (NAVCOM1-Relay's) are not
# the panels' doing.
base_events=() base_writes=()
for i in "${!names[@]}"; do
  base_events+=("$(count "$SIM" "^event: client ${client[$i]} ")")
  base_writes+=("$(count "$SIM" "^set: client ${client[$i]} ")")
done

# One random script per panel: a key, a pause of 10 to 200 ms, and so on
# for the whole run.
RANDOM=$seed
sends=()
for i in "${!names[@]}"; do
  read -r -a codes <<<"${events[$i]} ${writes[$i]} ${quiet[$i]}"
  script=$work/${names[$i]}.keys
  n=0 elapsed=0
  : >"$script"
  while [ $elapsed -lt $((seconds * 1000)) ]; do
    pause=$((10 + RANDOM % 191))
    printf 'send %s\nwait %d\n' "${codes[RANDOM % ${#codes[@]}]}" "$pause" >>"$script"
    elapsed=$((elapsed + pause))
    n=$((n + 1))
  done
  sends+=("$n")
  cat "$script" >&"${panel_fd[$i]}" &
  pids+=($!)
done

# Memory after the first quarter, and at the end.
sleep $((seconds / 4 + 1))
rss_start=()
for pid in "${relay_pid[@]}"; do rss_start+=("$(rss_kib "$pid")"); done
for i in "${!names[@]}"; do
  wait_for "$work/${panels[$i]}.log" "^sent \|^not sent " "${sends[$i]}" $((seconds + 120)) ||
    fail "the ${panels[$i]} panel did not get through its keys"
done
rss_end=()
for pid in "${relay_pid[@]}"; do rss_end+=("$(rss_kib "$pid")"); done

# echoed <log> <codes>: lines of the log that are exactly one of the codes.
echoed() {
  tr -d '\r' <"$1" | awk -v codes="$2" 'BEGIN { n = split(codes, c, " "); for (i = 1; i <= n; ++i) want[c[i]] = 1 }
    ($0 in want) { ++count } END { print count + 0 }'
}
# counts <i>: the inputs program i echoed, the events due for them and
# those the stand-in logged from its client, the state writes due and logged.
counts() {
  local i=$1 log=$work/${names[$1]}.log
  echo "$(echoed "$log" "${events[$i]} ${writes[$i]} ${quiet[$i]}")" \
    "$(echoed "$log" "${events[$i]}")" $(($(count "$SIM" "^event: client ${client[$i]} ") - base_events[i])) \
    "$(echoed "$log" "${writes[$i]}")" $(($(count "$SIM" "^set: client ${client[$i]} ") - base_writes[i]))
}
# Let the last inputs through: every program handles a frame at least every
# half second, so counts that have not moved for three seconds are final.
previous= stable=0
for _ in $(seq 60); do
  now=$(for i in "${!names[@]}"; do counts "$i"; done)
  if [ "$now" = "$previous" ]; then stable=$((stable + 1)); else stable=0; fi
  [ $stable -ge 6 ] && break
  previous=$now
  sleep 0.5
done
mapfile -t final <<<"$now"

printf '%-14s %6s %6s %7s %7s %7s %7s %9s\n' program sent echoed events seen writes seen "RSS KiB"
for i in "${!names[@]}"; do
  name=${names[$i]}
  log=$work/$name.log
  read -r all want_events got_events want_writes got_writes <<<"${final[$i]}"
  printf '%-14s %6s %6s %7s %7s %7s %7s %5s->%s\n' "$name" "${sends[$i]}" "$all" "$want_events" "$got_events" \
    "$want_writes" "$got_writes" "${rss_start[$i]}" "${rss_end[$i]}"
  kill -0 "${relay_pid[$i]}" 2>/dev/null || fail "$name is no longer running"
  [ "$got_events" = "$want_events" ] || fail "$name: $want_events events due, the stand-in got $got_events"
  [ "$got_writes" = "$want_writes" ] || fail "$name: $want_writes state writes due, the stand-in got $got_writes"
  [ "$all" -gt 0 ] || fail "$name: no input reached it"
  [ $((rss_end[i] - rss_start[i])) -le "$rss_limit_kib" ] ||
    fail "$name: resident memory grew from ${rss_start[$i]} to ${rss_end[$i]} KiB"
  offline=$(count "$log" "offline")
  [ "$offline" = 0 ] || echo "soak: note: $name lost its panel $offline time(s)"
done

echo quit >&"$sim_fd"
for i in "${!names[@]}"; do
  for _ in $(seq 100); do kill -0 "${relay_pid[$i]}" 2>/dev/null || break; sleep 0.1; done
  kill -0 "${relay_pid[$i]}" 2>/dev/null && { fail "${names[$i]} still runs after the simulator quit"; continue; }
  rc=0
  wait "${relay_pid[$i]}" || rc=$?
  [ "$rc" = 0 ] || fail "${names[$i]} ended with exit code $rc after the simulator quit"
done
if [ "$failed" = 0 ]; then echo "soak: passed"; else exit 1; fi
