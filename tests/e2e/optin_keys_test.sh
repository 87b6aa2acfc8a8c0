#!/usr/bin/env bash
# Both opt-in keys on all nine programs at once, each with its own virtual
# panel: KEEP_FRAME_RATE from the program's own section (HUB1-Relay: [HUB1])
# keeps the frames coming with no one-frame request; STAY_RUNNING from [NET]
# carries every program over a simulator restart to its panel again. Ctrl+C
# then ends each one cleanly.
source "$(dirname "$0")/lib/e2e.sh"

# program, virtual panel, own section, section of IDLE_MS
PROGRAMS=(
  "HUB1-Relay|hub1|HUB1|NAV1"
  "NAVCOM1-Relay|navcom1|NAVCOM1|NAVCOM1"
  "NAVCOM2-Relay|navcom2|NAVCOM2|NAVCOM2"
  "ADF-Relay|adf|ADF|ADF"
  "NAV1-Relay|nav1|NAV1|NAV1"
  "NAV2-Relay|nav2|NAV2|NAV2"
  "XPDR-Relay|xpdr|XPDR|XPDR"
  "COMM2-Relay|comm2|COM2|COM2"
  "COMM1-Relay|comm1|COM1|COM1"
)
names=()
for row in "${PROGRAMS[@]}"; do names+=("${row%%|*}"); done
e2e_require sim-standin virtual-panel "${names[@]}"

W=$E2E_WORK
FRAME_RATE="request 1 definition 0 object 0 period VISUAL_FRAME"
ONE_FRAME="request 1 definition 0 object 0 period ONCE"

# frames_per_client <log>: "client count" for every client's panel-data frames.
frames_per_client() {
  awk '/^frame: client [0-9]+ request 1 / { n[$3]++ } END { for (c in n) print c, n[c] }' "$1"
}

# wait_frames <log> <frames>: until nine clients have had that many frames.
wait_frames() {
  local log=$1 want=$2 end=$((SECONDS + 30 * E2E_SLOW))
  until [ "$(frames_per_client "$log" | awk -v w="$want" '$2 >= w' | wc -l)" -ge 9 ]; do
    [ $SECONDS -ge $end ] && e2e_fail "not every program got $want frames: $(frames_per_client "$log" | tr '\n' ' ')"
    sleep 0.2
  done
}

start_standin() {
  e2e_fifo "$W/sim-$1.in" 7
  e2e_start sim_pid "sim-$1" "$W/sim-$1" "$W/sim-$1.in" sim-standin -vv
  e2e_wait "$W/sim-$1.log" "listening:" 30
}

start_standin 1
relay_pids=()
for row in "${PROGRAMS[@]}"; do
  IFS='|' read -r name panel section idle_section <<<"$row"
  e2e_start pid "panel-$panel" "$W/panel-$panel" /dev/null virtual-panel --panel "$panel"
  if [ "$section" = "$idle_section" ]; then
    keys="[$section]
IDLE_MS=10
KEEP_FRAME_RATE=1"
  else
    keys="[$idle_section]
IDLE_MS=10
[$section]
KEEP_FRAME_RATE=1"
  fi
  e2e_config "$W/$name" "$keys
[NET]
STAY_RUNNING=1"
  e2e_start pid "$name" "$W/$name" /dev/null "$name"
  relay_pids+=("$pid")
done

for name in "${names[@]}"; do
  e2e_wait "$W/$name.log" "connected from 10.77.0.20" 60
  for report in "Keep Frame Rate redefined: 1" "Stay Running redefined: 1"; do
    [ "$(e2e_count "$W/$name.log" "$report")" = 1 ] || e2e_fail "$name does not report '$report' once"
  done
done
e2e_pass "all nine report both keys and find their panels"

e2e_wait "$W/sim-1.log" "$FRAME_RATE" 20 9
# 60 frames at 30 a second span some 17 tenth passes of each program.
wait_frames "$W/sim-1.log" 60
[ "$(e2e_count "$W/sim-1.log" "$ONE_FRAME")" = 0 ] || e2e_fail "a program asked for one frame while connected"
e2e_pass "every program keeps its frame-rate request while its panel is connected"

echo quit >&7
for name in "${names[@]}"; do
  e2e_wait "$W/$name.log" "Session ended. Searching Connection to Flight Simulator again -" 30
done
e2e_wait_exit "$sim_pid" 30
exec 7>&-
start_standin 2
for name in "${names[@]}"; do
  e2e_wait "$W/$name.log" "connected from 10.77.0.20" 60 2
  [ "$(e2e_count "$W/$name.log" "Keep Frame Rate redefined: 1")" = 2 ] || e2e_fail "$name did not read its file again"
done
wait_frames "$W/sim-2.log" 30
[ "$(e2e_count "$W/sim-2.log" "$ONE_FRAME")" = 0 ] || e2e_fail "a program asked for one frame in the second session"
e2e_pass "after a simulator restart all nine find the simulator and their panels again"

# Ctrl+C: each program's own process gets SIGINT.
for pid in "${relay_pids[@]}"; do
  for child in $(ps -o pid= --ppid "$pid"); do kill -INT "$child"; done
done
i=0
for name in "${names[@]}"; do
  e2e_wait "$W/$name.log" "Stopped by the user." 30
  e2e_wait_exit "${relay_pids[$i]}" 30
  [ "$E2E_RC" = 0 ] || e2e_fail "$name ended with $E2E_RC after Ctrl+C"
  i=$((i + 1))
done
e2e_pass "Ctrl+C ends every program cleanly, in session, with exit code 0"
