# Shared by the measurement scripts that run a relay program against the
# stand-in and a probe panel: a scratch folder and the processes they start,
# both gone at exit. Needs $bin (relay_bin_folder), the folder of the
# stand-in and the probes; the relay programs come from $programs (default
# $bin), natively or, when that folder holds the Windows build, under Wine.

# measure_begin: sets work to a new scratch folder; with the Windows build,
# starts a wineserver of the measurement's own (in its namespace) for the
# prefix RELAY_WINEPREFIX.
measure_begin() {
  work=$(mktemp -d)
  measure_pids=()
  programs=${programs:-$bin}
  measure_wine=0
  if [ -x "$programs/COMM1-Relay.exe" ] && [ ! -x "$programs/COMM1-Relay" ]; then
    measure_wine=1
    source "$root/tests/wine/wine-env.sh"
    relay_wine_start
  fi
  trap 'measure_stop_all; [ "$measure_wine" = 1 ] && relay_wine_stop; rm -rf "$work"' EXIT
}

# measure_stop_all: ends every process started since the last call.
measure_stop_all() {
  local pid
  for pid in "${measure_pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  measure_pids=()
}

# The stand-in's TCP port, for programs under Wine (the stand-in's pipe is a
# Unix socket they cannot reach). The namespace is the measurement's own.
measure_standin_port=500

# measure_start_standin <input> <output>: the stand-in at 30 frames a second.
measure_start_standin() {
  "$bin/sim-standin" --tcp-port "$measure_standin_port" --rate 30 <"$1" >"$2" 2>&1 &
  measure_pids+=($!)
}

# measure_start_relay <folder> <configuration text> [program]: the relay
# program (COMM1-Relay by default) in the folder, with that
# Avionics-Panel.cfg, its console in <folder>/relay.log.
measure_start_relay() {
  local dir=$1 program=${3:-COMM1-Relay} run
  mkdir -p "$dir/home"
  printf '%s\n' "$2" >"$dir/Avionics-Panel.cfg"
  run=("$programs/$program")
  if [ "$measure_wine" = 1 ]; then
    run=("$RELAY_WINE" "$programs/$program.exe")
    printf '[SimConnect]\nProtocol=IPv4\nAddress=127.0.0.1\nPort=%s\n' "$measure_standin_port" >"$dir/SimConnect.cfg"
  fi
  # The user's own configuration folders stay out of it.
  (cd "$dir" && HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" exec "${run[@]}") >"$dir/relay.log" 2>&1 &
  measure_pids+=($!)
}
