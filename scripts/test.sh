#!/usr/bin/env bash
# Builds Netbeacon and runs every test: the portable logic natively (AddressSanitizer, UBSan)
# and each fuzz target of the portable parsers for a few seconds over its seed inputs; then the
# Windows build under Wine on a virtual screen (Xvfb), the end-to-end tests included (the IPv6 one
# in a network namespace of its own, which needs root).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/deps.sh
start=$(date +%s)
phase_start=""
phase() {  # tells how long the previous phase took, then names the next one
  local now
  now=$(date +%s)
  [ -z "$phase_start" ] || echo "   ($((now - phase_start)) s)"
  phase_start=$now
  echo "== $1"
}
# No test program may run longer than this (seconds); ctest ends it and reports a failure.
test_timeout=300

phase "Native build of the portable logic (sanitizers on)"
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)"
ctest --test-dir build/native --output-on-failure --timeout "$test_timeout"

phase "Fuzz targets of the portable parsers, a few seconds each (clang, libFuzzer, sanitizers on)"
bash bench/fuzz.sh 3

phase "Windows build (MinGW-w64)"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j"$(nproc)"

phase "Windows tests under Wine + Xvfb"
# One persistent wineserver for the whole run (a server per test program costs seconds each).
# The virtual screen is as large as a screen at 144 dpi usually is, so that the window checks at
# 144 dpi find room for the largest window (the configuration viewer, 1250 pixels wide there).
xvfb-run -a -s "-screen 0 1920x1200x24" bash -c '
  set -euo pipefail
  . scripts/wine-env.sh
  wine_prepare "$1/build/mingw"
  wine_server_start
  trap wine_server_stop EXIT
  wine_settings_for_tests
  ctest --test-dir "$1/build/mingw" --output-on-failure --timeout "$2"
  # ctest shows nothing of a skipped test: its reason, from the log of the run.
  grep -h "is skipped:" "$1/build/mingw/Testing/Temporary/LastTest.log" || true
' bash "$root" "$test_timeout"
phase "All tests passed in $(( $(date +%s) - start )) s"
