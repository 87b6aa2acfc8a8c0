#!/usr/bin/env bash
# The scripted demo: by default COMM1-Relay, the simulator stand-in and the
# virtual COM1 panel tune, swap and select transmit end to end. Another
# panel's walk-through is checked with: demo_script_test.sh <panel> <line>...
# (each line one the walk must have matched). The demo makes its own network
# namespace.
set -u
src=${RELAY_SRC:-$(cd "$(dirname "$0")/../.." && pwd)}
if [ "${RELAY_KIND:-native}" = windows ]; then
  export RELAY_DEMO_KIND=windows
fi
panel=comm1
wanted=("matched F>118.000  122.500" "matched F>118.000  122.525" "matched F>122.525  118.000"
  "matched H>COM1 T \\a Standby")
if [ $# -gt 0 ]; then
  panel=$1
  shift
  wanted=("$@")
fi
name=demo_script
[ "$panel" = comm1 ] || name=demo_script_$panel
out=$(timeout 240 bash "$src/tools/demo/demo.sh" --panel "$panel" --script 2>&1)
rc=$?
echo "$out"
if [ $rc -ne 0 ]; then
  echo "FAIL $name: exit $rc"
  exit 1
fi
for want in "${wanted[@]}"; do
  if ! grep -qF -- "$want" <<<"$out"; then
    echo "FAIL $name: no '$want'"
    exit 1
  fi
done
echo "ok $name"
