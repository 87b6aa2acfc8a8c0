#!/usr/bin/env bash
# Builds the programs and tools. Usage: build.sh [native|windows|sanitize|tsan|fuzz|package]
#   native   -> build/bin/        (default)
#   windows  -> build-windows/bin/*.exe (MinGW-w64 cross-build, static)
#   sanitize -> build-asan/bin/   (AddressSanitizer + UndefinedBehaviorSanitizer)
#   tsan     -> build-tsan/bin/   (ThreadSanitizer; the simulator client's tests only)
#   fuzz     -> build-fuzz/bin/   (clang libFuzzer targets)
#   package  -> the release packages: builds native and windows, then
#               build-release/AvionicsRelay-<version>-setup.exe,
#               build-release/AvionicsRelay-<version>-win64.zip,
#               build-release/AvionicsRelay-<version>-Linux.tar.gz and
#               build-release/SHA256SUMS.txt
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kind=${1:-native}
jobs=${RELAY_JOBS:-$(nproc)}
targets=()
if [ "$kind" = package ]; then
  bash "$root/tools/build.sh" native
  bash "$root/tools/build.sh" windows
  out=$root/build-release
  rm -rf "$out"
  (cd "$root/build-windows" && cpack -G ZIP -B "$out")
  bash "$root/package/installer/make-installer.sh" "$root/build-windows" "$out"
  (cd "$root/build" && cpack -G TGZ -B "$out")
  rm -rf "$out/_CPack_Packages"
  bash "$root/tools/release-sums.sh" "$out"
  exit 0
fi
case "$kind" in
  native)   dir=$root/build;         args=() ;;
  windows)  dir=$root/build-windows; args=(-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-w64.cmake -DRELAY_BUILD_BENCHMARKS=OFF
                                            -DCMAKE_BUILD_TYPE=Release) ;;
  sanitize) dir=$root/build-asan;    args=(-DRELAY_SANITIZE=ON -DRELAY_BUILD_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug) ;;
  tsan)     dir=$root/build-tsan;    args=(-DRELAY_TSAN=ON -DRELAY_BUILD_BENCHMARKS=OFF)
            targets=(--target simclient_receive_buffer_test simclient_settings_test simclient_client_test
                     simclient_link_break_test simclient_client_stress_test) ;;
  fuzz)     dir=$root/build-fuzz;    args=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DRELAY_BUILD_FUZZERS=ON
                                            -DRELAY_BUILD_TESTS=OFF -DRELAY_BUILD_BENCHMARKS=OFF)
            targets=(--target simclient_receive_fuzzer panel_fuzzer panel_fuzz_seeds) ;;
  *) echo "usage: $0 [native|windows|sanitize|tsan|fuzz|package]" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" "${args[@]}" >/dev/null
cmake --build "$dir" -j "$jobs" "${targets[@]}"
echo "Built into $dir/bin"
