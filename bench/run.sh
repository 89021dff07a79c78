#!/usr/bin/env bash
# Builds the benchmarks for Windows and runs them under Wine on a virtual screen, printing the
# measured figures:
# (1) a detection run against loopback services compared with two bare HTTP GETs,
# (2) the time from a stalled first service to the second service's address,
# (3) a log update on a 10-record log compared with one on a 1,000,000-record log,
# (4) the time from starting netbeacon.exe to its visible main window, compared with a bare window
#     program that carries the same manifest and one button (medians of alternating starts),
# (5) the program's own CPU time against wall time while the configuration capture waits for a
#     command that takes 2 s, beside a wait that polls the command's exit code without sleeping,
# (6) a mail with a 10 MB attachment over STARTTLS to a loopback server, against swaks, and the
#     sending process's peak working set growth,
# (7) the watching program's processor time over 60 s with no check due and its working set, beside
#     the bare window program's, and the time from a network change notice to the new address in
#     the label and the log against that from Find (medians of 5 rounds).
# Usage: bench/run.sh [detection rounds (30)] [starts of each program (21)]
#        bench/run.sh startup [starts of each program (21)]      only (4)
#        bench/run.sh mail                                       only (6)
#        bench/run.sh watch                                      only (7)
set -euo pipefail
cd "$(dirname "$0")/.."
only=all
if [ "${1:-}" = startup ]; then
  only=startup
  shift
  set -- 30 "${1:-21}"
elif [ "${1:-}" = mail ] || [ "${1:-}" = watch ]; then
  only=$1
  set -- 30 21
fi
bash scripts/deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j"$(nproc)" --target detect_bench log_bench netconfig_bench startup_bench bare_window \
  netbeacon smtp_bench watch_bench
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  . scripts/wine-env.sh
  wine_prepare "$(pwd)/build/mingw"
  wine_server_start
  trap wine_server_stop EXIT
  wine_settings_for_tests
  if [ "$3" = all ]; then
    build/mingw/wine-run.sh build/mingw/bench/detect_bench.exe "$1"
    echo "(3)"
    build/mingw/wine-run.sh build/mingw/bench/log_bench.exe
  fi
  if [ "$3" = all ] || [ "$3" = startup ]; then
    echo "(4)"
    build/mingw/wine-run.sh build/mingw/bench/startup_bench.exe "$(winepath -w build/mingw/netbeacon.exe)" \
      "$(winepath -w build/mingw/bench/bare_window.exe)" "$2"
  fi
  if [ "$3" = all ]; then
    echo "(5)"
    build/mingw/wine-run.sh build/mingw/bench/netconfig_bench.exe
  fi
  if [ "$3" = all ] || [ "$3" = mail ]; then
    echo "(6)"
    bash bench/smtp_bench.sh "$(pwd)/build/mingw"
  fi
  if [ "$3" = all ] || [ "$3" = watch ]; then
    echo "(7)"
    build/mingw/wine-run.sh build/mingw/bench/watch_bench.exe "$(winepath -w build/mingw/bench/bare_window.exe)"
  fi
' bash "${1:-30}" "${2:-21}" "$only"
