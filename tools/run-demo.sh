#!/usr/bin/env bash
# The first thing to run on a fresh Linux machine: installs the build
# packages, builds, and starts the demo (simulator stand-in, a virtual panel
# in this terminal, the relay program; COM1 unless --panel names another) in
# a private network namespace. Pass --script for the non-interactive
# walk-through, --variant 2 for the dual-encoder panel. --launcher shows
# Relay-Launcher running a cockpit of four virtual panels instead (with
# --script: its plain lines, no terminal needed).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/tools/install-deps.sh" native
bash "$root/tools/build.sh" native >/dev/null
for arg in "$@"; do
  if [ "$arg" = --launcher ]; then
    args=()
    for a in "$@"; do [ "$a" = --launcher ] || args+=("$a"); done
    exec bash "$root/tools/demo/launcher_demo.sh" "${args[@]}"
  fi
done
exec bash "$root/tools/demo/demo.sh" "$@"
