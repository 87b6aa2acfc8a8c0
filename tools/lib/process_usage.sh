# relay_process_usage <pid> <seconds> <what>: watches a running process for
# that long and prints "<what>: CPU x % of one core over s s; resident y MiB
# (peak z MiB)", from the run time the scheduler counts for each of its
# threads (nanoseconds; clock ticks are too coarse for a program that wakes
# for a few microseconds at a time) and its sizes in /proc.
relay_process_usage() {
  local pid=$1 seconds=$2 what=$3 t0 t1 s0 s1 rss hwm
  t0=$(relay_process_run_ns "$pid"); s0=$(date +%s.%N)
  sleep "$seconds"
  t1=$(relay_process_run_ns "$pid"); s1=$(date +%s.%N)
  rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
  hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  awk -v what="$what" -v t0="$t0" -v t1="$t1" -v a="$s0" -v b="$s1" -v rss="$rss" -v hwm="$hwm" 'BEGIN {
    printf "%s: CPU %.3f %% of one core over %.1f s; resident %.2f MiB (peak %.2f MiB)\n",
           what, 100 * (t1 - t0) / 1e9 / (b - a), b - a, rss / 1024, hwm / 1024 }'
}

# relay_process_run_ns <pid>: nanoseconds the process's live threads have run.
relay_process_run_ns() {
  cat "/proc/$1"/task/*/schedstat 2>/dev/null | awk '{ns += $1} END {printf "%.0f\n", ns}'
}
