# Private network namespace for everything that runs the programs: tests,
# demo, measurements, soak. The programs broadcast, so they never run on the
# machine's real interfaces: inside the namespace the interface table holds
# exactly 127.0.0.1 and 10.77.0.20, and the directed broadcast 10.77.0.255 is
# delivered locally.
RELAY_NETNS_ADDRESS=10.77.0.20

# Inside a new namespace: brings its loopback up with the address.
relay_netns_setup() {
  ip link set lo up && ip addr add "$RELAY_NETNS_ADDRESS/24" brd + dev lo
}

# relay_enter_netns <name> <script> [args...]: called near the top of a
# script. The first time it runs the script again in a new namespace, with
# the given arguments, and does not return; in there it sets the namespace
# up and returns. A script started from inside gets a namespace of its own.
# <name> leads the console line of a failure.
relay_enter_netns() {
  local name=$1
  shift
  if [ -z "${RELAY_IN_NETNS:-}" ]; then
    if ! unshare -rn true 2>/dev/null; then
      echo "$name: cannot make a private network namespace (unshare -rn); unprivileged user namespaces must be enabled"
      exit 2
    fi
    RELAY_IN_NETNS=1 exec unshare -rn bash "$@"
  fi
  unset RELAY_IN_NETNS
  relay_netns_setup || { echo "$name: namespace set-up failed"; exit 2; }
}
