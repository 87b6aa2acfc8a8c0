#!/usr/bin/env bash
# Usage: release-sums.sh <folder>
# Writes <folder>/SHA256SUMS.txt for the release packages in the folder, in
# the form "sha256sum -c" reads; on Windows "certutil -hashfile <package>
# SHA256" prints the same sum.
set -euo pipefail
[ $# = 1 ] || { echo "usage: $0 <folder>" >&2; exit 2; }
cd "$1"
shopt -s nullglob
packages=(AvionicsRelay-*-setup.exe AvionicsRelay-*.zip AvionicsRelay-*.tar.gz)
[ ${#packages[@]} -gt 0 ] || { echo "$0: no AvionicsRelay package in $1" >&2; exit 1; }
sha256sum "${packages[@]}" > SHA256SUMS.txt
echo "Wrote $PWD/SHA256SUMS.txt"
