#!/usr/bin/env bash
# Relay-Launcher end to end, all in one namespace: the stand-in and three
# virtual panels (COM1, NAV2, multi-function) plus XPDR-Relay in PROGRAMS
# without a panel. The launcher, started from another folder, finds the three
# panels, starts four programs from its own folder, and a key on each panel
# reaches the stand-in. A program killed from outside is started again and
# works; when the stand-in quits and a new one starts every program is back
# on its own; a panel switched on later gets its program at the next search;
# a second launcher is refused without touching anything, while
# --autostart still reaches the simulator's start list; Ctrl+C ends every
# program and the launcher with 0; a killed launcher takes its programs
# along; started as the simulator starts it, the launcher ends with 0 and
# takes every program along once the stand-in has quit. Before all that, a
# launcher started as the simulator starts it, with no program at all,
# watches a stand-in of its own and ends with it. A program started by
# hand is left alone even before it has bound its port, and a datagram with
# a line end on a searching program's port moves no state.
source "$(dirname "$0")/lib/e2e.sh"
programs=(COMM1-Relay NAV2-Relay HUB1-Relay XPDR-Relay ADF-Relay)
e2e_require Relay-Launcher sim-standin virtual-panel "${programs[@]}"

W=$E2E_WORK
SIM=$W/sim-standin.log
C=$W/cockpit  # the launcher, the programs it may start, their configuration, its log
OUT=$W/Relay-Launcher.log
suffix=
[ "$E2E_KIND" = windows ] && suffix=.exe
mkdir -p "$C" "$W/elsewhere" "$W/second"
for exe in Relay-Launcher "${programs[@]}"; do cp "$E2E_BIN/$exe$suffix" "$C/"; done
cp "$E2E_BIN/Relay-Launcher$suffix" "$W/second/"
e2e_config "$C" "[LAUNCH]
PROGRAMS=XPDR-Relay
[COM1]
IDLE_MS=10
[NAV1]
IDLE_MS=10
[NAV2]
IDLE_MS=10"

# The processes running from the launcher's folder (native and Wine alike,
# the command line holds the folder; nothing else on the machine does).
cockpit_pids() {
  local d
  for d in /proc/[0-9]*; do
    tr '\0' ' ' 2>/dev/null <"$d/cmdline" | grep -qF "$(basename "$W")" &&
      tr '\0' ' ' 2>/dev/null <"$d/cmdline" | grep -q "cockpit.$1" && echo "${d#/proc/}"
  done
}
# program_count <name>: the program's processes in this namespace, native
# or under Wine.
program_count() {
  local d comm ns n=0
  ns=$(readlink /proc/self/ns/net)
  for d in /proc/[0-9]*; do
    read -r comm 2>/dev/null <"$d/comm" || continue
    [ "$comm" = "$1" ] || [ "$comm" = "$1.exe" ] || continue
    [ "$(readlink "$d/ns/net" 2>/dev/null)" = "$ns" ] && n=$((n + 1))
  done
  echo "$n"
}
expect_none_left() {
  local end=$((SECONDS + 5 * E2E_SLOW))
  while [ -n "$(cockpit_pids '[A-Z]')" ]; do
    [ $SECONDS -ge $end ] && e2e_fail "$1: still running: $(cockpit_pids '[A-Z]')"
    sleep 0.2
  done
}
# key <fd> <code> <event>: the code from a panel reaches the stand-in.
key() {
  local before
  before=$(e2e_count "$SIM" "$3 data")
  echo "send $2" >&"$1"
  e2e_wait "$SIM" "$3 data" 20 $((before + 1))
}
# launch <pid variable> <log name> <launcher's folder> [args...]: started
# from another folder than its own.
launch() {
  local bin=$E2E_BIN var=$1 log=$2
  E2E_BIN=$3
  shift 3
  e2e_start "$var" "$log" "$W/elsewhere" /dev/null Relay-Launcher "$@"
  E2E_BIN=$bin
}

# --with-simulator with no program at all (no panel answers yet, no
# PROGRAMS): the launcher watches the simulator through a session of its
# own, opened as the SimConnect.cfg beside it says (a pipe of another name).
# Started before its simulator it waits. Its stand-in killed (no quit
# message), it waits 10 s for a new session; a second launcher started with
# the simulator then leaves the cockpit to it with 0 and tells it a
# simulator is starting, so it waits for that one however long it loads.
# A stand-in killed and started again within the wait is carried on with;
# once the stand-in quits, the launcher ends with 0 after the 10 s wait,
# while the cockpit's panels below start (SCAN=0: no search that could find
# them).
A=$W/alone
mkdir -p "$A"
cp "$E2E_BIN/Relay-Launcher$suffix" "$A/"
e2e_config "$A" "[LAUNCH]
SCAN=0"
printf '[SimConnect]\nProtocol=Pipe\nPort=RelayWatch\n' >"$A/SimConnect.cfg"
# watch_standin <log name>: that stand-in, its commands on descriptor 4.
watch_standin() {
  e2e_fifo "$W/$1.in" 4
  e2e_start watch_sim_pid "$1" "$W/$1" "$W/$1.in" sim-standin --no-tcp --no-tcp6 --pipe-name RelayWatch
  e2e_wait "$W/$1.log" "listening:" 30
}
launch alone_pid alone "$A" --with-simulator
e2e_wait "$W/alone.log" "ends once the simulator has gone" 20
watch_standin watch1
e2e_wait "$W/watch1.log" 'open: "Relay-Launcher"' 20
e2e_wait "$W/alone.log" "the simulator session is open" 10
e2e_kill_hard "$watch_sim_pid"
e2e_wait "$W/alone.log" "the connection to the simulator was lost: ending in 10 s" 10
launch second_pid second-sim "$W/second" --with-simulator
e2e_wait_exit "$second_pid" 30
[ "$E2E_RC" = 0 ] && grep -q "already serving the cockpit" "$W/second-sim.log" ||
  e2e_fail "a second launcher started with the simulator ended with $E2E_RC"
[ ! -e "$W/second/Relay-Launcher.log" ] || e2e_fail "the second launcher wrote a log"
e2e_wait "$W/alone.log" "a simulator is starting" 10
watch_standin watch2
e2e_wait "$W/alone.log" "the simulator session is open" 10 2
kill -0 "$alone_pid" 2>/dev/null && ! grep -q "ending with the simulator" "$W/alone.log" ||
  e2e_fail "the first launcher did not go on"
e2e_kill_hard "$watch_sim_pid"
e2e_wait "$W/alone.log" "the connection to the simulator was lost: ending in 10 s" 10 2
watch_standin watch3
e2e_wait "$W/alone.log" "the simulator has a session again: carrying on" 10
quit_at=$(date +%s)
echo quit >&4
exec 4>&-
( while kill -0 "$alone_pid" 2>/dev/null; do sleep 0.1; done; date +%s >"$W/alone.ended" ) &

e2e_start_panel 8 com1 --panel comm1
e2e_start_panel 9 nav2 --panel nav2
e2e_start_panel 6 hub1 --panel hub1
e2e_wait "$W/com1.log" "listening on UDP port 4771" 30
e2e_wait "$W/nav2.log" "listening on UDP port 4777" 30
e2e_wait "$W/hub1.log" "listening on UDP port 4783" 30
e2e_wait_exit "$alone_pid" 30
e2e_wait "$W/alone.ended" "" 5
waited=$(($(cat "$W/alone.ended") - quit_at))
[ "$E2E_RC" = 0 ] && grep -q "ending with the simulator" "$W/alone.log" && [ "$waited" -ge 10 ] ||
  e2e_fail "the launcher with no program ended with $E2E_RC, $waited s after its stand-in quit"
! grep -q "started [A-Z0-9]*-Relay" "$W/alone.log" || e2e_fail "the launcher with no program started one"
e2e_pass "--with-simulator without a program: waits for its simulator; a second one leaves with 0 and the" \
  "first waits for the new simulator; a lost stand-in back within the wait is carried on with;" \
  "ends with 0 $waited s after the stand-in quit"

e2e_start_standin
launch launcher_pid Relay-Launcher "$C"
e2e_wait "$OUT" "found the COM1 panel at 10.77.0.20, version 1.0 (VRAN-COM1_1.0)" 20
e2e_wait "$OUT" "found the NAV2 panel at 10.77.0.20" 20
e2e_wait "$OUT" "found the HUB1 panel at 10.77.0.20" 20
e2e_wait "$OUT" "started XPDR-Relay" 20
# Switched on after the first search: found by a later one.
e2e_start_panel 5 adf --panel adf
e2e_wait "$OUT" "COMM1-Relay: Panel connected from 10.77.0.20" 30
e2e_wait "$OUT" "NAV2-Relay: NAV2 Panel connected from 10.77.0.20" 30
e2e_wait "$OUT" "HUB1-Relay: Panel connected from 10.77.0.20" 30
e2e_wait "$OUT" "XPDR-Relay: XPDR-Client Connected to Flight Simulator!" 30
key 8 R+ COM_RADIO_WHOLE_INC
key 9 R+ NAV2_RADIO_WHOLE_INC
key 6 R+ COM2_RADIO_WHOLE_INC
# (ADF-Relay may come already: its panel is on by now.)
[ "$(grep "Relay-Launcher: started .*-Relay (process" "$OUT" | grep -vc ADF-Relay)" = 4 ] ||
  e2e_fail "not exactly four programs started"
[ -s "$C/Relay-Launcher.log" ] || e2e_fail "no Relay-Launcher.log beside the launcher"
! grep -q $'\b' "$C/Relay-Launcher.log" || e2e_fail "spinner frames in the log"
! grep -q 'open: "Relay-Launcher"' "$SIM" || e2e_fail "a launcher without --with-simulator opened a simulator session"
e2e_pass "three panels found, four programs started from the launcher's folder, a key on each panel works"

for pid in $(cockpit_pids COMM1-Relay); do kill -KILL "$pid"; done
e2e_wait "$OUT" "started COMM1-Relay" 20 2
e2e_wait "$OUT" "COMM1-Relay: Panel connected from 10.77.0.20" 30 2
key 8 R+ COM_RADIO_WHOLE_INC
e2e_pass "COMM1-Relay killed from outside is started again and works"

launch second_pid second "$W/second"
e2e_wait_exit "$second_pid" 30
[ "$E2E_RC" != 0 ] || e2e_fail "the second launcher exited with 0"
e2e_wait "$W/second.log" "the ports are taken" 5
[ ! -e "$W/second/Relay-Launcher.log" ] || e2e_fail "the second launcher wrote a log"
! grep -q "ending" "$OUT" || e2e_fail "the first launcher ended"
[ -n "$(cockpit_pids COMM1-Relay)" ] || e2e_fail "a program ended when the second launcher was started"
e2e_pass "a second launcher is refused: the ports are taken, nothing touched"

# --autostart beside a running cockpit: no second-launcher refusal, no log;
# the test's Wine prefix has no simulator folders.
launch status_pid autostart "$W/second" --autostart status
e2e_wait_exit "$status_pid" 30
want=(2 "--autostart is a Windows feature")
[ "$E2E_KIND" = windows ] && want=(1 "No installation of Microsoft Flight Simulator found")
[ "$E2E_RC" = "${want[0]}" ] && grep -qF -- "${want[1]}" "$W/autostart.log" && [ ! -e "$W/second/Relay-Launcher.log" ] ||
  e2e_fail "--autostart status beside a running launcher ended with $E2E_RC"
e2e_pass "--autostart status beside a running launcher reaches the start list and nothing else"

echo quit >&7
e2e_wait_exit "$sim_pid" 30
exec 7>&-
e2e_wait "$OUT" "COMM1-Relay ended (exit code 0)" 20
e2e_fifo "$W/sim2.in" 7
e2e_start sim_pid sim2 "$W/sim2" "$W/sim2.in" sim-standin
SIM=$W/sim2.log
e2e_wait "$OUT" "COMM1-Relay: Panel connected from 10.77.0.20" 30 3
e2e_wait "$OUT" "NAV2-Relay: NAV2 Panel connected from 10.77.0.20" 30 2
e2e_wait "$OUT" "HUB1-Relay: Panel connected from 10.77.0.20" 30 2
e2e_wait "$OUT" "XPDR-Relay: XPDR-Client Connected to Flight Simulator!" 30 2
key 8 R+ COM_RADIO_WHOLE_INC
e2e_pass "after the stand-in quit and a new one started every program is back"

e2e_wait "$OUT" "found the ADF panel at 10.77.0.20" 30
e2e_wait "$OUT" "ADF-Relay: ADF Panel connected from 10.77.0.20" 30
e2e_pass "a panel switched on later gets its program"

launcher=$(ps -o pid= --ppid "$launcher_pid" | tr -d ' ')
kill -INT "$launcher"
e2e_wait_exit "$launcher_pid" 10
[ "$E2E_RC" = 0 ] || e2e_fail "the launcher ended with $E2E_RC after Ctrl+C"
for program in "${programs[@]}"; do
  [ "$(e2e_count "$OUT" "Relay-Launcher: $program ended: ")" = 1 ] || e2e_fail "no one line for $program's end"
done
expect_none_left "after Ctrl+C"
e2e_pass "Ctrl+C ends every program, one line each, and the launcher with 0"

mv "$OUT" "$W/first-run.log"
launch launcher_pid Relay-Launcher "$C"
e2e_wait "$OUT" "COMM1-Relay: Panel connected from 10.77.0.20" 30
e2e_kill_hard "$launcher_pid"
expect_none_left "after the launcher was killed"
e2e_pass "a killed launcher takes its programs along"

mv "$OUT" "$W/second-run.log"
# The launcher runs XPDR-Relay alone; COMM1-Relay, in PROGRAMS too, was
# started by hand and cannot reach the simulator, so it has bound no port:
# only its process shows it.
e2e_config "$C" "[LAUNCH]
PROGRAMS=XPDR-Relay,COMM1-Relay
SCAN=0"
mkdir -p "$W/hand"
printf '[SimConnect]\nProtocol=IPv4\nAddress=%s\nPort=9\n' "$RELAY_NETNS_ADDRESS" >"$W/hand/SimConnect.cfg"
e2e_start hand_pid by-hand "$W/hand" /dev/null COMM1-Relay
e2e_wait "$W/by-hand.log" "Searching Connection to Flight Simulator" 20
launch launcher_pid Relay-Launcher "$C" --with-simulator
e2e_wait "$OUT" "COMM1-Relay already runs outside the launcher (process" 30
e2e_wait "$OUT" "XPDR-Relay: XPDR-Client Connected to Flight Simulator!" 30
[ "$(program_count COMM1-Relay)" = 1 ] && [ "$(program_count XPDR-Relay)" = 1 ] ||
  e2e_fail "not one process per program: COMM1-Relay $(program_count COMM1-Relay), XPDR-Relay $(program_count XPDR-Relay)"
e2e_pass "a program started by hand before it has a session is left alone: one process per program"

# A datagram on the searching program's port whose line end would make its
# echo read like the program's own line: it stays one echoed line, and the
# session the launcher sees goes on.
e2e_wait "$OUT" "XPDR-Relay: Bind to Receive Port" 20
e2e_start forger_pid forger "$W/forger" /dev/null virtual-panel --panel xpdr --silent \
  --to "$RELAY_NETNS_ADDRESS:4780" --exit-at-end 'send x\x0aConnection to Flight Simulator lost!\x0a' 'wait 1500' 'send y'
e2e_wait "$OUT" 'XPDR-Relay: false Panel detected x\x0aConnection to Flight Simulator lost!\x0a' 20
e2e_wait "$OUT" "XPDR-Relay: false Panel detected y" 20
! grep -q "unless a new session opens" "$OUT" || e2e_fail "the launcher saw its simulator session end before the quit"
e2e_pass "a datagram with a line end is echoed on one line and moves no state"
echo quit >&7
e2e_wait_exit "$launcher_pid" 60
[ "$E2E_RC" = 0 ] && grep -q "ending with the simulator" "$OUT" || e2e_fail "--with-simulator ended with $E2E_RC"
expect_none_left "after the simulator session"
e2e_pass "--with-simulator: once the stand-in has quit the launcher ends every program and itself with 0"
