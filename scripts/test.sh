#!/usr/bin/env bash
# Builds Netbeacon and runs every test: the portable logic natively (AddressSanitizer, UBSan),
# then the Windows build under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/deps.sh
start=$(date +%s)

echo "== Native build of the portable logic (sanitizers on)"
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)"
ctest --test-dir build/native --output-on-failure

echo "== Windows build (MinGW-w64)"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j"$(nproc)"

echo "== Windows tests under Wine + Xvfb"
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
  set -euo pipefail
  . scripts/wine-env.sh
  wine_prepare "$1/build/mingw"
  wine_server_start
  trap wine_server_stop EXIT
  ctest --test-dir "$1/build/mingw" --output-on-failure
' bash "$root"
echo "== All tests passed in $(( $(date +%s) - start )) s"
