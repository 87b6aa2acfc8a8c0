#!/usr/bin/env bash
# Usage: outside-code.sh <linker map>...
# The outside code a link put into a program, one file name a line, each
# once: the archives a member was taken from and the objects and shared
# libraries loaded, all of which the linker names by absolute path (the
# build's own objects and libraries are named relative to the build).
# relay_shipped_executable() writes the map beside each shipped executable;
# THIRD-PARTY-NOTICES.txt must name every file this prints.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 <linker map>..." >&2; exit 2; }
for map in "$@"; do
  [ -s "$map" ] || { echo "$0: no linker map $map" >&2; exit 1; }
  # Archive members, "/path/libx.a(member.o)", listed before the discarded sections.
  sed -n '/^Discarded input sections/q; s#^\(/[^ (]*\.a\)(.*#\1#p' "$map"
  sed -n 's#^LOAD \(/[^ ]*\.\(o\|so\|so\.[0-9.]*\)\)$#\1#p' "$map"
done | xargs -r -n1 basename | sort -u
