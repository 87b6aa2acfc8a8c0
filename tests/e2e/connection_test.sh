#!/usr/bin/env bash
# Each of the nine programs prints its banner, connects to the simulator
# stand-in over the local pipe with no configuration at all, and over TCP
# with a SimConnect.cfg in its working folder; the stand-in's quit message
# ends every program with exit code 0.
source "$(dirname "$0")/lib/e2e.sh"

# program, version, connection line (as the programs print them)
PROGRAMS=(
  "HUB1-Relay|1.2.1.0|NAV1-Client Connected to Flight Simulator!"
  "NAVCOM1-Relay|2.0.0.0|NAVCOM11-Client Connected to Flight Simulator!"
  "NAVCOM2-Relay|2.0.0.0|NAVCOM2-Client Connected to Flight Simulator!"
  "ADF-Relay|1.1.2.0|ADF-Client Connected to Flight Simulator!"
  "NAV1-Relay|2.0.0.1|NAV1-Client Connected to Flight Simulator!"
  "NAV2-Relay|2.0.0.0|NAV2-Client Connected to Flight Simulator!"
  "XPDR-Relay|2.0.1.0|XPDR-Client Connected to Flight Simulator!"
  "COMM2-Relay|2.0.0.0|COM2-Client Connected to Flight Simulator!"
  "COMM1-Relay|2.0.0.0|COM1-Client Connected to Flight Simulator!"
)
names=()
for row in "${PROGRAMS[@]}"; do names+=("${row%%|*}"); done
e2e_require sim-standin "${names[@]}"

W=$E2E_WORK

# run_round <round> <stand-in options...>: starts the stand-in and the nine
# programs, checks banners and connection lines, then quits the stand-in and
# checks that every program ends with 0.
run_round() {
  local round=$1
  shift
  local sim_log=$W/$round-sim-standin.log
  e2e_fifo "$W/$round-sim.in" 7
  e2e_start sim_pid "$round-sim-standin" "$W/$round-sim" "$W/$round-sim.in" sim-standin -v "$@"
  e2e_wait "$sim_log" "listening:" 30
  if [ "$round" = tcp ]; then
    local port
    port=$(sed -n 's/.*tcp 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$sim_log" | head -n 1)
    [ -n "$port" ] || e2e_fail "no TCP port in the stand-in's listening line"
  fi
  local pids=() row name version line dir pid
  for row in "${PROGRAMS[@]}"; do
    IFS='|' read -r name version line <<<"$row"
    dir=$W/$round/$name
    mkdir -p "$dir"
    if [ "$round" = tcp ]; then
      printf '[SimConnect]\nProtocol=IPv4\nAddress=127.0.0.1\nPort=%s\n' "$port" >"$dir/SimConnect.cfg"
    fi
    e2e_start pid "$round-$name" "$dir" /dev/null "$name"
    pids+=("$pid")
  done
  for row in "${PROGRAMS[@]}"; do
    IFS='|' read -r name version line <<<"$row"
    local log=$W/$round-$name.log
    e2e_wait "$log" "$name for MSFS2020 by Tarnel, Version $version" 30
    e2e_wait "$log" "Searching Connection to Flight Simulator -" 10
    e2e_wait "$log" "$line" 60
    # No configuration file anywhere: the defaults are used. Five programs
    # put an empty line before the message, the other four do not.
    e2e_wait "$log" "Configuration file Avionics-Panel.cfg not found! Default values are used!" 30
    local before
    before=$(e2e_text "$log" | awk '/^Configuration file Avionics-Panel.cfg not found!/ { print prev; exit } { prev = $0 }')
    case $name in
      HUB1-Relay | NAVCOM1-Relay | NAVCOM2-Relay | NAV1-Relay | NAV2-Relay)
        [ -z "$before" ] || e2e_fail "$name: no empty line before the not-found message" ;;
      *) [ -n "$before" ] || e2e_fail "$name: an empty line before the not-found message" ;;
    esac
  done
  local transport=pipe
  [ "$round" = tcp ] && transport="tcp"
  e2e_wait "$sim_log" "over $transport" 30 9
  [ "$(e2e_count "$sim_log" "connect: client")" = 9 ] || e2e_fail "$round: not every connection went over $transport"
  e2e_pass "$round: all nine programs print their banner and connection line"

  echo quit >&7
  local i=0
  for row in "${PROGRAMS[@]}"; do
    name=${row%%|*}
    e2e_wait_exit "${pids[$i]}" 30
    [ "$E2E_RC" = 0 ] || e2e_fail "$round: $name ended with $E2E_RC after the quit message"
    i=$((i + 1))
  done
  e2e_wait_exit "$sim_pid" 30
  exec 7>&-
  e2e_pass "$round: the quit message ends every program with exit code 0"
}

run_round pipe --no-tcp --no-tcp6
run_round tcp --no-pipe --no-tcp6 --tcp-port 0

# After the quit each program turned its spinner once more and made one
# more connection attempt: one glyph after the connection line.
for row in "${PROGRAMS[@]}"; do
  IFS='|' read -r name version line <<<"$row"
  glyphs=$(e2e_lines_after "$W/tcp-$name.log" "$line" | tr -cd '\b' | wc -c)
  [ "$glyphs" = 1 ] || e2e_fail "$name printed $glyphs spinner glyphs after its session, expected 1"
done
e2e_pass "one more connection attempt after the quit message"
