#!/usr/bin/env bash
# The Windows installer as a user gets it, made from this build and run
# under Wine in a prefix of the test's own (it writes the user's registry,
# Start menu and application data), with the 2020 Steam edition's folder and
# start list in that prefix:
#  - a silent install with /AUTOSTART=on puts the zip's files in place, the
#    Start-menu entry and the uninstaller's entry, and registers the
#    launcher in exe.xml;
#  - a silent update replaces the programs and keeps the user's edited
#    Avionics-Panel.cfg and log;
#  - a silent uninstall, with the installed Relay-Launcher running, ends it,
#    leaves exe.xml as it was before the install, byte for byte, removes
#    the program files and keeps the edited configuration.
E2E_OWN_WINEPREFIX=1
source "$(dirname "$0")/../../../tests/e2e/lib/e2e.sh"

W=$E2E_WORK
BUILD=${RELAY_BUILD:-$E2E_SRC/build-windows}
v=${RELAY_VERSION:?the build gives the version}

E2E_LOGS+=("$W/make.log")
bash "$E2E_SRC/package/installer/make-installer.sh" "$BUILD" "$W/out" >"$W/make.log" 2>&1 ||
  e2e_fail "make-installer.sh failed"
setup=$W/out/AvionicsRelay-$v-setup.exe
[ -s "$setup" ] || e2e_fail "no $(basename "$setup")"
# What the zip holds, as the installer's files must be.
cmake --install "$BUILD" --prefix "$W/zip" --strip >"$W/install.log" 2>&1 || e2e_fail "cmake --install failed"

profile=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
[ -d "$profile/AppData/Local" ] || e2e_fail "no user profile in the test's Wine prefix"
app=$profile/AppData/Local/Programs/Avionics\ Relay
menu=$profile/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Avionics\ Relay
sim=$profile/AppData/Roaming/Microsoft\ Flight\ Simulator
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\AvionicsRelay'

# The simulator's own start list, with an add-on of someone else's.
mkdir -p "$sim"
printf '%s\r\n' '<?xml version="1.0" encoding="Windows-1252"?>' '<SimBase.Document Type="Launch" version="1,0">' \
  '  <Descr>Launch</Descr>' '  <Filename>exe.xml</Filename>' \
  '  <Disabled>False</Disabled>' '  <Launch.Addon>' '    <Name>Other Add-on</Name>' '    <Disabled>False</Disabled>' \
  '    <Path>C:\Tools\other.exe</Path>' '  </Launch.Addon>' '</SimBase.Document>' >"$sim/exe.xml"
cp "$sim/exe.xml" "$W/exe.xml.before"

# run_wine <log name> <program> [args...]: runs a Windows program to its end;
# its exit code in E2E_RC.
run_wine() {
  local log=$W/$1.log
  shift
  E2E_LOGS+=("$log")
  E2E_RC=0
  timeout -k 5 $((60 * E2E_SLOW)) "$RELAY_WINE" "$@" >"$log" 2>&1 || E2E_RC=$?
}

run_wine install "$setup" /S /AUTOSTART=on
[ "$E2E_RC" = 0 ] || e2e_fail "the silent install ended with $E2E_RC"
# Stripping stamps each .exe with the time, so those compare by size.
(cd "$W/zip" && find . -type f | LC_ALL=C sort) >"$W/zip.txt"
(cd "$app" && find . -type f ! -name Uninstall.exe | LC_ALL=C sort) >"$W/installed.txt"
cmp -s "$W/zip.txt" "$W/installed.txt" || e2e_fail "installed: $(tr '\n' ' ' <"$W/installed.txt")"
while read -r file; do
  case $file in
    *.exe) [ "$(stat -c %s "$app/$file")" = "$(stat -c %s "$W/zip/$file")" ] ;;
    *) cmp -s "$app/$file" "$W/zip/$file" ;;
  esac || e2e_fail "the installed $file is not the zip's"
done <"$W/zip.txt"
[ -s "$menu/Relay-Launcher.lnk" ] && [ -s "$menu/QUICKSTART.lnk" ] || e2e_fail "no Start-menu entries"
entry=$("$RELAY_WINE" reg query "$key" 2>/dev/null | tr -d '\r')
for want in "DisplayName    REG_SZ    Avionics Relay" "DisplayVersion    REG_SZ    $v" \
            "Publisher    REG_SZ    The Avionics Relay authors" \
            "UninstallString    REG_SZ    \"C:\\users\\" "QuietUninstallString    REG_SZ    \"C:\\users\\"; do
  grep -qF -- "$want" <<<"$entry" || e2e_fail "the uninstaller's entry lacks \"$want\": $entry"
done
grep -q 'QuietUninstallString .*\\Avionics Relay\\Uninstall.exe" /S$' <<<"$entry" &&
  grep -q 'EstimatedSize    REG_DWORD    0x[1-9a-f]' <<<"$entry" ||
  e2e_fail "the uninstaller's entry has no quiet uninstall or size: $entry"
tr -d '\r' <"$sim/exe.xml" | grep -qF 'Avionics Relay\Relay-Launcher.exe</Path>' &&
  grep -qF '<Name>Other Add-on</Name>' "$sim/exe.xml" || e2e_fail "the launcher is not registered in exe.xml"
# Installer and uninstaller say which version they are, as the programs do.
$(e2e_exe version-block) "$setup" "$app/Uninstall.exe" >"$W/versions.raw" 2>&1
tr -d '\r' <"$W/versions.raw" >"$W/versions.txt"
for want in "FixedFileVersion=$v.0" "ProductVersion=$v" "ProductName=Avionics Panel Relays"; do
  [ "$(grep -cxF -- "$want" "$W/versions.txt")" = 2 ] ||
    { E2E_LOGS+=("$W/versions.txt"); e2e_fail "installer and uninstaller do not both carry \"$want\""; }
done
e2e_pass "silent install: the zip's files, Start menu, uninstaller entry, registered with the simulator, version $v"

# The user's own files, and a program that the update must replace.
printf '[LAUNCH]\r\nPROGRAMS=COMM1-Relay\r\n' >>"$app/Avionics-Panel.cfg"
printf 'a line of an earlier flight\r\n' >"$app/Relay-Launcher.log"
cp "$app/Avionics-Panel.cfg" "$W/cfg.edited"
cp "$app/Relay-Launcher.log" "$W/log.before"
: >"$app/COMM1-Relay.exe"
cp "$sim/exe.xml" "$W/exe.xml.registered"
run_wine update "$setup" /S
[ "$E2E_RC" = 0 ] || e2e_fail "the silent update ended with $E2E_RC"
[ "$(stat -c %s "$app/COMM1-Relay.exe")" = "$(stat -c %s "$W/zip/COMM1-Relay.exe")" ] || e2e_fail "the update did not replace COMM1-Relay.exe"
cmp -s "$app/Avionics-Panel.cfg" "$W/cfg.edited" || e2e_fail "the update changed the user's Avionics-Panel.cfg"
cmp -s "$app/Relay-Launcher.log" "$W/log.before" || e2e_fail "the update changed Relay-Launcher.log"
cmp -s "$sim/exe.xml" "$W/exe.xml.registered" || e2e_fail "an update without /AUTOSTART changed exe.xml"
e2e_pass "silent update: programs replaced, the edited configuration and the log kept"

# The installed launcher runs (no panel answers: it searches on) while the
# uninstaller starts.
# (Started here, not by e2e_start: the folder's name holds a blank.)
(cd "$app" && exec timeout -k 5 "$E2E_LIFETIME" "$RELAY_WINE" "$app/Relay-Launcher.exe") </dev/null >"$W/launcher.log" 2>&1 &
launcher_pid=$!
E2E_PIDS+=("$launcher_pid")
E2E_LOGS+=("$W/launcher.log")
e2e_wait "$app/Relay-Launcher.log" "started in" 30
# The uninstaller copies itself out of the folder and goes on from that
# copy, which it tells the folder with _?=; it has finished once no process
# of this prefix runs such a copy.
copy_runs() {
  local d
  for d in /proc/[0-9]*; do
    tr '\0' '\n' 2>/dev/null <"$d/cmdline" | grep -qF '_?=' &&
      tr '\0' '\n' 2>/dev/null <"$d/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}
run_wine uninstall "$app/Uninstall.exe" /S
[ "$E2E_RC" = 0 ] || e2e_fail "the silent uninstall did not start: $E2E_RC"
# (Uninstall.exe goes last: the copy may not have been seen yet.)
end=$((SECONDS + 60 * E2E_SLOW))
while copy_runs || [ -e "$app/Uninstall.exe" ]; do
  [ $SECONDS -lt $end ] ||
    e2e_fail "the uninstall has not finished after $((60 * E2E_SLOW)) s; left: $(cd "$app" && find . -type f | tr '\n' ' ')"
  sleep 0.5
done
e2e_wait_exit "$launcher_pid" 30
[ "$E2E_RC" = 0 ] || e2e_fail "the running launcher ended with $E2E_RC"
grep -qF "asked to end" "$app/Relay-Launcher.log" || e2e_fail "the launcher's log does not say it was asked to end"
cmp -s "$sim/exe.xml" "$W/exe.xml.before" || e2e_fail "exe.xml is not as it was before the install"
left=$(cd "$app" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
[ "$left" = "./Avionics-Panel.cfg ./Relay-Launcher.log " ] || e2e_fail "left in the folder: $left"
cmp -s "$app/Avionics-Panel.cfg" "$W/cfg.edited" || e2e_fail "the uninstall changed the user's Avionics-Panel.cfg"
[ ! -e "$menu" ] || e2e_fail "the Start-menu folder is still there"
! "$RELAY_WINE" reg query "$key" >/dev/null 2>&1 || e2e_fail "the uninstaller's entry is still registered"
e2e_pass "silent uninstall: the running launcher ended, exe.xml as before, programs gone, the edited configuration kept"
