# Shared by the measurement scripts that run Relay-Launcher with all nine
# programs: a scratch folder whose cockpit/ holds the launcher and $programs,
# a home folder of its own, and at exit the launcher (Ctrl+C, as a user ends
# it) and every process in $pids ended and the folder gone. Needs $bin
# (relay_bin_folder) and $programs.

# cockpit_begin: sets work, pids and launcher (empty until started).
cockpit_begin() {
  work=$(mktemp -d)
  pids=()
  launcher=
  trap '[ -n "$launcher" ] && kill -INT $launcher 2>/dev/null && wait $launcher; kill ${pids[*]} 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
  mkdir -p "$work/cockpit" "$work/home"
  export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
  local exe
  for exe in Relay-Launcher "${programs[@]}"; do cp "$bin/$exe" "$work/cockpit/"; done
}
