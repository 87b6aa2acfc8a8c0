# shellcheck shell=bash
# demo_walk <panel> <line>...: plays the panel's scripted demo walk-through
# (tools/demo/walks/<panel>.sh) natively or, with RELAY_KIND=windows, under
# Wine, and checks that the panel matched each of the lines. The demo makes
# its own network namespace. Exits with the test's result.
demo_walk() {
  local panel=$1
  shift
  local src=${RELAY_SRC:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}
  if [ "${RELAY_KIND:-native}" = windows ]; then
    export RELAY_DEMO_KIND=windows
  fi
  local out rc want
  out=$(timeout 240 bash "$src/tools/demo/demo.sh" --panel "$panel" --script 2>&1)
  rc=$?
  echo "$out"
  if [ $rc -ne 0 ]; then
    echo "FAIL demo walk $panel: exit $rc"
    exit 1
  fi
  for want in "$@"; do
    if ! grep -qF -- "matched $want" <<<"$out"; then
      echo "FAIL demo walk $panel: no 'matched $want'"
      exit 1
    fi
  done
  echo "ok demo walk $panel"
  exit 0
}
