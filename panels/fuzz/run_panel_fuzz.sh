#!/usr/bin/env bash
# Runs the panel fuzzer of an existing build for a number of seconds, from a
# seed corpus of every code of every panel.
# Usage: run_panel_fuzz.sh <build-dir> <seconds>
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 <build-dir> <seconds>" >&2
  exit 2
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
[ -x "$1/bin/panel_fuzz_seeds" ] || { echo "no $1/bin/panel_fuzz_seeds (bash tools/build.sh fuzz)" >&2; exit 1; }
"$1/bin/panel_fuzz_seeds" "$seeds"
# -close_fd_mask=1: the programs' test-mode console lines would drown
# libFuzzer's own output.
bash "$here/../../tools/run-fuzzer.sh" "$1/bin/panel_fuzzer" "$2" "$seeds" -- -max_len=4096 -close_fd_mask=1
