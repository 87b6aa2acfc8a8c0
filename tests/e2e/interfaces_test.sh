#!/usr/bin/env bash
# With three rows in the interface table and no INTERFACE_INDEX the programs
# list the interfaces and never search; naming the row's index in the
# configuration makes them use it.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin COMM1-Relay HUB1-Relay

W=$E2E_WORK
ip addr add 10.88.0.20/24 brd + dev lo || e2e_fail "cannot add a third address"

e2e_fifo "$W/sim.in" 7
e2e_start sim_pid sim-standin "$W/sim" "$W/sim.in" sim-standin
e2e_wait "$W/sim-standin.log" "listening:" 30

e2e_config "$W/comm1" "[COM1]
IDLE_MS=10
TESTMODE=1"
e2e_config "$W/hub1" "[NAV1]
IDLE_MS=10
[HUB1]
TESTMODE=1"
e2e_start comm1_pid COMM1-Relay "$W/comm1" /dev/null COMM1-Relay
e2e_start hub1_pid HUB1-Relay "$W/hub1" /dev/null HUB1-Relay

for prog in COMM1-Relay HUB1-Relay; do
  log=$W/$prog.log
  if [ $prog = COMM1-Relay ]; then
    e2e_wait "$log" "You have to define an interface index in the configuration file!" 60
  else
    e2e_wait "$log" "No or false interface index found in configuration file!" 60
  fi
  e2e_wait "$log" "3 interfaces found:" 10
  for address in 127.0.0.1 10.77.0.20 10.88.0.20; do
    e2e_text "$log" | grep -Eq "^Interface Index +[0-9]+ has IP Address $address\$" || e2e_fail "$prog does not list $address"
  done
done
# Give them many tenth passes: they must never search or bind.
sleep_until=$((SECONDS + 2 * E2E_SLOW))
while [ $SECONDS -lt $sleep_until ]; do sleep 0.2; done
for prog in COMM1-Relay HUB1-Relay; do
  grep -q "Send ID request\|Bind to Receive Port\|is used" "$W/$prog.log" && e2e_fail "$prog searched without an interface"
done
e2e_pass "three rows, no index: the interface list, no search"

# The index of the row with 10.77.0.20 (all rows sit on loopback here, so
# the first row that is not 127.0.0.1 is taken).
index=$(e2e_text "$W/COMM1-Relay.log" | sed -n 's/^Interface Index *\([0-9]*\) has IP Address 10\.77\.0\.20$/\1/p')
e2e_config "$W/comm1-indexed" "[COM1]
IDLE_MS=10
TESTMODE=1
[NET]
INTERFACE_INDEX=$index"
e2e_start indexed_pid comm1-indexed "$W/comm1-indexed" /dev/null COMM1-Relay
e2e_wait "$W/comm1-indexed.log" "is used" 60
e2e_text "$W/comm1-indexed.log" | grep -Eq "^IP Address 10\.(77|88)\.0\.20 is used$" || e2e_fail "INTERFACE_INDEX=$index did not pick a row on it"
e2e_wait "$W/comm1-indexed.log" "Send ID request" 20
e2e_pass "INTERFACE_INDEX=$index selects the interface and the search starts"
