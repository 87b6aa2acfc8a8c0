#!/usr/bin/env bash
# Usage: make-installer.sh <Windows build folder> <output folder>
# Makes AvionicsRelay-<version>-setup.exe in the output folder from what the
# Windows build installs (the zip's files, stripped as CPack strips them):
# they are staged in a scratch folder, the lists of files to install and to
# remove are written from what is there, and Debian's makensis builds the
# installer for its amd64-unicode target. Nothing is downloaded.
set -euo pipefail
[ $# = 2 ] || { echo "usage: $0 <Windows build folder> <output folder>" >&2; exit 2; }
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "$1" && pwd)
info=$build/package/installer/release.nsh
[ -f "$info" ] || { echo "$0: $1 is not a Windows build folder (it has no package/installer/release.nsh)" >&2; exit 1; }
command -v makensis >/dev/null ||
  { echo "$0: makensis not found; bash tools/install-deps.sh all installs Debian's nsis" >&2; exit 1; }
mkdir -p "$2"
out=$(cd "$2" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/relay-installer.XXXXXX")
trap 'rm -rf "$work"' EXIT
stage=$work/stage
cmake --install "$build" --prefix "$stage" --strip >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; echo "$0: cmake --install failed" >&2; exit 1; }

# Avionics-Panel.cfg is the user's once it is there: the script puts it in
# place on a first installation only, and the uninstaller keeps it.
files=$(cd "$stage" && find . -type f ! -path ./Avionics-Panel.cfg | sed 's|^\./||' | LC_ALL=C sort)
folders=$(cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | LC_ALL=C sort -r)
# Paths go into the script as they are: nothing that NSIS would read as a
# variable or a quote.
names=$(printf '%s\n' "$stage" "$files" "$folders")
if grep -q '[^A-Za-z0-9._/ -]' <<<"$names"; then
  echo "$0: a path the installer script cannot take as it is:" >&2
  grep '[^A-Za-z0-9._/ -]' <<<"$names" >&2
  exit 1
fi
{
  echo "; Made by make-installer.sh from the files the Windows build installs."
  echo "!macro RelayInstallFiles"
  dir=
  while IFS= read -r file; do
    [ "$(dirname "$file")" = "$dir" ] || {
      dir=$(dirname "$file")
      if [ "$dir" = . ]; then echo '  SetOutPath "$INSTDIR"'; else echo "  SetOutPath \"\$INSTDIR\\${dir//\//\\}\""; fi
    }
    echo "  File \"$stage/$file\""
  done <<<"$files"
  echo "!macroend"
  echo "!macro RelayRemoveFiles"
  while IFS= read -r file; do echo "  Delete \"\$INSTDIR\\${file//\//\\}\""; done <<<"$files"
  echo "!macroend"
  echo "!macro RelayRemoveFolders"
  while IFS= read -r folder; do
    [ -n "$folder" ] && echo "  RMDir \"\$INSTDIR\\${folder//\//\\}\""
  done <<<"$folders"
  echo "!macroend"
} >"$work/files.nsh"

makensis -V2 -DRELAY_BUILD_INFO="$info" -DRELAY_FILES="$work/files.nsh" -DRELAY_STAGE="$stage" \
  -DRELAY_OUT_DIR="$out" "$here/AvionicsRelay.nsi" >"$work/makensis.log" 2>&1 ||
  { cat "$work/makensis.log" >&2; echo "$0: makensis failed" >&2; exit 1; }
version=$(sed -n 's/^!define RELAY_VERSION "\(.*\)"$/\1/p' "$info")
echo "Wrote $out/AvionicsRelay-$version-setup.exe"
