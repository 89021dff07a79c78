#!/usr/bin/env bash
# Builds the fuzz targets of the portable parsers (tests/fuzz/<name>_fuzz.cpp: clang, libFuzzer,
# AddressSanitizer and UBSan) and runs each in turn for the given time over its seed inputs
# (tests/fuzz/corpus/<name>), printing per target the executions, their rate and whether it crashed.
# Usage: bench/fuzz.sh [seconds per target, default 60] [target names, default all]
# The inputs a run finds are kept in build/fuzz/corpus/<name> (the next run starts from them too);
# the seeds in the repository are only read. An input that breaks a target is saved as
# build/fuzz/crashes/<name>-crash-<hash>, its output in build/fuzz/<name>.log, and the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -eq 0 ] || shift
bash scripts/deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in tests/fuzz/*_fuzz.cpp; do
    name=${source##*/}
    targets+=("${name%_fuzz.cpp}")
  done
fi

stat() {  # log, name: one of libFuzzer's final figures
  sed -n "s/^stat::$2: *//p" "$1" | tail -n 1
}

crashed=()
printf '%-14s %12s %9s  %s\n' target executions "per s" result
for name in "${targets[@]}"; do
  found=build/fuzz/corpus/$name
  log=build/fuzz/$name.log
  mkdir -p "$found" build/fuzz/crashes
  dirs=("$found")
  [ -d "tests/fuzz/corpus/$name" ] && dirs+=("tests/fuzz/corpus/$name")
  rc=0
  "build/fuzz/tests/fuzz/${name}_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/crashes/$name-" "${dirs[@]}" >"$log" 2>&1 || rc=$?
  result="no crash"
  if [ $rc -ne 0 ]; then
    result="CRASHED (exit $rc): $(grep -m1 -o 'Test unit written to .*' "$log" || echo "see $log")"
    crashed+=("$name")
  fi
  printf '%-14s %12s %9s  %s\n' "$name" "$(stat "$log" number_of_executed_units)" \
    "$(stat "$log" average_exec_per_sec)" "$result"
done
if [ ${#crashed[@]} -gt 0 ]; then
  echo "Crashed: ${crashed[*]} (the logs are in build/fuzz/)" >&2
  exit 1
fi
