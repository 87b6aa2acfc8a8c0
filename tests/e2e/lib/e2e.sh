# shellcheck shell=bash
# Shared helpers of the end-to-end tests. Source it first thing; it re-runs
# the test inside a private network namespace (the programs broadcast), makes
# a work folder, and stops every process the test started when it ends.
#
# Environment: RELAY_BIN (folder of the executables), RELAY_KIND (native or
# windows: .exe programs run under Wine with a wineserver started inside the
# namespace), RELAY_SRC (source folder), E2E_KEEP=1 keeps the work folder.
# E2E_OWN_WINEPREFIX=1, set before sourcing: see below.
set -u

E2E_SRC=${RELAY_SRC:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}
E2E_BIN=${RELAY_BIN:-$E2E_SRC/build/bin}
# Absolute, since every program starts in a folder of its own.
E2E_BIN=$(cd "$E2E_BIN" 2>/dev/null && pwd) || E2E_BIN=${RELAY_BIN:-$E2E_SRC/build/bin}
E2E_KIND=${RELAY_KIND:-native}
E2E_NAME=$(basename "$0" .sh)

# shellcheck source=../../../tools/lib/netns.sh
source "$E2E_SRC/tools/lib/netns.sh"
relay_enter_netns "$E2E_NAME" "$0" "$@"

E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/relay-$E2E_NAME.XXXXXX")
mkdir -p "$E2E_WORK/home"
E2E_PIDS=()
E2E_LOGS=()
E2E_FAILED=0

# Seconds a started program may live at most.
E2E_LIFETIME=${E2E_LIFETIME:-400}

# Seconds allowed for anything to show up; Wine starts slowly.
if [ "$E2E_KIND" = windows ]; then E2E_SLOW=3; else E2E_SLOW=1; fi

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  for pid in "${E2E_PIDS[@]}"; do
    for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  exec 7>&- 8>&- 9>&- 2>/dev/null
  if [ "$E2E_KIND" = windows ]; then relay_wine_stop; fi
  if [ "$E2E_FAILED" = 0 ] && [ "${E2E_KEEP:-0}" != 1 ]; then rm -rf "$E2E_WORK"; else echo "logs kept in $E2E_WORK"; fi
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

if [ "$E2E_KIND" = windows ]; then
  # A test that installs into Windows' own folders and registry
  # (E2E_OWN_WINEPREFIX=1) gets a prefix made afresh in its work folder,
  # and Wine a home folder there too.
  if [ "${E2E_OWN_WINEPREFIX:-0}" = 1 ]; then
    export RELAY_WINEPREFIX=$E2E_WORK/wineprefix HOME=$E2E_WORK/home
  fi
  # shellcheck source=../../wine/wine-env.sh
  source "$E2E_SRC/tests/wine/wine-env.sh"
  relay_wine_start
fi

# e2e_exe <name>: the command line prefix that runs one of our executables.
e2e_exe() {
  if [ "$E2E_KIND" = windows ]; then
    echo "$RELAY_WINE $E2E_BIN/$1.exe"
  else
    echo "$E2E_BIN/$1"
  fi
}

e2e_require() {
  local name
  for name in "$@"; do
    local file="$E2E_BIN/$name"
    [ "$E2E_KIND" = windows ] && file="$file.exe"
    if [ ! -x "$file" ]; then
      echo "$E2E_NAME: $file is not built"
      E2E_FAILED=1
      exit 1
    fi
  done
}

# e2e_start <var> <log name> <folder> <stdin> <executable> [args...]
# Starts a program in the background in its own working folder; its pid goes
# into the named variable and its output into $E2E_WORK/<log name>.log.
e2e_start() {
  local var=$1 log=$2 dir=$3 input=$4 exe=$5
  shift 5
  mkdir -p "$dir"
  local cmd
  cmd=$(e2e_exe "$exe")
  # Programs look for configuration in the home folder too; keep them to
  # what the test writes.
  # Every child has a limited life: should the test itself be killed (a
  # CTest timeout), nothing it started runs on for long.
  (cd "$dir" && HOME="$E2E_WORK/home" XDG_CONFIG_HOME="$E2E_WORK/home/.config" \
    exec timeout -k 5 "$E2E_LIFETIME" $cmd "$@") <"$input" >"$E2E_WORK/$log.log" 2>&1 &
  # Named apart from every caller's variable: printf -v must not land on a
  # local of this function.
  local _e2e_started=$!
  E2E_PIDS+=("$_e2e_started")
  E2E_LOGS+=("$E2E_WORK/$log.log")
  printf -v "$var" '%s' "$_e2e_started"
}

# e2e_kill_hard <pid>: ends a started program at once, without letting it
# clean up (the started pid is its time limiter; the program is its child).
e2e_kill_hard() {
  local child
  for child in $(ps -o pid= --ppid "$1"); do kill -KILL "$child" 2>/dev/null; done
  kill -KILL "$1" 2>/dev/null
}

# e2e_fifo <path> <fd>: a FIFO held open on the given descriptor, so the
# program reading it never sees the end of its input until the test ends.
e2e_fifo() {
  mkfifo "$1"
  eval "exec $2<>\"$1\""
}

# e2e_start_standin [args...]: starts sim-standin with its commands coming
# from $E2E_WORK/sim.in (held open on descriptor 7), logging to
# $E2E_WORK/sim-standin.log; waits for its listening line. Sets sim_pid.
e2e_start_standin() {
  e2e_fifo "$E2E_WORK/sim.in" 7
  e2e_start sim_pid sim-standin "$E2E_WORK/sim" "$E2E_WORK/sim.in" sim-standin "$@"
  e2e_wait "$E2E_WORK/sim-standin.log" "listening:" 30
}

# e2e_start_panel <fd> <name> [virtual-panel args...]: starts a virtual panel
# with its commands coming from $E2E_WORK/<name>.in (held open on the given
# descriptor), logging to $E2E_WORK/<name>.log.
e2e_start_panel() {
  local fd=$1 name=$2
  shift 2
  e2e_fifo "$E2E_WORK/$name.in" "$fd"
  e2e_start _e2e_panel_pid "$name" "$E2E_WORK/$name" "$E2E_WORK/$name.in" virtual-panel "$@"
}

# e2e_expect_dropped <panel log> <fd> <message> <code>...: with the panel
# blanked, sends the codes on the panel's descriptor and fails the test with
# the message if the stand-in receives any event in the next five frames.
e2e_expect_dropped() {
  local log=$1 fd=$2 message=$3
  shift 3
  local sim=$E2E_WORK/sim-standin.log before offs code
  before=$(e2e_count "$sim" "event: client")
  offs=$(e2e_count "$log" "recv B>OFF")
  for code in "$@"; do echo "send $code" >&"$fd"; done
  e2e_wait "$log" "recv B>OFF" 20 $((offs + 5))
  [ "$(e2e_count "$sim" "event: client")" = "$before" ] || e2e_fail "$message"
}

# e2e_start_relay <program> <section> [lines...]: starts a relay program in
# its own folder, $E2E_WORK/<program>, whose configuration gives the section
# IDLE_MS=10 and the given lines; logging to $E2E_WORK/<program>.log.
e2e_start_relay() {
  local program=$1 section=$2
  shift 2
  e2e_config "$E2E_WORK/$program" "$(printf '%s\n' "[$section]" "IDLE_MS=10" "$@")"
  e2e_start _e2e_relay_pid "$program" "$E2E_WORK/$program" /dev/null "$program"
}

e2e_fail() {
  E2E_FAILED=1
  echo "FAIL $E2E_NAME: $*"
  local log
  for log in "${E2E_LOGS[@]}"; do
    echo "----- $(basename "$log") (last 40 lines)"
    tail -n 40 "$log" | cat -v
  done
  exit 1
}

e2e_pass() { echo "ok $E2E_NAME: $*"; }

# e2e_count <log> <fixed text>: lines holding the text (0 while the log does
# not exist yet, so that a wait started early keeps waiting).
e2e_count() {
  local n
  n=$(grep -cF -- "$2" "$1" 2>/dev/null)
  echo "${n:-0}"
}

# e2e_wait <log> <fixed text> <seconds> [count]: polls until the log holds
# the text on at least count lines; fails the test on timeout.
e2e_wait() {
  local log=$1 text=$2 limit=$(( $3 * E2E_SLOW )) want=${4:-1}
  local end=$(( SECONDS + limit ))
  while [ "$(e2e_count "$log" "$text")" -lt "$want" ]; do
    if [ $SECONDS -ge $end ]; then
      e2e_fail "waited ${limit}s for $want line(s) with '$text' in $(basename "$log")"
    fi
    sleep 0.1
  done
}

# e2e_wait_exit <pid> <seconds>: waits for a process to end and leaves its
# exit code in E2E_RC; fails the test on timeout.
E2E_RC=
e2e_wait_exit() {
  local pid=$1 limit=$(( $2 * E2E_SLOW ))
  local end=$(( SECONDS + limit ))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -ge $end ] && e2e_fail "process $pid still running after ${limit}s"
    sleep 0.1
  done
  E2E_RC=0
  wait "$pid" || E2E_RC=$?
}

# e2e_text <log>: the log without carriage returns (Windows programs end
# their lines with CR LF).
e2e_text() { tr -d '\r' <"$1"; }

# e2e_lines_after <log> <fixed text>: the log from the first line holding
# the text on.
e2e_lines_after() { awk -v t="$2" 'f || index($0, t) { f = 1; print }' "$1"; }

# e2e_config <folder> <ini text>: writes the programs' configuration file.
e2e_config() {
  mkdir -p "$1"
  printf '%s\n' "$2" >"$1/Avionics-Panel.cfg"
}
