# shellcheck shell=bash
# Shared by the demo tests: plays a panel's scripted walk-through with
# tools/demo/demo.sh (which makes its own network namespace) and checks that
# the virtual panel matched the given lines.

# demo_walk_check <test name> <panel> <line>...: 0 when the walk-through
# ended well and every line was matched. DEMO_WALK_OPTIONS holds further
# options for the demo (such as --live).
demo_walk_check() {
  local name=$1 panel=$2
  shift 2
  local src=${RELAY_SRC:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}
  if [ "${RELAY_KIND:-native}" = windows ]; then
    export RELAY_DEMO_KIND=windows
  fi
  local out rc
  # shellcheck disable=SC2086 # options are words
  out=$(timeout 240 bash "$src/tools/demo/demo.sh" --panel "$panel" --script ${DEMO_WALK_OPTIONS:-} 2>&1)
  rc=$?
  echo "$out"
  if [ $rc -ne 0 ]; then
    echo "FAIL $name: exit $rc"
    return 1
  fi
  local want
  for want in "$@"; do
    if ! grep -qF -- "matched $want" <<<"$out"; then
      echo "FAIL $name: no 'matched $want'"
      return 1
    fi
  done
  echo "ok $name"
}
