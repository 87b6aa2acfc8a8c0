#!/usr/bin/env bash
# The scripted ADF demo: ADF-Relay, the simulator stand-in and the virtual
# ADF panel step, swap, edit, turn the card and start the clock end to end.
# The demo makes its own network namespace.
set -u
src=${RELAY_SRC:-$(cd "$(dirname "$0")/../.." && pwd)}
if [ "${RELAY_KIND:-native}" = windows ]; then
  export RELAY_DEMO_KIND=windows
fi
out=$(timeout 240 bash "$src/tools/demo/demo.sh" --panel adf --script 2>&1)
rc=$?
echo "$out"
if [ $rc -ne 0 ]; then
  echo "FAIL demo_adf: exit $rc"
  exit 1
fi
for want in "matched F> 479.0     344.5" "matched F> 344.5     479.0" "matched F> 444.5    \\x04  132" \
  "matched F> 444.5    \\x04 >001" "matched F> 444.5     00:01"; do
  if ! grep -qF -- "$want" <<<"$out"; then
    echo "FAIL demo_adf: no '$want'"
    exit 1
  fi
done
echo "ok demo_adf"
