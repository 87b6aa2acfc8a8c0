#!/usr/bin/env bash
# Relay-Launcher on a computer with two network adapters besides loopback and
# no INTERFACE_INDEX: a COM1 panel behind one of them (a veth pair whose far
# end is in a namespace of its own), nothing behind the other. Redirected,
# the launcher finds the panel's adapter and uses it for this run only, its
# program running from the launcher's working folder, Avionics-Panel.cfg
# untouched; --interface N uses adapter N over the file's; at a terminal a
# yes writes INTERFACE_INDEX into [NET], keeps a backup and leaves every other
# line as it was.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require Relay-Launcher sim-standin COMM1-Relay virtual-panel

W=$E2E_WORK
C=$W/cockpit
suffix=
[ "$E2E_KIND" = windows ] && suffix=.exe
mkdir -p "$C" "$W/elsewhere"
cp "$E2E_BIN/Relay-Launcher$suffix" "$E2E_BIN/COMM1-Relay$suffix" "$C/"
unset XDG_CACHE_HOME  # the working folder goes below the test's home
ip addr del "$RELAY_NETNS_ADDRESS/24" dev lo || e2e_fail "cannot take the namespace's address off loopback"

# adapter <name> <net>: <name>0 here at <net>.1, its peer at <net>.2 in a
# namespace of its own, held by the process in far_<name>.
adapter() {
  ip link add "${1}0" type veth peer name "${1}1" || e2e_fail "cannot make a veth pair"
  timeout "$E2E_LIFETIME" unshare -n sleep "$E2E_LIFETIME" &
  E2E_PIDS+=($!)
  local far
  while ! far=$(ps -o pid= --ppid $! | tr -d ' ') || [ -z "$far" ]; do sleep 0.05; done
  printf -v "far_$1" '%s' "$far"
  ip link set "${1}1" netns "$far" && ip addr add "$2.1/24" brd + dev "${1}0" && ip link set "${1}0" up &&
    nsenter -t "$far" -n sh -c "ip link set lo up && ip addr add $2.2/24 brd + dev ${1}1 && ip link set ${1}1 up" ||
    e2e_fail "cannot set up adapter $1"
}
adapter cab 10.61.0
adapter wifi 10.62.0

# The panel of this build in the far namespace. A Windows one gets a
# wineserver of its own there, with a prefix of its own: the server makes
# its sockets, and the test's server is in the launcher's namespace.
FAR_PREFIX=${WINEPREFIX:-}-far
far_panel() {
  if [ "$E2E_KIND" = windows ]; then
    exec nsenter -t "$far_cab" -n env RELAY_WINEPREFIX="$FAR_PREFIX" bash -c \
      'source "$1/tests/wine/wine-env.sh" && relay_wine_start && exec timeout -k 5 "$2" "$RELAY_WINE" "$3/virtual-panel.exe" --panel comm1' \
      far-panel "$E2E_SRC" "$E2E_LIFETIME" "$E2E_BIN"
  fi
  exec nsenter -t "$far_cab" -n timeout -k 5 "$E2E_LIFETIME" "$E2E_BIN/virtual-panel" --panel comm1
}
if [ "$E2E_KIND" = windows ]; then
  trap 'WINEPREFIX=$FAR_PREFIX relay_wine_stop; e2e_cleanup' EXIT
fi
e2e_fifo "$W/com1.in" 8
(cd "$W" && far_panel) <"$W/com1.in" >"$W/com1.log" 2>&1 &
E2E_PIDS+=($!)
E2E_LOGS+=("$W/com1.log")
e2e_wait "$W/com1.log" "listening on UDP port 4771" 30
e2e_start_standin

N=$'\r\n'
CONFIG="; my cockpit$N[COM1]${N}IDLE_MS=10$N$N[NET]$N;INTERFACE_INDEX=0${N}STAY_RUNNING=0$N"
printf '%s' "$CONFIG" >"$C/Avionics-Panel.cfg"
printf '%s' "$CONFIG" >"$W/original.cfg"
printf '; the simulator on this computer\r\n' >"$C/SimConnect.cfg"
# stop <pid> <log>: Ctrl+C to the launcher below its time limiter.
stop() {
  kill -INT "$(ps -o pid= --ppid "$1" | tr -d ' ')"
  e2e_wait_exit "$1" 20
  [ "$E2E_RC" = 0 ] || e2e_fail "the launcher ended with $E2E_RC ($2)"
}
unchanged() { cmp -s "$W/original.cfg" "$C/Avionics-Panel.cfg" && ! ls "$C"/*.relay-* >/dev/null 2>&1; }

E2E_BIN=$C e2e_start pid redirected "$W/elsewhere" /dev/null Relay-Launcher
e2e_wait "$W/redirected.log" "Panels found on interface" 20
cab=$(e2e_text "$W/redirected.log" | sed -n 's/.*Panels found on interface \([0-9]*\) (10\.61\.0\.1): COM1$/\1/p')
[ -n "$cab" ] || e2e_fail "the panel was not reported on 10.61.0.1 alone"
e2e_wait "$W/redirected.log" "no panel answered on interface" 5
e2e_wait "$W/redirected.log" "interface $cab (10.61.0.1) for this run only" 10
e2e_wait "$W/redirected.log" "COMM1-Relay: Panel connected from 10.61.0.2" 30
home=$W/home
[ "$E2E_KIND" = windows ] && home=$WINEPREFIX/drive_c/users
run=$(find "$home" -path '*AvionicsRelay/Relay-Launcher' -type d)
[ -n "$run" ] && tr -d '\r' <"$run/Avionics-Panel.cfg" | grep -qx "INTERFACE_INDEX=$cab" &&
  grep -q "my cockpit" "$run/Avionics-Panel.cfg" && cmp -s "$C/SimConnect.cfg" "$run/SimConnect.cfg" ||
  e2e_fail "no working folder with the file and the key, and SimConnect.cfg ($run)"
stop "$pid" redirected
unchanged || e2e_fail "Avionics-Panel.cfg was changed without a console"
e2e_pass "redirected: the panel's adapter found, for this run only from the working folder, the file untouched"

wifi=$(e2e_text "$W/redirected.log" | sed -n 's/.*no panel answered on interface \([0-9]*\) (10\.62\.0\.1)$/\1/p')
printf '%s' "${CONFIG/;INTERFACE_INDEX=0/INTERFACE_INDEX=$wifi}" | tee "$W/original.cfg" >"$C/Avionics-Panel.cfg"
E2E_BIN=$C e2e_start pid option "$W/elsewhere" /dev/null Relay-Launcher --interface "$cab"
e2e_wait "$W/option.log" "interface $cab (10.61.0.1) for this run only" 20
e2e_wait "$W/option.log" "COMM1-Relay: Panel connected from 10.61.0.2" 30
stop "$pid" option
E2E_BIN=$C e2e_start pid wrong "$W/elsewhere" /dev/null Relay-Launcher --interface 999
e2e_wait_exit "$pid" 20
[ "$E2E_RC" = 1 ] && grep -q "interface 999 names no network adapter" "$W/wrong.log" ||
  e2e_fail "--interface 999 was taken (exit code $E2E_RC)"
unchanged || e2e_fail "--interface changed Avionics-Panel.cfg"
e2e_pass "--interface N uses adapter N for this run over the file's; one that is none ends with 1"

[ "$E2E_KIND" = native ] || exit 0
printf '%s' "$CONFIG" | tee "$W/original.cfg" >"$C/Avionics-Panel.cfg"
rm -f "$C/Relay-Launcher.log"
e2e_fifo "$W/keys.in" 6
(cd "$W/elsewhere" && HOME="$W/home" XDG_CONFIG_HOME="$W/home/.config" exec timeout -k 5 "$E2E_LIFETIME" script -qfec "$C/Relay-Launcher" /dev/null) \
  <"$W/keys.in" >"$W/terminal.log" 2>&1 &
pid=$!
E2E_PIDS+=("$pid")
E2E_LOGS+=("$W/terminal.log")
e2e_wait "$W/terminal.log" "[y/N]" 20
echo y >&6
e2e_wait "$C/Relay-Launcher.log" "INTERFACE_INDEX=$cab written into [NET]" 10
e2e_wait "$C/Relay-Launcher.log" "COMM1-Relay: Panel connected from 10.61.0.2" 30
printf q >&6
e2e_wait_exit "$pid" 20
[ "$E2E_RC" = 0 ] || e2e_fail "the launcher ended with $E2E_RC (terminal)"
cmp -s "$W/original.cfg" "$C/Avionics-Panel.cfg.relay-backup" || e2e_fail "no backup of the file as it was"
printf '%s' "${CONFIG/;INTERFACE_INDEX=0$N/;INTERFACE_INDEX=0${N}INTERFACE_INDEX=$cab$N}" >"$W/expected.cfg"
cmp -s "$W/expected.cfg" "$C/Avionics-Panel.cfg" || e2e_fail "the file is not the old one with the key: $(cat -A "$C/Avionics-Panel.cfg")"
e2e_pass "at a terminal a yes writes the key into [NET], keeps a backup and every other line"
