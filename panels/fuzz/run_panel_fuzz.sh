#!/usr/bin/env bash
# Runs the panel fuzzer of an existing build for a number of seconds, from a
# seed corpus of every code of every panel.
# Usage: run_panel_fuzz.sh <build-dir> <seconds>
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 <build-dir> <seconds>" >&2
  exit 2
fi
build=$(cd "$1" && pwd)  # the fuzzer runs from a scratch folder
seconds=$2
fuzzer=$build/bin/panel_fuzzer
seeds=$build/bin/panel_fuzz_seeds
for exe in "$fuzzer" "$seeds"; do
  if [ ! -x "$exe" ]; then
    echo "no $exe (bash tools/build.sh fuzz)" >&2
    exit 1
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/seeds"
"$seeds" "$work/seeds"
cd "$work"
# The programs' test-mode console lines would drown libFuzzer's own output.
"$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 -close_fd_mask=1 \
  -print_final_stats=1 "$work/corpus" "$work/seeds"
