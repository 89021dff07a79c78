#!/usr/bin/env bash
# Builds the benchmarks for Windows and runs them under Wine, printing the measured figures:
# (1) a detection run against loopback services compared with two bare HTTP GETs,
# (2) the time from a stalled first service to the second service's address,
# (3) a log update on a 10-record log compared with one on a 1,000,000-record log.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j"$(nproc)" --target detect_bench log_bench
. scripts/wine-env.sh
wine_prepare "$(pwd)/build/mingw"
wine_server_start
trap wine_server_stop EXIT
build/mingw/wine-run.sh build/mingw/bench/detect_bench.exe "${1:-30}"
echo "(3)"
build/mingw/wine-run.sh build/mingw/bench/log_bench.exe
