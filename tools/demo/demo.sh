#!/usr/bin/env bash
# Demo: one relay program between the simulator stand-in and a virtual panel,
# all inside a private network namespace so the program's broadcasts never
# leave this machine.
#
#   tools/demo/demo.sh [--panel P] [--variant N]
#                          the panel in this terminal; q quits
#   tools/demo/demo.sh [--panel P] [--variant N] --script
#                          plays the panel's walk-through (walks/P.sh) and
#                          prints the panel after each step; exits 0 when it
#                          looked right
#   --live                 sets KEEP_FRAME_RATE=1: the panel gets every frame
#                          (30 a second) instead of about five a second
#
# P is comm1 (default), comm2, navcom1, navcom2, adf, nav1, nav2, xpdr or
# hub1; N is the panel version, 1 (default) or 2.
# The executables come from $RELAY_BIN, else build/bin under the repository.
# With RELAY_DEMO_KIND=windows they are the cross-built .exe files, run under
# Wine with a wineserver started inside the namespace.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
# Absolute, since the programs start in folders of their own.
bin=$(cd "${RELAY_BIN:-$repo/build/bin}" 2>/dev/null && pwd) || bin=${RELAY_BIN:-$repo/build/bin}
all_args=("$@")
mode=interactive
panel=comm1
variant=1
live=0
usage() { echo "usage: $0 [--panel comm1|comm2|navcom1|navcom2|adf|nav1|nav2|xpdr|hub1] [--variant 1|2] [--script] [--live]"; }
while [ $# -gt 0 ]; do
  case "$1" in
    --script) mode=script ;;
    --live) live=1 ;;
    --panel) panel=${2:-}; shift ;;
    --variant) variant=${2:-}; shift ;;
    -h|--help) sed -n '2,20p' "$0"; exit 0 ;;
    *) usage; exit 2 ;;
  esac
  shift
done

# The program that serves each panel, and the section its idle time is read
# from (HUB1-Relay takes it from [NAV1]; its other keys from [HUB1]).
case "$panel" in
  comm1) program=COMM1-Relay; section=COM1 ;;
  comm2) program=COMM2-Relay; section=COM2 ;;
  navcom1) program=NAVCOM1-Relay; section=NAVCOM1 ;;
  navcom2) program=NAVCOM2-Relay; section=NAVCOM2 ;;
  adf) program=ADF-Relay; section=ADF ;;
  nav1) program=NAV1-Relay; section=NAV1 ;;
  nav2) program=NAV2-Relay; section=NAV2 ;;
  xpdr) program=XPDR-Relay; section=XPDR ;;
  hub1) program=HUB1-Relay; section=NAV1 ;;
  *) usage; exit 2 ;;
esac
own_section=$section
[ "$panel" = hub1 ] && own_section=HUB1
case "$variant" in
  1|2) ;;
  *) usage; exit 2 ;;
esac
walk=$here/walks/$panel.sh
[ "$variant" = 2 ] && walk=$here/walks/$panel-v2.sh
if [ "$mode" = script ] && [ ! -f "$walk" ]; then
  echo "demo: no scripted walk-through for the $panel panel (version $variant) yet"
  exit 2
fi

kind=${RELAY_DEMO_KIND:-native}
suffix=
[ "$kind" = windows ] && suffix=.exe
for exe in sim-standin "$program" virtual-panel; do
  if [ ! -x "$bin/$exe$suffix" ]; then
    echo "demo: $bin/$exe not found; build first (cmake -S . -B build && cmake --build build) or set RELAY_BIN"
    exit 2
  fi
done

# Inside the namespace: loopback plus one address whose directed broadcast
# stays on loopback, like a machine with one network adapter.
source "$repo/tools/lib/netns.sh"
relay_enter_netns demo "$0" "${all_args[@]}"

runner=
if [ "$kind" = windows ]; then
  source "$repo/tests/wine/wine-env.sh"
  relay_wine_start
  runner=$RELAY_WINE
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/relay-demo.XXXXXX")
mkdir -p "$work/relay" "$work/home"
{
  printf '[%s]\nIDLE_MS=20\n' "$section"
  if [ "$live" = 1 ]; then
    [ "$own_section" != "$section" ] && printf '[%s]\n' "$own_section"
    printf 'KEEP_FRAME_RATE=1\n'
  fi
} >"$work/relay/Avionics-Panel.cfg"

sim_pid=
relay_pid=
cleanup() {
  # Ask the simulator to quit first: the relay then ends on its own, as it
  # would after a real simulator session.
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
    echo quit >&7 2>/dev/null
  fi
  local pid
  for pid in $relay_pid $sim_pid; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -TERM "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  exec 7>&- 2>/dev/null
  [ "$kind" = windows ] && relay_wine_stop
  if [ "${keep_logs:-0}" = 1 ]; then echo "demo: logs in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# The stand-in reads its commands from a FIFO held open here, so it runs
# until told to quit.
mkfifo "$work/sim.in"
exec 7<>"$work/sim.in"
$runner "$bin/sim-standin$suffix" <"$work/sim.in" >"$work/sim-standin.log" 2>&1 &
sim_pid=$!
(cd "$work/relay" && HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" exec $runner "$bin/$program$suffix") \
  </dev/null >"$work/$program.log" 2>&1 &
relay_pid=$!

if [ "$mode" = interactive ]; then
  $runner "$bin/virtual-panel$suffix" --panel "$panel" --variant "$variant"
  rc=$?
  echo "demo: $program said:"
  tr -d '\b' <"$work/$program.log" | sed 's/^/  /' | tail -n 15
  exit $rc
fi

# Scripted: the walk-through file sets walk_standin_commands (sent to the
# stand-in first) and walk_steps (the virtual panel's script).
walk_standin_commands=()
walk_steps=()
# shellcheck source=/dev/null
source "$walk"
for command in "${walk_standin_commands[@]}"; do echo "$command" >&7; done
$runner "$bin/virtual-panel$suffix" --panel "$panel" --variant "$variant" --script --exit-at-end "${walk_steps[@]}" |
  grep -v '^recv \|^answer '
rc=${PIPESTATUS[0]}
echo "demo: $program's configuration:"
tr -d '\r' <"$work/$program.log" | grep -a "redefined" | sed 's/^/  /'
if [ "$rc" = 0 ]; then
  echo "demo: the panel showed every step as expected"
else
  keep_logs=1
  echo "demo: the panel did not show what was expected (exit $rc)"
  tail -n 20 "$work/$program.log" "$work/sim-standin.log"
fi
exit $rc
