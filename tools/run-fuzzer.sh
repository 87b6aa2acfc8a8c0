#!/usr/bin/env bash
# Runs a libFuzzer target for a number of seconds from a scratch folder: new
# inputs go to a scratch corpus, the seed folders stay as they are.
# Usage: run-fuzzer.sh <fuzzer> <seconds> <seed-folder>... [-- <libFuzzer options>]
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: $0 <fuzzer> <seconds> <seed-folder>... [-- <libFuzzer options>]" >&2
  exit 2
fi
fuzzer=$1
seconds=$2
shift 2
seeds=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  seeds+=("$(cd "$1" && pwd)")
  shift
done
[ $# -gt 0 ] && shift
if [ ! -x "$fuzzer" ]; then
  echo "no fuzzer at $fuzzer (bash tools/build.sh fuzz)" >&2
  exit 1
fi
fuzzer=$(cd "$(dirname "$fuzzer")" && pwd)/$(basename "$fuzzer")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$@" "$work" "${seeds[@]}"
