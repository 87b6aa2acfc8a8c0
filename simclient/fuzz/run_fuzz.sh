#!/usr/bin/env bash
# Runs the receive-path fuzzer of an existing build for a number of seconds.
# Usage: run_fuzz.sh <build-dir> <seconds>
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 <build-dir> <seconds>" >&2
  exit 2
fi
build=$(cd "$1" && pwd)  # the fuzzer runs from a scratch folder
seconds=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
fuzzer="$build/bin/simclient_receive_fuzzer"
if [ ! -x "$fuzzer" ]; then
  echo "no fuzzer at $fuzzer (configure with CC=clang CXX=clang++ -DRELAY_BUILD_FUZZERS=ON)" >&2
  exit 1
fi
# New inputs go to a scratch corpus; the committed seeds stay as they are.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$fuzzer" -max_total_time="$seconds" -max_len=70000 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$work" "$here/corpus"
