#!/usr/bin/env bash
# The scripts in tools/ called the way a user types them: the script and the
# folder of the programs as paths relative to the current directory. Each
# script makes its own network namespace. measure-idle.sh runs the Linux
# programs only.
set -u
src=${RELAY_SRC:-$(cd "$(dirname "$0")/../.." && pwd)}
bin=${RELAY_BIN:-$src/build/bin}
cd "$bin/.." || exit 1
rel_bin=$(basename "$bin")
rel_src=$(realpath --relative-to=. "$src")
fail() { echo "FAIL tools_relative_paths: $*"; exit 1; }

if [ "${RELAY_KIND:-native}" = windows ]; then
  export RELAY_DEMO_KIND=windows
else
  out=$(timeout 120 bash "$rel_src/tools/measure-idle.sh" "$rel_bin" 1 KEEP_FRAME_RATE=1 2>&1)
  grep -q "COMM1-Relay idle, connected (KEEP_FRAME_RATE=1): CPU" <<<"$out" || { echo "$out"; fail "measure-idle.sh $rel_bin"; }
  echo "ok tools_relative_paths: measure-idle.sh $rel_bin"
fi

out=$(RELAY_BIN=$rel_bin timeout 240 bash "$rel_src/tools/demo/demo.sh" --script 2>&1)
rc=$?
[ $rc = 0 ] && grep -q "the panel showed every step as expected" <<<"$out" ||
  { echo "$out"; fail "RELAY_BIN=$rel_bin demo.sh --script (exit $rc)"; }
echo "ok tools_relative_paths: RELAY_BIN=$rel_bin demo.sh --script"
