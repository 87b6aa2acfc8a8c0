#!/usr/bin/env bash
# With three rows in the interface table and no INTERFACE_INDEX all nine
# programs list the interfaces under their own heading and never search;
# naming the row's index in the configuration makes a program use it.
source "$(dirname "$0")/lib/e2e.sh"
e2e_require sim-standin HUB1-Relay NAVCOM1-Relay NAVCOM2-Relay ADF-Relay NAV1-Relay NAV2-Relay XPDR-Relay COMM2-Relay \
  COMM1-Relay

W=$E2E_WORK
ip addr add 10.88.0.20/24 brd + dev lo || e2e_fail "cannot add a third address"

e2e_start_standin

# program|section of IDLE_MS|heading of the interface list
ROWS=(
  "HUB1-Relay|NAV1|No or false interface index found in configuration file!"
  "NAVCOM1-Relay|NAVCOM1|No or false interface index found in configuration file!"
  "NAVCOM2-Relay|NAVCOM2|No or false interface index found in configuration file!"
  "ADF-Relay|ADF|You have to define an interface index in the configuration file!"
  "NAV1-Relay|NAV1|No or false interface index found in configuration file!"
  "NAV2-Relay|NAV2|No or false interface index found in configuration file!"
  "XPDR-Relay|XPDR|You have to define an interface index in the configuration file!"
  "COMM2-Relay|COM2|You have to define an interface index in the configuration file!"
  "COMM1-Relay|COM1|You have to define an interface index in the configuration file!"
)
for row in "${ROWS[@]}"; do
  IFS='|' read -r prog section heading <<<"$row"
  e2e_config "$W/$prog" "[$section]
IDLE_MS=10"
  e2e_start pid "$prog" "$W/$prog" /dev/null "$prog"
done
for row in "${ROWS[@]}"; do
  IFS='|' read -r prog section heading <<<"$row"
  log=$W/$prog.log
  e2e_wait "$log" "$heading" 60
  e2e_wait "$log" "3 interfaces found:" 10
  for address in 127.0.0.1 10.77.0.20 10.88.0.20; do
    e2e_text "$log" | grep -Eq "^Interface Index +[0-9]+ has IP Address $address\$" || e2e_fail "$prog does not list $address"
  done
done
# Give them many tenth passes: they must never search or bind.
sleep_until=$((SECONDS + 2 * E2E_SLOW))
while [ $SECONDS -lt $sleep_until ]; do sleep 0.2; done
for row in "${ROWS[@]}"; do
  prog=${row%%|*}
  grep -q "Bind to Receive Port\|is used" "$W/$prog.log" && e2e_fail "$prog bound a socket without an interface"
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
