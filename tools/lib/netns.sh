# Private network namespace for tests that run the programs. The programs
# broadcast, so they never run on the machine's real interfaces: inside the
# namespace the interface table holds exactly 127.0.0.1 and 10.77.0.20, and the
# directed broadcast 10.77.0.255 is delivered locally.
RELAY_NETNS_ADDRESS=10.77.0.20

# Source this inside the namespace to bring its loopback up.
relay_netns_setup() {
  ip link set lo up
  ip addr add "$RELAY_NETNS_ADDRESS/24" brd + dev lo
}

# relay_in_netns <command> [args...]: runs the command in a new namespace.
relay_in_netns() {
  unshare -rn bash -c 'ip link set lo up && ip addr add 10.77.0.20/24 brd + dev lo && exec "$@"' relay-netns "$@"
}
