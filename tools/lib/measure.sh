# Shared by the measurement scripts that run COMM1-Relay against the
# stand-in and a probe panel: a scratch folder and the processes they start,
# both gone at exit. Needs $bin (relay_bin_folder).

# measure_begin: sets work to a new scratch folder.
measure_begin() {
  work=$(mktemp -d)
  measure_pids=()
  trap 'measure_stop_all; rm -rf "$work"' EXIT
}

# measure_stop_all: ends every process started since the last call.
measure_stop_all() {
  local pid
  for pid in "${measure_pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  measure_pids=()
}

# measure_start_standin <input> <output>: the stand-in at 30 frames a second.
measure_start_standin() {
  "$bin/sim-standin" --tcp-port 0 --rate 30 <"$1" >"$2" 2>&1 &
  measure_pids+=($!)
}

# measure_start_relay <folder> <configuration text>: COMM1-Relay in the
# folder, with that Avionics-Panel.cfg, its console in <folder>/relay.log.
measure_start_relay() {
  local dir=$1
  mkdir -p "$dir/home"
  printf '%s\n' "$2" >"$dir/Avionics-Panel.cfg"
  # The user's own configuration folders stay out of it.
  (cd "$dir" && HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" exec "$bin/COMM1-Relay") >"$dir/relay.log" 2>&1 &
  measure_pids+=($!)
}
