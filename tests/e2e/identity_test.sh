#!/usr/bin/env bash
# Panel discovery in all nine programs at once, each with its own virtual
# panel: a foreign identity gets the program's rejection message, each
# identity variant its own connection message, and a panel that falls
# silent the program's offline message.
source "$(dirname "$0")/lib/e2e.sh"

# program|panel|section|rejection|variant-1 identity|message|variant-2 identity|message|offline message
ROWS=(
  "HUB1-Relay|hub1|NAV1|False Panel detected|VRAN-HUB1_1.0|Panel connected from|||HUB1-Panel offline"
  "NAVCOM1-Relay|navcom1|NAVCOM1|False Panel detected|NAVCOM1_1.0|NAVCOM1 Simple Encoder connected from|NAVCOM1_2.0|NAVCOM1 Dual Encoder connected from|NAVCOM1 Panel offline"
  "NAVCOM2-Relay|navcom2|NAVCOM2|False Panel detected|NAVCOM2_1.0|NAVCOM2 Simple Encoder connected from|NAVCOM2_2.0|NAVCOM2 Dual Encoder connected from|NAVCOM2 Panel offline"
  "ADF-Relay|adf|ADF|false Panel detected|VRAN-ADF_1.0|ADF Panel connected from|VRAN-ADF_2.0|ADF Dual Encoder connected from|ADF-Panel offline"
  "NAV1-Relay|nav1|NAV1|False Panel detected|VRAN-NAV1_1.0|Panel Version1 connected from|VRAN-NAV1_2.0|Panel Version2 connected from|NAV1-Panel offline"
  "NAV2-Relay|nav2|NAV2|False Panel detected|VRAN-NAV2_1.0|NAV2 Panel connected from|VRAN-NAV2_2.0|NAV2 Dual Encoder connected from|NAV2 Panel offline"
  "XPDR-Relay|xpdr|XPDR|false Panel detected|VRAN-XPDR_1.0|XPDR Panel connected from|VRAN-XPDR_2.0|XPDR Dual Encoder connected from|XPDR-Panel offline"
  "COMM2-Relay|comm2|COM2|false Panel detected|VRAN-COM2_1.0|COM2 Panel connected from|VRAN-COM2_2.0|COM2 Dual Encoder connected from|COM2 Panel offline"
  "COMM1-Relay|comm1|COM1|false Panel detected|VRAN-COM1_1.0|Panel connected from|VRAN-COM1_2.0|COM1 Dual Encoder connected from|COM1 Panel offline"
)
names=()
for row in "${ROWS[@]}"; do names+=("${row%%|*}"); done
e2e_require sim-standin virtual-panel "${names[@]}"

W=$E2E_WORK
ROUND_PIDS=()

# start_round <round> <variant> [panel options]: the stand-in, then one panel
# and one program per row. Panel r's commands go through descriptor 10 + r.
start_round() {
  local round=$1 variant=$2
  shift 2
  e2e_fifo "$W/$round-sim.in" 7
  e2e_start sim_pid "$round-sim-standin" "$W/$round-sim" "$W/$round-sim.in" sim-standin
  e2e_wait "$W/$round-sim-standin.log" "listening:" 30
  ROUND_PIDS=()
  local row name panel section fd=10 pid v
  for row in "${ROWS[@]}"; do
    IFS='|' read -r name panel section _ <<<"$row"
    e2e_fifo "$W/$round-$panel.in" $fd
    v=$variant
    [ "$panel" = hub1 ] && v=1
    e2e_start pid "$round-panel-$panel" "$W/$round-p-$panel" "$W/$round-$panel.in" virtual-panel \
      --panel "$panel" --variant "$v" "$@"
    ROUND_PIDS+=("$pid")
    e2e_config "$W/$round-$name" "[$section]
IDLE_MS=10"
    e2e_start pid "$round-$name" "$W/$round-$name" /dev/null "$name"
    ROUND_PIDS+=("$pid")
    fd=$((fd + 1))
  done
}

# end_round: the stand-in's quit ends the programs; the panels are stopped.
end_round() {
  echo quit >&7
  local pid
  for pid in "${ROUND_PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  for pid in "${ROUND_PIDS[@]}" "$sim_pid"; do e2e_wait_exit "$pid" 30; done
  exec 7>&-
}

start_round one 1 --identity NOT-A-PANEL
for row in "${ROWS[@]}"; do
  IFS='|' read -r name panel section reject _ <<<"$row"
  e2e_wait "$W/one-$name.log" "$reject NOT-A-PANEL" 60
done
e2e_pass "every program refuses a foreign identity with its own message"

fd=10
for row in "${ROWS[@]}"; do
  IFS='|' read -r name panel section reject id1 _ <<<"$row"
  echo "identity $id1" >&$fd
  fd=$((fd + 1))
done
for row in "${ROWS[@]}"; do
  IFS='|' read -r name panel section reject id1 msg1 _ <<<"$row"
  e2e_wait "$W/one-$name.log" "$msg1 10.77.0.20" 60
done
e2e_pass "variant-1 identities give every program's variant-1 message"

fd=10
for row in "${ROWS[@]}"; do
  echo "silent on" >&$fd
  fd=$((fd + 1))
done
for row in "${ROWS[@]}"; do
  IFS='|' read -r name panel section reject id1 msg1 id2 msg2 offline <<<"$row"
  e2e_wait "$W/one-$name.log" "$offline" 120
done
e2e_pass "a silent panel gets every program's offline message"
end_round

start_round two 2
for row in "${ROWS[@]}"; do
  IFS='|' read -r name panel section reject id1 msg1 id2 msg2 offline <<<"$row"
  [ -n "$id2" ] || continue
  e2e_wait "$W/two-$name.log" "$msg2 10.77.0.20" 60
  grep -qF "$msg1 " "$W/two-$name.log" && e2e_fail "$name took a variant-2 panel for variant 1"
done
e2e_pass "variant-2 identities give every program's variant-2 message"
end_round
