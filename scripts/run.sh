#!/usr/bin/env bash
# Builds Netbeacon for Windows and starts it under Wine (on the current display, or on Xvfb
# when there is none).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j"$(nproc)" --target netbeacon
. scripts/wine-env.sh
wine_prepare "$(pwd)/build/mingw"
if [ -n "${DISPLAY:-}" ]; then
  # On a desktop the window manager frames the windows as usual (the tests turn this off).
  wine_windows_managed Y
  exec wine build/mingw/netbeacon.exe "$@"
else
  echo "No DISPLAY: starting Netbeacon on a virtual screen (Xvfb)."
  exec xvfb-run -a -s "-screen 0 1024x768x24" wine build/mingw/netbeacon.exe "$@"
fi
