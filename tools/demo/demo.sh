#!/usr/bin/env bash
# Demo: COMM1-Relay between the simulator stand-in and a virtual COM1 panel,
# all inside a private network namespace so the program's broadcasts never
# leave this machine.
#
#   tools/demo/demo.sh            the panel in this terminal: tune, swap and
#                                 select transmit from the keyboard; q quits
#   tools/demo/demo.sh --script   plays R+, P, R+, S, T and prints the panel
#                                 after each step; exits 0 when it looked right
#
# The executables come from $RELAY_BIN, else build/bin under the repository.
# With RELAY_DEMO_KIND=windows they are the cross-built .exe files, run under
# Wine with a wineserver started inside the namespace.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
bin=${RELAY_BIN:-$repo/build/bin}
mode=interactive
case "${1:-}" in
  --script) mode=script ;;
  "") ;;
  -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
  *) echo "usage: $0 [--script]"; exit 2 ;;
esac

kind=${RELAY_DEMO_KIND:-native}
suffix=
[ "$kind" = windows ] && suffix=.exe
for exe in sim-standin COMM1-Relay virtual-panel; do
  if [ ! -x "$bin/$exe$suffix" ]; then
    echo "demo: $bin/$exe not found; build first (cmake -S . -B build && cmake --build build) or set RELAY_BIN"
    exit 2
  fi
done

if [ -z "${RELAY_DEMO_IN_NETNS:-}" ]; then
  if ! unshare -rn true 2>/dev/null; then
    echo "demo: cannot make a private network namespace (unshare -rn); unprivileged user namespaces must be enabled"
    exit 2
  fi
  RELAY_DEMO_IN_NETNS=1 exec unshare -rn bash "$0" "$@"
fi

# Inside the namespace: loopback plus one address whose directed broadcast
# stays on loopback, like a machine with one network adapter.
ip link set lo up && ip addr add 10.77.0.20/24 brd + dev lo || { echo "demo: namespace set-up failed"; exit 2; }

runner=
if [ "$kind" = windows ]; then
  source "$repo/tests/wine/wine-env.sh"
  relay_wine_start
  runner=$RELAY_WINE
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/relay-demo.XXXXXX")
mkdir -p "$work/comm1" "$work/home"
printf '[COM1]\nIDLE_MS=20\n' >"$work/comm1/Avionics-Panel.cfg"

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
(cd "$work/comm1" && HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" exec $runner "$bin/COMM1-Relay$suffix") \
  </dev/null >"$work/COMM1-Relay.log" 2>&1 &
relay_pid=$!

if [ "$mode" = interactive ]; then
  $runner "$bin/virtual-panel$suffix" --panel comm1
  rc=$?
  echo "demo: COMM1-Relay said:"
  tr -d '\b' <"$work/COMM1-Relay.log" | sed 's/^/  /' | tail -n 15
  exit $rc
fi

# Scripted: the demo aircraft starts with COM1 on 118.000, standby 121.500;
# COM2 is made the transmitting radio so that T has something to show.
# Every step waits for the display to show its effect, then prints it.
echo "event COM2_TRANSMIT_SELECT" >&7
steps=(
  "timeout 20000"
  "expect B>ON"
  "expect F>118.000  121.500"
  "expect H>COM1     Standby"
  "show"
  "# R+: standby up one megahertz"
  "send R+"
  "expect F>118.000  122.500"
  "show"
  "# P then R+: the push switches the encoder to the fraction"
  "send P"
  "send R+"
  "expect F>118.000  122.525"
  "show"
  "# S: swap active and standby"
  "send S"
  "expect F>122.525  118.000"
  "show"
  "# T: select COM1 for transmit"
  "send T"
  "expect H>COM1 T \\a Standby"
  "show"
)
$runner "$bin/virtual-panel$suffix" --panel comm1 --script --exit-at-end "${steps[@]}" | grep -v '^recv \|^answer '
rc=${PIPESTATUS[0]}
if [ "$rc" = 0 ]; then
  echo "demo: the panel showed every step as expected"
else
  keep_logs=1
  echo "demo: the panel did not show what was expected (exit $rc)"
  tail -n 20 "$work/COMM1-Relay.log" "$work/sim-standin.log"
fi
exit $rc
