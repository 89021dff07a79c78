#!/usr/bin/env bash
# Takes docs/main-window.png: the main window after a detection run, in a normal window frame
# (openbox) on a virtual screen. A small web server on this machine stands in for the public
# address services, so the picture needs no network; its Wine prefix is its own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/deps.sh x11-utils python3
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j"$(nproc)" --target netbeacon
mkdir -p docs

xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  set -euo pipefail
  root=$1
  . scripts/wine-env.sh
  wine_prepare "$root/build/screenshot"
  wine_server_start
  scratch=$(mktemp -d)
  cleanup() {
    wine_server_stop
    kill $(jobs -p) 2>/dev/null || true
    rm -rf "$scratch"
  }
  trap cleanup EXIT
  wine_windows_managed Y

  # The stand-in address service: any path answers with a documentation address.
  echo 203.0.113.7 >"$scratch/ip"
  python3 -u -c "
import functools, http.server, sys
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])
server = http.server.ThreadingHTTPServer((\"127.0.0.1\", 0), handler)
print(server.server_address[1], flush=True)
server.serve_forever()" "$scratch" >"$scratch/port" 2>/dev/null &
  for _ in $(seq 50); do [ -s "$scratch/port" ] && break; sleep 0.1; done
  url="http://127.0.0.1:$(cat "$scratch/port")"
  key="HKCU\\Software\\Ambertop\\Netbeacon"
  wine reg add "$key" /v ProbeURL /d "$url/" /f >/dev/null
  for i in 1 2 3 4; do wine reg add "$key" /v ServiceURL$i /d "$url/ip" /f >/dev/null; done
  # The run happens as the program starts (the Autorun preference), before its window shows.
  wine reg add "$key" /v Autorun /d 1 /f >/dev/null
  wine reg delete "$key" /v Top /f >/dev/null 2>&1 || true
  wine reg delete "$key" /v Left /f >/dev/null 2>&1 || true

  # A normal frame with the buttons the window has (no maximise button).
  sed "s#<titleLayout>[A-Z]*</titleLayout>#<titleLayout>NLIC</titleLayout>#" /etc/xdg/openbox/rc.xml >"$scratch/rc.xml"
  openbox --config-file "$scratch/rc.xml" >/dev/null 2>&1 &
  sleep 1
  wine "$root/build/mingw/netbeacon.exe" >/dev/null 2>&1 &

  # The main window: shown, named Netbeacon, and owned by no other window (the progress window,
  # which has the same name, is owned by it).
  main_window() {
    local id
    for id in $(xwininfo -root -tree | awk "/\"( )?Netbeacon\": \\(\"netbeacon.exe\"/ {print \$1}"); do
      [[ $(xwininfo -id "$id") == *IsViewable* ]] || continue
      [[ $(xprop -id "$id" WM_TRANSIENT_FOR) == *"not found"* ]] || continue
      echo "$id"
      return
    done
  }
  client=""
  for _ in $(seq 150); do
    client=$(main_window)
    [ -n "$client" ] && break
    sleep 0.2
  done
  [ -n "$client" ] || { echo "The main window did not appear." >&2; exit 1; }
  sleep 1.5  # let it paint
  geometry() { xwininfo -id "$client" | awk -v key="$1" -F: "index(\$1, key) {gsub(/ /, \"\", \$2); print \$2}"; }
  x=$(geometry "Absolute upper-left X"); y=$(geometry "Absolute upper-left Y")
  w=$(geometry "Width"); h=$(geometry "Height")
  # Frame extents: left, right, top, bottom.
  read -r fl fr ft fb < <(xprop -id "$client" _NET_FRAME_EXTENTS | sed "s/.*= //; s/,//g")
  import -window root "$scratch/screen.png"
  convert "$scratch/screen.png" -crop "$((w + fl + fr))x$((h + ft + fb))+$((x - fl))+$((y - ft))" +repage \
    "$root/docs/main-window.png"
  echo "Saved docs/main-window.png ($((w + fl + fr))x$((h + ft + fb)))"
' bash "$root"
