#!/usr/bin/env bash
# The scripted demo: COMM1-Relay, the simulator stand-in and the virtual
# COM1 panel tune, swap and select transmit end to end. The demo makes its
# own network namespace.
set -u
src=${RELAY_SRC:-$(cd "$(dirname "$0")/../.." && pwd)}
if [ "${RELAY_KIND:-native}" = windows ]; then
  export RELAY_DEMO_KIND=windows
fi
out=$(timeout 240 bash "$src/tools/demo/demo.sh" --script 2>&1)
rc=$?
echo "$out"
if [ $rc -ne 0 ]; then
  echo "FAIL demo_script: exit $rc"
  exit 1
fi
for want in "matched F>118.000  122.500" "matched F>118.000  122.525" "matched F>122.525  118.000" \
  "matched H>COM1 T \\a Standby"; do
  if ! grep -qF -- "$want" <<<"$out"; then
    echo "FAIL demo_script: no '$want'"
    exit 1
  fi
done
echo "ok demo_script"
