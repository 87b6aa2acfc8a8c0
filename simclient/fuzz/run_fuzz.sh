#!/usr/bin/env bash
# Runs the receive-path fuzzer of an existing build for a number of seconds.
# Usage: run_fuzz.sh <build-dir> <seconds>
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 <build-dir> <seconds>" >&2
  exit 2
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
exec bash "$here/../../tools/run-fuzzer.sh" "$1/bin/simclient_receive_fuzzer" "$2" "$here/corpus" -- -max_len=70000
