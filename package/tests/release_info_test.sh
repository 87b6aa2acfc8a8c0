#!/usr/bin/env bash
# What every shipped executable carries. The build installs into an empty
# folder exactly what the packages hold; for each executable there:
#  - THIRD-PARTY-NOTICES.txt names every file of outside code the linker put
#    into it (from the map relay_shipped_executable() writes beside it);
#  - Windows: its version block, read as Explorer reads it, gives the
#    project's version, the product, a description of its own and its file
#    name, and its manifest asks for no elevation and declares Windows 10.
source "$(dirname "$0")/../../tests/e2e/lib/e2e.sh"

W=$E2E_WORK
BUILD=${RELAY_BUILD:-$E2E_SRC/build}
cmake --install "$BUILD" --prefix "$W/installed" >"$W/install.log" 2>&1 ||
  { E2E_LOGS+=("$W/install.log"); e2e_fail "cmake --install failed"; }
cd "$W/installed"
if [ "$E2E_KIND" = windows ]; then
  shipped=($(find . -type f -name '*.exe' | sort))
else
  shipped=($(find . -type f -perm -u+x | sort))
fi
[ ${#shipped[@]} -ge 11 ] || e2e_fail "only ${#shipped[@]} executables installed: ${shipped[*]}"

for exe in "${shipped[@]}"; do
  map=$E2E_BIN/$(basename "$exe").map
  [ -s "$map" ] || e2e_fail "no link map for $exe: is it declared with relay_shipped_executable()?"
  for code in $(bash "$E2E_SRC/tools/outside-code.sh" "$map"); do
    grep -qwF -- "$code" THIRD-PARTY-NOTICES.txt || e2e_fail "$exe holds $code, which THIRD-PARTY-NOTICES.txt does not name"
  done
done
e2e_pass "THIRD-PARTY-NOTICES.txt names all outside code of the ${#shipped[@]} executables"

[ "$E2E_KIND" = windows ] || exit 0
E2E_LOGS+=("$W/versions.txt")
# Into a file, not a pipe: Wine's helper processes would hold a pipe open.
$(e2e_exe version-block) "${shipped[@]}" >"$W/versions.raw" 2>&1
tr -d '\r' <"$W/versions.raw" >"$W/versions.txt"
v=${RELAY_VERSION:?the build gives the version}
for exe in "${shipped[@]}"; do
  name=$(basename "$exe")
  block=$(awk -v file="$exe" '/^File=/ { on = ($0 == "File=" file) } on' "$W/versions.txt")
  for want in "FixedFileVersion=$v.0" "FixedProductVersion=$v.0" "FileVersion=$v" "ProductVersion=$v" \
              "ProductName=Avionics Panel Relays" "OriginalFilename=$name"; do
    grep -qxF -- "$want" <<<"$block" || e2e_fail "$name: no \"$want\" in its version block"
  done
  grep -q '^FileDescription=..' <<<"$block" && grep -q '^LegalCopyright=Copyright ' <<<"$block" ||
    e2e_fail "$name: its version block lacks the description or the copyright"
  grep -qF 'requestedExecutionLevel level="asInvoker"' <<<"$block" &&
    grep -qF 'supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"' <<<"$block" ||
    e2e_fail "$name: its manifest does not run it as invoker on Windows 10"
done
twice=$(grep '^FileDescription=' "$W/versions.txt" | sort | uniq -d)
[ -z "$twice" ] || e2e_fail "two executables share one description: $twice"
e2e_pass "every .exe shows version $v, its own description and a manifest"
