#!/usr/bin/env bash
# Demo of Relay-Launcher: the simulator stand-in and four virtual panels (COM1,
# NAV2 with two encoders, the multi-function panel, the transponder), all in a
# private network namespace. The launcher, in a folder with all nine
# programs, finds the four panels, starts their programs and shows the whole
# cockpit in its table in this terminal; meanwhile each panel's knob is
# turned every few seconds. q quits, r searches again.
#
#   tools/demo/launcher_demo.sh            the table in this terminal
#   tools/demo/launcher_demo.sh --script   no terminal needed: the launcher's
#                                          plain lines; a knob turned on each
#                                          panel, then Ctrl+C; exits 0 when
#                                          every panel's knob reached the
#                                          simulator stand-in
# The executables come from $RELAY_BIN, else build/bin; with
# RELAY_DEMO_KIND=windows they are the .exe files, run under Wine.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
bin=$(cd "${RELAY_BIN:-$repo/build/bin}" 2>/dev/null && pwd) || bin=${RELAY_BIN:-$repo/build/bin}
mode=interactive
case "${1:-}" in
  --script) mode=script ;;
  "") ;;
  *) echo "usage: $0 [--script]"; exit 2 ;;
esac
programs=(HUB1-Relay NAVCOM1-Relay NAVCOM2-Relay ADF-Relay NAV1-Relay NAV2-Relay XPDR-Relay COMM2-Relay COMM1-Relay)
# panel, its virtual-panel options, its knob's code and the event that sends
panels=("comm1|--panel comm1|R+|COM_RADIO_WHOLE_INC" "nav2|--panel nav2 --variant 2|R2+|NAV2_RADIO_WHOLE_INC"
        "hub1|--panel hub1|R+|COM2_RADIO_WHOLE_INC" "xpdr|--panel xpdr|R+|XPNDR_")
kind=${RELAY_DEMO_KIND:-native}
suffix=
[ "$kind" = windows ] && suffix=.exe
for exe in Relay-Launcher sim-standin virtual-panel "${programs[@]}"; do
  if [ ! -x "$bin/$exe$suffix" ]; then
    echo "launcher demo: $bin/$exe$suffix not found; build first (tools/build.sh) or set RELAY_BIN"
    exit 2
  fi
done

source "$repo/tools/lib/netns.sh"
relay_enter_netns launcher-demo "$0" "$@"
runner=
if [ "$kind" = windows ]; then
  source "$repo/tests/wine/wine-env.sh"
  relay_wine_start
  runner=$RELAY_WINE
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/relay-launcher-demo.XXXXXX")
cockpit=$work/cockpit
mkdir -p "$cockpit" "$work/home"
for exe in Relay-Launcher "${programs[@]}"; do cp "$bin/$exe$suffix" "$cockpit/"; done
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config  # the user's own settings stay out

pids=()
launcher_pid=
cleanup() {
  [ -n "$launcher_pid" ] && kill -INT "$launcher_pid" 2>/dev/null && wait "$launcher_pid" 2>/dev/null
  local pid
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  [ "$kind" = windows ] && relay_wine_stop
  if [ "${keep_logs:-0}" = 1 ]; then echo "launcher demo: logs in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

mkfifo "$work/sim.in"
exec 7<>"$work/sim.in"
$runner "$bin/sim-standin$suffix" <"$work/sim.in" >"$work/sim-standin.log" 2>&1 &
pids+=($!)
fd=3
for entry in "${panels[@]}"; do
  IFS='|' read -r name options knob event <<<"$entry"
  mkfifo "$work/$name.in"
  eval "exec $fd<>\"$work/$name.in\""
  # shellcheck disable=SC2086
  $runner "$bin/virtual-panel$suffix" $options --script <"$work/$name.in" >"$work/$name.log" 2>&1 &
  pids+=($!)
  fd=$((fd + 1))
done

# Every panel is on before the launcher looks for them.
for entry in "${panels[@]}"; do
  IFS='|' read -r name options knob event <<<"$entry"
  end=$((SECONDS + 30))
  until grep -q "listening on UDP port" "$work/$name.log" 2>/dev/null; do
    [ $SECONDS -ge $end ] && { echo "launcher demo: the $name panel did not start"; keep_logs=1; exit 1; }
    sleep 0.1
  done
done

# turn_knobs: every panel's knob one step, one after the other.
turn_knobs() {
  local fd=3 entry name options knob event
  for entry in "${panels[@]}"; do
    IFS='|' read -r name options knob event <<<"$entry"
    echo "send $knob" >&"$fd"
    fd=$((fd + 1))
  done
}

if [ "$mode" = interactive ]; then
  ( while sleep 4; do turn_knobs; done ) &
  pids+=($!)
  $runner "$cockpit/Relay-Launcher$suffix"
  rc=$?
  echo "launcher demo: the stand-in received $(grep -c "event:" "$work/sim-standin.log") events from the panels"
  exit $rc
fi

$runner "$cockpit/Relay-Launcher$suffix" </dev/null >"$work/launcher.log" 2>&1 &
launcher_pid=$!
# wait_for <text> <count>: up to 60 s for the launcher's output to hold it.
wait_for() {
  local end=$((SECONDS + 60)) n
  for (( ; ; )); do
    n=$(grep -cF -- "$1" "$work/launcher.log" 2>/dev/null)
    [ "${n:-0}" -ge "$2" ] && break
    [ $SECONDS -ge $end ] && { echo "launcher demo: no '$1' from the launcher"; keep_logs=1; exit 1; }
    sleep 0.2
  done
}
wait_for "connected from 10.77.0.20" 4
turn_knobs
for entry in "${panels[@]}"; do
  IFS='|' read -r name options knob event <<<"$entry"
  end=$((SECONDS + 30))
  until grep -q "event: .*$event" "$work/sim-standin.log"; do
    [ $SECONDS -ge $end ] && { echo "launcher demo: the $name knob did not reach the stand-in"; keep_logs=1; exit 1; }
    sleep 0.2
  done
done
kill -INT "$launcher_pid"
wait "$launcher_pid"
rc=$?
launcher_pid=
tr -d '\r' <"$work/launcher.log" | grep -E "Relay-Launcher: |connected from|Connected to Flight Simulator"
echo "launcher demo: every panel's knob reached the simulator stand-in; the launcher ended with $rc"
exit $rc
