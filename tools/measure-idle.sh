#!/usr/bin/env bash
# Measures an idle connected program: COMM1-Relay against sim-standin and a
# virtual COM1 panel that only answers identity checks, default timing (or
# the [COM1] keys given, e.g. KEEP_FRAME_RATE=1), in a private network
# namespace. Prints CPU share of one core and resident memory.
# Usage: measure-idle.sh [bin-folder] [seconds] [KEY=VALUE...]
# RELAY_STANDIN_RATE sets the stand-in's frames a second (default 30); at
# 1000 it floods the program, which must then do the frames' work and no
# more (the flood probe).
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/lib/bin_folder.sh"
source "$root/tools/lib/netns.sh"
source "$root/tools/lib/process_usage.sh"
relay_bin_folder measure-idle "${1:-$root/build/bin}" sim-standin COMM1-Relay virtual-panel
seconds=${2:-30}
relay_enter_netns measure-idle "$0" "$@"
shift 2 2>/dev/null || shift $#
keys=("$@")

work=$(mktemp -d)
trap 'kill $standin $panel $relay 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1
if [ ${#keys[@]} -gt 0 ]; then printf '[COM1]\n' >Avionics-Panel.cfg; printf '%s\n' "${keys[@]}" >>Avionics-Panel.cfg; fi
rate=${RELAY_STANDIN_RATE:-30}
"$bin/sim-standin" --tcp-port 0 --rate "$rate" </dev/null >standin.log 2>&1 &
standin=$!
sleep 0.5
"$bin/virtual-panel" --panel comm1 --script </dev/null >panel.log 2>&1 &
panel=$!
"$bin/COMM1-Relay" >relay.log 2>&1 &
relay=$!

for _ in $(seq 1 100); do
  grep -q "connected from" relay.log && break
  sleep 0.1
done
grep -q "connected from" relay.log || { echo "COMM1-Relay did not find the panel"; cat relay.log; exit 1; }
sleep 2  # past the start-up frames

with=${keys[*]:+ (${keys[*]})}
[ "$rate" = 30 ] || with="$with, stand-in at $rate frames a second"
relay_process_usage "$relay" "$seconds" "COMM1-Relay idle, connected$with"
