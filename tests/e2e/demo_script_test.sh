#!/usr/bin/env bash
# The scripted demo: COMM1-Relay, the simulator stand-in and the virtual
# COM1 panel tune, swap and select transmit end to end, once as it comes and
# once with --live (KEEP_FRAME_RATE). The demo makes its own network
# namespace.
set -u
src=${RELAY_SRC:-$(cd "$(dirname "$0")/../.." && pwd)}
if [ "${RELAY_KIND:-native}" = windows ]; then
  export RELAY_DEMO_KIND=windows
fi
# demo_run <what> [options]: one scripted walk-through, checked step by step.
demo_run() {
  local what=$1
  shift
  out=$(timeout 240 bash "$src/tools/demo/demo.sh" --script "$@" 2>&1)
  rc=$?
  echo "$out"
  if [ $rc -ne 0 ]; then
    echo "FAIL demo_script ($what): exit $rc"
    exit 1
  fi
  for want in "matched F>118.000  122.500" "matched F>118.000  122.525" "matched F>122.525  118.000" \
    "matched H>COM1 T \\a Standby"; do
    if ! grep -qF -- "$want" <<<"$out"; then
      echo "FAIL demo_script ($what): no '$want'"
      exit 1
    fi
  done
}
demo_run default
if grep -qF "Keep Frame Rate" <<<"$out"; then
  echo "FAIL demo_script: the plain demo keeps the frame rate"
  exit 1
fi
echo "ok demo_script"
# --live: the same walk-through with the frame rate kept.
demo_run live --live
if ! grep -qF "Keep Frame Rate redefined: 1" <<<"$out"; then
  echo "FAIL demo_script: --live does not set KEEP_FRAME_RATE"
  exit 1
fi
echo "ok demo_script --live"
