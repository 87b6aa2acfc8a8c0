# relay_process_usage <pid> <seconds> <what>: watches a running process for
# that long and prints "<what>: CPU x % of one core over s s; resident y MiB
# (peak z MiB)", from its CPU ticks and sizes in /proc.
relay_process_usage() {
  local pid=$1 seconds=$2 what=$3 hz t0 t1 s0 s1 rss hwm
  hz=$(getconf CLK_TCK)
  t0=$(awk '{print $14 + $15}' "/proc/$pid/stat"); s0=$(date +%s.%N)
  sleep "$seconds"
  t1=$(awk '{print $14 + $15}' "/proc/$pid/stat"); s1=$(date +%s.%N)
  rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
  hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  awk -v what="$what" -v t=$((t1 - t0)) -v hz="$hz" -v a="$s0" -v b="$s1" -v rss="$rss" -v hwm="$hwm" 'BEGIN {
    printf "%s: CPU %.3f %% of one core over %.1f s; resident %.2f MiB (peak %.2f MiB)\n",
           what, 100 * t / hz / (b - a), b - a, rss / 1024, hwm / 1024 }'
}
