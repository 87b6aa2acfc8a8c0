#!/usr/bin/env bash
# The release package as a user gets it: CPack makes it from the build (the
# zip for the Windows build, the tarball for Linux), it is unpacked into an
# empty folder, and COMM1-Relay runs from there with the sample
# Avionics-Panel.cfg beside it, against the packaged stand-in and virtual
# panel. Nothing is taken from the build folder's bin/.
source "$(dirname "$0")/lib/e2e.sh"

W=$E2E_WORK
BUILD=${RELAY_BUILD:-$E2E_SRC/build}
if [ "$E2E_KIND" = windows ]; then generator=ZIP; suffix=.exe; else generator=TGZ; suffix=; fi

(cd "$BUILD" && cpack -G "$generator" -B "$W/cpack") >"$W/cpack.log" 2>&1 ||
  { E2E_LOGS+=("$W/cpack.log"); e2e_fail "cpack -G $generator failed"; }
archives=("$W"/cpack/AvionicsRelay-*.zip "$W"/cpack/AvionicsRelay-*.tar.gz)
archives=($(ls "${archives[@]}" 2>/dev/null))
[ ${#archives[@]} = 1 ] || e2e_fail "expected one package in $W/cpack, found: ${archives[*]:-none}"

mkdir "$W/unpacked"
(cd "$W/unpacked" && cmake -E tar xf "${archives[0]}") || e2e_fail "cannot unpack ${archives[0]}"
tops=("$W"/unpacked/*)
[ ${#tops[@]} = 1 ] && [ -d "${tops[0]}" ] || e2e_fail "the package does not unpack into one folder"
PKG=${tops[0]}

expected=(HUB1-Relay NAVCOM1-Relay NAVCOM2-Relay ADF-Relay NAV1-Relay NAV2-Relay XPDR-Relay COMM2-Relay COMM1-Relay
          Relay-Launcher tools/sim-standin tools/virtual-panel)
for exe in "${expected[@]}"; do
  [ -x "$PKG/$exe$suffix" ] || e2e_fail "$exe$suffix missing from the package"
done
for file in Avionics-Panel.cfg second-machine/SimConnect.cfg QUICKSTART.txt LICENSE THIRD-PARTY-NOTICES.txt CHANGELOG.md; do
  [ -s "$PKG/$file" ] || e2e_fail "$file missing from the package"
done
# The licence, the notices and the change log go out whole.
for text in LICENSE package/THIRD-PARTY-NOTICES.txt CHANGELOG.md; do
  tr -d '\r' <"$PKG/$(basename "$text")" | cmp -s - "$E2E_SRC/$text" ||
    e2e_fail "$(basename "$text") in the package is not $text"
done
if [ "$E2E_KIND" = windows ]; then
  # Every .exe runs on its own: nothing else to install.
  extra=$(cd "$PKG" && find . -type f ! -name '*.exe' ! -name '*.cfg' ! -name '*.txt' ! -name '*.md' ! -name LICENSE)
  [ -z "$extra" ] || e2e_fail "unexpected files in the package: $extra"
  grep -q $'\r$' "$PKG/QUICKSTART.txt" || e2e_fail "QUICKSTART.txt lacks Windows line ends"
fi
e2e_pass "$(basename "${archives[0]}"): nine programs, the launcher, two tools, both samples, the quick start, licence, notices, change log"

# The checksums file names the package as it lies beside it and verifies.
bash "$E2E_SRC/tools/release-sums.sh" "$W/cpack" >/dev/null || e2e_fail "release-sums.sh failed"
(cd "$W/cpack" && grep -qF "  $(basename "${archives[0]}")" SHA256SUMS.txt && sha256sum --quiet -c SHA256SUMS.txt) ||
  e2e_fail "SHA256SUMS.txt does not verify the package"
e2e_pass "SHA256SUMS.txt verifies"

# From here on every executable is the unpacked one.
E2E_BIN=$PKG/tools
e2e_start_standin
e2e_start_panel 8 panel --panel comm1
e2e_wait "$W/panel.log" "listening on UDP port 4771" 30
E2E_BIN=$PKG
e2e_start relay_pid COMM1-Relay "$PKG" /dev/null COMM1-Relay
RELAY=$W/COMM1-Relay.log

e2e_wait "$RELAY" "Panel connected from 10.77.0.20" 60
e2e_text "$RELAY" | grep -qx "Current CFG: Avionics-Panel.cfg" || e2e_fail "the sample beside the program was not read"
! e2e_text "$RELAY" | grep -q "redefined" || e2e_fail "the unchanged sample redefined a value"
e2e_wait "$W/panel.log" "recv F>118.000  121.500" 30
echo "send R+" >&8
e2e_wait "$W/sim-standin.log" "COM_RADIO_WHOLE_INC data" 30
e2e_wait "$W/panel.log" "recv F>118.000  122.500" 30
e2e_pass "the unpacked COMM1-Relay reads the sample, finds its panel and tunes"

echo quit >&7
e2e_wait_exit "$relay_pid" 30
[ "$E2E_RC" = 0 ] || e2e_fail "COMM1-Relay ended with $E2E_RC after the simulator quit"
e2e_pass "COMM1-Relay ends with 0 when the simulator quits"
