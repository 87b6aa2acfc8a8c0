#!/usr/bin/env bash
# Every test: installs what it needs, builds the Linux and the Windows
# programs, runs the Linux tests, the Windows tests under Wine, the Linux
# tests again under the sanitizers, the simulator client's tests under
# ThreadSanitizer, and short fuzz runs of the client's receive path and of
# the panel logic. Ends with CTest's summaries.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
fuzz_seconds=${RELAY_FUZZ_SECONDS:-30}
status=0
step() { echo; echo "=== $* ==="; }
run() { "$@" || { echo "FAILED: $*"; status=1; }; }

step "Installing packages"
bash tools/install-deps.sh all || exit 1

step "Linux build";   bash tools/build.sh native  || exit 1
step "Windows build"; bash tools/build.sh windows || exit 1

step "Linux tests"
run ctest --test-dir build --output-on-failure -j 2

step "Windows tests under Wine"
run ctest --test-dir build-windows --output-on-failure

step "Linux tests under AddressSanitizer and UndefinedBehaviorSanitizer"
if bash tools/build.sh sanitize; then
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run ctest --test-dir build-asan --output-on-failure -j 2
else
  echo "FAILED: sanitizer build"; status=1
fi

step "Simulator client tests under ThreadSanitizer"
if bash tools/build.sh tsan; then
  TSAN_OPTIONS=halt_on_error=1 run ctest --test-dir build-tsan -R '^simclient_' --output-on-failure -j 2
else
  echo "FAILED: ThreadSanitizer build"; status=1
fi

step "Fuzzing the receive path and the panel logic for ${fuzz_seconds}s each"
if bash tools/build.sh fuzz; then
  run bash simclient/fuzz/run_fuzz.sh build-fuzz "$fuzz_seconds"
  run bash panels/fuzz/run_panel_fuzz.sh build-fuzz "$fuzz_seconds"
else
  echo "FAILED: fuzz build"; status=1
fi

echo
[ $status -eq 0 ] && echo "ALL TESTS PASSED" || echo "SOME TESTS FAILED"
exit $status
