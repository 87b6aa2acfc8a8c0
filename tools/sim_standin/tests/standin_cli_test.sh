#!/usr/bin/env bash
# sim-standin as a program: it prints where it listens (port 500 by default),
# keeps running when standard input ends, answers on the control port, and on
# SIGTERM (or "quit" under Wine) sends a connected client the quit message and
# exits 0. Runs in a private network namespace.
set -u
if [ -z "${STANDIN_IN_NETNS:-}" ]; then
  export STANDIN_IN_NETNS=1
  exec unshare -rn bash -c 'ip link set lo up && exec bash "$0"' "$0"
fi

fail() { echo "FAIL: $*"; cat "$log" 2>/dev/null; exit 1; }
work=$(mktemp -d)
log=$work/standin.log
trap 'rm -rf "$work"; [ "$RELAY_KIND" = windows ] && relay_wine_stop' EXIT

if [ "$RELAY_KIND" = windows ]; then
  source "$RELAY_SRC/tests/wine/wine-env.sh"
  relay_wine_start
  "$RELAY_WINE" "$RELAY_BIN/sim-standin.exe" --control-port 0 --no-tcp6 </dev/null >"$log" 2>&1 &
else
  "$RELAY_BIN/sim-standin" --control-port 0 --no-tcp6 </dev/null >"$log" 2>&1 &
fi
pid=$!

for _ in $(seq 300); do grep -q "listening:" "$log" && break; sleep 0.1; done
grep -q "tcp 127.0.0.1:500," "$log" || fail "no default port 500 in the listening line"
cport=$(sed -n 's/.*control 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log")
[ -n "$cport" ] || fail "no control port"
sleep 1
kill -0 "$pid" 2>/dev/null || fail "ended when standard input ended"

exec 4<>"/dev/tcp/127.0.0.1/$cport"
echo "get TRANSPONDER CODE:1" >&4
IFS= read -r -t 20 reply <&4 || fail "no reply on the control port"
[ "$reply" = "TRANSPONDER CODE:1 = 1200" ] || fail "control reply: $reply"

# A client opens over TCP.
exec 3<>/dev/tcp/127.0.0.1/500
{
  printf '\x28\x01\x00\x00\x05\x00\x00\x00\x01\x00\x00\xf0\x01\x00\x00\x00CLI'
  head -c 253 /dev/zero
  printf '\x00\x00\x00\x00\x00\x48\x4b\x00\x0b\x00\x00\x00\x00\x00\x00\x00\xbb\xf4\x00\x00\x03\x00\x00\x00'
} >&3
for _ in $(seq 200); do grep -q 'open: "CLI"' "$log" && break; sleep 0.1; done
grep -q 'open: "CLI"' "$log" || fail "open not logged"

if [ "$RELAY_KIND" = windows ]; then echo quit >&4; else kill -TERM "$pid"; fi
# The open record (308 bytes), then the 12-byte quit record with id 3.
timeout 20 head -c 320 <&3 >"$work/reply" || fail "no quit record"
quit_id=$(od -An -tu4 -j316 -N4 "$work/reply" | tr -d ' ')
[ "$quit_id" = 3 ] || fail "last record id $quit_id, not quit"
exec 3>&- 4>&-
for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid"
rc=$?
[ "$rc" = 0 ] || fail "exit code $rc"
grep -q "quit: sent to client 1" "$log" || fail "quit not logged"
echo "ok: listening line, control port, quit message and exit code 0"
