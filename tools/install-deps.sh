#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages. Does
# nothing for packages already present. Usage: install-deps.sh [native|all]
set -euo pipefail
what=${1:-all}
packages=(cmake g++ make googletest libbenchmark-dev iproute2 util-linux)
if [ "$what" = all ]; then
  packages+=(g++-mingw-w64-x86-64-posix wine64 nsis clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
