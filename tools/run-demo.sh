#!/usr/bin/env bash
# The first thing to run on a fresh Linux machine: installs the build
# packages, builds, and starts the demo (simulator stand-in, a virtual panel
# in this terminal, the relay program; COM1 unless --panel names another) in
# a private network namespace. Pass --script for the non-interactive
# walk-through, --variant 2 for the dual-encoder panel.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/tools/install-deps.sh" native
bash "$root/tools/build.sh" native >/dev/null
exec bash "$root/tools/demo/demo.sh" "$@"
