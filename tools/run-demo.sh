#!/usr/bin/env bash
# The first thing to run on a fresh Linux machine: installs the build
# packages, builds, and starts the COM1 demo (simulator stand-in, virtual
# COM1 panel in this terminal, COMM1-Relay) in a private network namespace.
# Pass --script for the non-interactive walk-through.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/tools/install-deps.sh" native
bash "$root/tools/build.sh" native >/dev/null
exec bash "$root/tools/demo/demo.sh" "$@"
