#!/usr/bin/env bash
# Runs one Windows program under Wine inside a private network namespace, with
# a wineserver of its own. Used as the cross-build's test emulator.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
exec unshare -rn bash -c '
  ip link set lo up && ip addr add 10.77.0.20/24 brd + dev lo || exit 97
  source "$0/wine-env.sh"
  relay_wine_start
  "$RELAY_WINE" "$@"
  rc=$?
  relay_wine_stop
  exit $rc' "$here" "$@"
