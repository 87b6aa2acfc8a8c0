# Wine settings shared by every Windows test. The prefix belongs to the tests
# alone; its wineserver is only ever started inside a test's own network
# namespace (the server makes the sockets, so one started elsewhere would send
# the program's packets out of the namespace).
export WINEDEBUG=-all
export WINEPREFIX="${RELAY_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/relay-wine-prefix}"
# No .NET or browser engine to fetch; no menu entries or file types written
# into the machine's own desktop for what a test installs.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
RELAY_WINE=/usr/lib/wine/wine64
RELAY_WINESERVER=/usr/lib/wine/wineserver

# Stops any server of the prefix, wherever it was started, and waits for it.
relay_wine_stop() {
  "$RELAY_WINESERVER" -k >/dev/null 2>&1 || true
  "$RELAY_WINESERVER" -w >/dev/null 2>&1 || true
}

# Starts a fresh server for the prefix in the current namespace; the prefix is
# made on first use (about 10 s).
relay_wine_start() {
  relay_wine_stop
  mkdir -p "$WINEPREFIX"
  "$RELAY_WINESERVER" -p10 >/dev/null 2>&1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$RELAY_WINE" wineboot --init >/dev/null 2>&1 || true
  fi
}
