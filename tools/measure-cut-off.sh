#!/usr/bin/env bash
# Measures how the programs come back when panels are cut off for a few
# seconds: Relay-Launcher runs all nine programs against sim-standin and nine
# virtual panels in a private network namespace; each round, after a random
# pause, a traffic-control filter drops every datagram to and from the chosen
# panels' ports for the cut's length. For each panel it gives the longest time
# without a display line in the 30 s after the cut ends and when that began,
# and at the end every offline line of the programs. A panel with no line at
# all in those 30 s shows 30 s from 0.
# RELAY_STRAY=N: instead of the cut, each round sends N datagrams of 1 to 40
# random bytes from another address (127.0.0.1) to each chosen program's
# port, as a port scanner or a misconfigured device would.
# Usage: measure-cut-off.sh [bin-folder] [rounds] [cut-seconds] [config-file] [panel ...]
#   panels: comm1 comm2 nav1 nav2 navcom1 navcom2 adf xpdr hub1 (default hub1 nav1 comm1)
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/lib/bin_folder.sh"
source "$root/tools/lib/netns.sh"
source "$root/tools/lib/cockpit.sh"
programs=(HUB1-Relay NAVCOM1-Relay NAVCOM2-Relay ADF-Relay NAV1-Relay NAV2-Relay XPDR-Relay COMM2-Relay COMM1-Relay)
relay_bin_folder measure-cut-off "${1:-$root/build/bin}" Relay-Launcher sim-standin virtual-panel "${programs[@]}"
rounds=${2:-6}
cut=${3:-5}
stray=${RELAY_STRAY:-0}
config=${4:-}
[ -z "$config" ] || config=$(cd "$(dirname "$config")" && pwd)/$(basename "$config")
shift $(($# < 4 ? $# : 4))
chosen=("$@")
[ ${#chosen[@]} -gt 0 ] || chosen=(hub1 nav1 comm1)
relay_enter_netns measure-cut-off "$0" "$bin" "$rounds" "$cut" "$config" "${chosen[@]}"

# Where each virtual panel listens: its program's default port + 1.
declare -A port=([comm1]=4771 [nav1]=4773 [comm2]=4775 [nav2]=4777 [adf]=4779 [xpdr]=4781 [hub1]=4783
                 [navcom1]=4787 [navcom2]=4789)
for p in "${chosen[@]}"; do [ -n "${port[$p]:-}" ] || { echo "measure-cut-off: no panel $p"; exit 2; }; done

cockpit_begin
[ -z "$config" ] || cp "$config" "$work/cockpit/Avionics-Panel.cfg"
cd "$work" || exit 1
"$bin/sim-standin" --tcp-port 0 </dev/null >standin.log 2>&1 &
pids+=($!)
for p in "${!port[@]}"; do
  "$bin/virtual-panel" --panel "$p" --script </dev/null >"$p.log" 2>&1 &
  pids+=($!)
done
sleep 1  # every panel listening
"$work/cockpit/Relay-Launcher" </dev/null >launcher.log 2>&1 &
launcher=$!

now_ms() { echo $(($(date +%s%N) / 1000000)); }
lines() { local n; n=$(grep -c '^recv B>' "$1.log" 2>/dev/null); echo "${n:-0}"; }
end=$((SECONDS + 60))
until [ "$(grep -c 'connected from' launcher.log)" -ge 9 ]; do
  [ $SECONDS -ge $end ] && { echo "measure-cut-off: not every program found its panel"; tail -n 20 launcher.log; exit 1; }
  sleep 0.1
done

# Datagrams to or from the chosen ports go to a queue that holds none.
cut_on() {
  local p prio=1
  tc qdisc add dev lo root handle 1: htb default 10 r2q 1000 2>/dev/null
  tc class add dev lo parent 1: classid 1:10 htb rate 10gbit 2>/dev/null
  tc class add dev lo parent 1: classid 1:20 htb rate 1mbit 2>/dev/null
  tc qdisc add dev lo parent 1:20 handle 20: pfifo limit 0
  for p in "${chosen[@]}"; do
    tc filter add dev lo parent 1: protocol ip prio $((prio++)) u32 match ip dport "${port[$p]}" 0xffff flowid 1:20
    tc filter add dev lo parent 1: protocol ip prio $((prio++)) u32 match ip sport "${port[$p]}" 0xffff flowid 1:20
  done
}

# N random datagrams from 127.0.0.1 to each chosen program's port (its
# panel's port - 1) on the namespace's address.
stray_burst() {
  local p ports=()
  for p in "${chosen[@]}"; do ports+=($((port[$p] - 1))); done
  perl -MSocket -e '
    my ($n, $to, @ports) = @ARGV;
    my $s;
    socket($s, PF_INET, SOCK_DGRAM, 0) or die "$!\n";
    bind($s, pack_sockaddr_in(0, inet_aton("127.0.0.1"))) or die "$!\n";
    for my $p (@ports) {
      send($s, join("", map { chr int rand 256 } 0 .. int rand 40), 0, pack_sockaddr_in($p, inet_aton($to)))
        for 1 .. $n;
    }' "$stray" "$RELAY_NETNS_ADDRESS" "${ports[@]}"
}

if [ "$stray" -gt 0 ]; then
  echo "$stray stray datagrams to each port, ${rounds} rounds; per panel the longest time without a display line in the 30 s after them"
else
  echo "cut ${cut} s, ${rounds} rounds; per panel the longest time without a display line in the 30 s after the cut"
fi
for round in $(seq 1 "$rounds"); do
  sleep $((3 + RANDOM % 20))  # a new phase against the identity checks
  if [ "$stray" -gt 0 ]; then
    stray_burst || { echo "measure-cut-off: cannot send the stray datagrams"; exit 1; }
  else
    cut_on || { echo "measure-cut-off: tc cannot filter here"; exit 1; }
    sleep "$cut"
    tc qdisc del dev lo root
  fi
  t0=$(now_ms)
  declare -A seen=() last=() gap=() at=()
  for p in "${chosen[@]}"; do seen[$p]=$(lines "$p"); last[$p]=$t0; gap[$p]=0; at[$p]=0; done
  while [ $(($(now_ms) - t0)) -lt 30000 ]; do
    sleep 0.05
    t=$(now_ms)
    for p in "${chosen[@]}"; do
      n=$(lines "$p")
      [ "$n" = "${seen[$p]}" ] && continue
      if [ $((t - last[$p])) -gt "${gap[$p]}" ]; then gap[$p]=$((t - last[$p])); at[$p]=$((last[$p] - t0)); fi
      last[$p]=$t
      seen[$p]=$n
    done
  done
  row="round $round:"
  for p in "${chosen[@]}"; do
    # The time since the last line counts too: a display that stays frozen.
    if [ $((t - last[$p])) -gt "${gap[$p]}" ]; then gap[$p]=$((t - last[$p])); at[$p]=$((last[$p] - t0)); fi
    row="$row  $p $(printf '%.2f s from %.1f s' "$((gap[$p]))e-3" "$((at[$p]))e-3");"
  done
  echo "$row"
done
grep -E ' offline$' launcher.log | sed 's/^/  /'
