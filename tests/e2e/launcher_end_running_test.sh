#!/usr/bin/env bash
# Relay-Launcher --end-running, as the uninstaller runs it before it removes
# the programs: with a launcher running, and a program of it waiting for the
# simulator, it asks that launcher to end, waits until it has stopped its
# program and gone, and exits 0; the launcher ends with 0 and its log says
# why. With none running it says so and exits 0 at once. A launcher started
# with the simulator while the port is held by one that does not answer
# serves the cockpit once that one is gone.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require Relay-Launcher COMM1-Relay

W=$E2E_WORK
C=$W/cockpit
suffix=
[ "$E2E_KIND" = windows ] && suffix=.exe
mkdir -p "$C"
for exe in Relay-Launcher COMM1-Relay; do cp "$E2E_BIN/$exe$suffix" "$C/"; done
e2e_config "$C" "[LAUNCH]
PROGRAMS=COMM1-Relay
SCAN=0"
E2E_BIN=$C

e2e_start launcher_pid launcher "$C" /dev/null Relay-Launcher
e2e_wait "$C/Relay-Launcher.log" "started COMM1-Relay" 30
e2e_start end_pid end "$W/elsewhere" /dev/null Relay-Launcher --end-running
e2e_wait_exit "$end_pid" 60
[ "$E2E_RC" = 0 ] && grep -q "The running Relay-Launcher has ended." "$W/end.log" ||
  e2e_fail "--end-running beside a running launcher ended with $E2E_RC"
e2e_wait_exit "$launcher_pid" 5
[ "$E2E_RC" = 0 ] || e2e_fail "the launcher asked to end ended with $E2E_RC"
grep -q "asked to end (Relay-Launcher --end-running)" "$C/Relay-Launcher.log" &&
  grep -q "COMM1-Relay ended: " "$C/Relay-Launcher.log" || e2e_fail "the launcher's log does not tell the end"
e2e_pass "--end-running ends the running launcher and its program, and waits for them"

e2e_start end_pid again "$W/elsewhere" /dev/null Relay-Launcher --end-running
e2e_wait_exit "$end_pid" 30
[ "$E2E_RC" = 0 ] && grep -q "No Relay-Launcher is running." "$W/again.log" ||
  e2e_fail "--end-running with no launcher ended with $E2E_RC"
e2e_pass "--end-running with no launcher running says so and exits 0"

# Started with the simulator while another launcher is on its way out (it no
# longer answers: here a socket that holds the launcher's port for 3 s and
# says nothing), a launcher waits for that port and serves the cockpit.
perl -MSocket -e 'socket(my $s, PF_INET, SOCK_DGRAM, 0) or die "$!\n";
  bind($s, pack_sockaddr_in(4769, inet_aton("127.0.0.1"))) or die "$!\n";
  print "held\n"; close STDOUT; sleep 3' >"$W/holder.log" 2>&1 &
e2e_wait "$W/holder.log" "held" 10
e2e_start takeover_pid takeover "$W/elsewhere" /dev/null Relay-Launcher --with-simulator
e2e_wait "$W/takeover.log" "does not answer: it is ending" 20
e2e_wait "$W/takeover.log" "the other Relay-Launcher has ended: serving the cockpit" 30
e2e_wait "$C/Relay-Launcher.log" "ends once the simulator has gone" 30
e2e_start end_pid end-takeover "$W/elsewhere" /dev/null Relay-Launcher --end-running
e2e_wait_exit "$takeover_pid" 60
[ "$E2E_RC" = 0 ] || e2e_fail "the launcher that took over ended with $E2E_RC"
e2e_wait_exit "$end_pid" 30
e2e_pass "a launcher started with the simulator serves the cockpit once the silent one holding its port is gone"
