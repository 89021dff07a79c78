#!/usr/bin/env bash
# The IPv6 addresses tried from outside, as a user would, on a virtual screen with a window manager:
# netbeacon.exe started with Autorun (the run happens before its window shows), the services played
# by small Python servers on 127.0.0.1 (IPv4) and [::1] (IPv6) that log each request with its time.
#   In a network namespace whose interface has a global IPv6 address (scripts/in_ipv6_namespace.sh):
#     no-global  the address taken away first: no IPv6 service may be asked, the window as designed
#     global     the address back; the IPv6 services answer a unique local address, an address
#                with text around it, and an address written the long way
#     stalled    the first IPv6 service accepts and never answers; the second answers
#   Outside it, on this machine's own network (no global IPv6 address here):
#     outside    as "global": no IPv6 service may be asked, the window as designed
# For each: the seconds until the window showed, its size, the requests, both address logs and a
# picture of the window. Everything goes into a folder; the build's prefix is left as it was.
# Usage: scripts/ipv6_trial.sh   (as root, after a mingw build)
set -euo pipefail
cd "$(dirname "$0")/.."

# --- One session's scenarios: ipv6_trial.sh --scenarios OUT_DIR inside|outside -------------------------
if [ "${1:-}" = --scenarios ]; then
  out=$2 where=$3
  . scripts/wine-env.sh
  wine_windows_managed Y  # framed by the window manager, as on a desktop
  key="HKCU\\Software\\Ambertop\\Netbeacon"
  set_value() { wine reg add "$key" /v "$1" /d "$2" /f >/dev/null 2>&1; }
  appdata=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d "\r")")
  logs="$appdata/Ambertop software/Netbeacon"
  mkdir -p "$out/www-$where"

  # The servers: a file per path in www-WHERE; a path starting with /stall is read and never answered.
  cat >"$out/serve.py" <<'EOF'
import http.server, socket, socketserver, sys, time
family, host, folder, log = sys.argv[1:5]
class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(log, "a") as f:
            f.write("%.3f %s\n" % (time.time(), self.path))
        if self.path.startswith("/stall"):
            time.sleep(600)
            return
        try:
            body = open(folder + self.path, "rb").read()
            self.send_response(200)
        except OSError:
            body = b"not found"
            self.send_response(404)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *args):
        pass
# A plain TCP server: an HTTP server would look up its host name, which in the namespace waits
# for a name server that cannot be reached.
class Server(socketserver.ThreadingTCPServer):
    address_family = socket.AF_INET6 if family == "6" else socket.AF_INET
    daemon_threads = True
    def process_request(self, request, client_address):
        with open(log, "a") as f:
            f.write("%.3f (connection)\n" % time.time())
        super().process_request(request, client_address)
server = Server((host, 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
EOF
  servers=""
  serve() {  # FAMILY HOST: starts a server; its port goes to port-FAMILY, its requests to requestsFAMILY-WHERE.log
    touch "$out/requests$1-$where.log"
    python3 -u "$out/serve.py" "$1" "$2" "$out/www-$where" "$out/requests$1-$where.log" >"$out/port-$1" &
    servers="$servers $!"
    for _ in $(seq 50); do [ -s "$out/port-$1" ] && break; sleep 0.1; done
  }
  serve 4 127.0.0.1
  serve 6 ::1
  trap 'kill $servers 2>/dev/null || true' EXIT
  v4=$(cat "$out/port-4") v6=$(cat "$out/port-6")
  set_value Autorun 1
  set_value Autoquit 0
  set_value ForeColor 65280
  set_value ProbeURL "http://127.0.0.1:$v4/probe"
  for i in 1 2 3 4; do set_value ServiceURL$i "http://127.0.0.1:$v4/ip$i"; done
  set_value Probe6URL "http://[::1]:$v6/probe"
  answer() { printf '%s\n' "$2" >"$out/www-$where/$1"; }
  answer ip1 203.0.113.7
  answer a fd12:3456:789a::1
  answer b "<html>2a01:4f8::a01</html>"
  answer c 2A01:04F8:0000:0000:0000:0000:0000:0A01
  answer d 2a01:4f8::b02
  services6() { local i=1 path; for path in "$@"; do set_value Service6URL$i "http://[::1]:$v6/$path"; i=$((i + 1)); done; }

  # The main window: shown, named Netbeacon, owned by no other window.
  main_window() {
    local id
    for id in $(xwininfo -root -tree | awk '/"( )?Netbeacon": \("netbeacon.exe"/ {print $1}'); do
      [[ $(xwininfo -id "$id") == *IsViewable* ]] || continue
      [[ $(xprop -id "$id" WM_TRANSIENT_FOR) == *"not found"* ]] || continue
      echo "$id"
      return
    done
  }
  geometry() { xwininfo -id "$1" | awk -v key="$2" -F: 'index($1, key) {gsub(/ /, "", $2); print $2}'; }

  asked() {  # FAMILY LINES_BEFORE: connections and requests since then, "c/r"
    local log="$out/requests$1-$where.log"
    echo "$(tail -n +$(($2 + 1)) "$log" | grep -c connection)/$(tail -n +$(($2 + 1)) "$log" | grep -c " /")"
  }

  # One start of the program: scenario NAME. Writes NAME.png and NAME-*.log, and a line to summary.txt.
  scenario() {
    local name=$1 before4 before6 start window="" pid seconds x y w h fl fr ft fb _
    before4=$(wc -l <"$out/requests4-$where.log") before6=$(wc -l <"$out/requests6-$where.log")
    start=$(date +%s.%N)
    wine build/mingw/netbeacon.exe >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 300); do
      window=$(main_window)
      [ -n "$window" ] && break
      sleep 0.1
    done
    [ -n "$window" ] || { echo "$name: the main window did not appear" >&2; return 1; }
    seconds=$(echo "$(date +%s.%N) - $start" | bc)
    sleep 1.5  # lets it paint
    x=$(geometry "$window" "Absolute upper-left X") y=$(geometry "$window" "Absolute upper-left Y")
    w=$(geometry "$window" Width) h=$(geometry "$window" Height)
    read -r fl fr ft fb < <(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    import -window root "$out/screen.png"
    convert "$out/screen.png" -crop "$((w + fl + fr))x$((h + ft + fb))+$((x - fl))+$((y - ft))" +repage "$out/$name.png"
    echo "$fl $fr $ft $fb" >"$out/$name.frame"
    xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+q >/dev/null 2>&1 || true
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    cp "$logs/Netbeacon.log" "$out/$name-Netbeacon.log" 2>/dev/null || true
    cp "$logs/Netbeacon-IPv6.log" "$out/$name-Netbeacon-IPv6.log" 2>/dev/null || true
    printf '%-10s window after %.1f s, %sx%s with its frame; connections and requests: IPv4 %s, IPv6 %s\n' \
      "$name" "$seconds" "$((w + fl + fr))" "$((h + ft + fb))" "$(asked 4 "$before4")" "$(asked 6 "$before6")" |
      tee -a "$out/summary.txt"
  }

  if [ "$where" = inside ]; then
    rm -f "$logs/Netbeacon.log" "$logs/Netbeacon-IPv6.log"
    services6 a b c
    ip -6 addr del "$NB_NAMESPACE_IPV6/64" dev nb0
    scenario no-global
    ip -6 addr add "$NB_NAMESPACE_IPV6/64" dev nb0 nodad
    answer ip1 198.51.100.23
    scenario global
    services6 stall d c
    scenario stalled
  else
    # This machine's own prefix: its values and logs are put back afterwards.
    wine reg export "$key" "$(winepath -w "$out/values-before.reg")" /y >/dev/null 2>&1 || true
    mkdir -p "$out/logs-before"
    mv "$logs"/Netbeacon*.log "$out/logs-before/" 2>/dev/null || true
    services6 a b c
    scenario outside || true
    wine reg delete "$key" /f >/dev/null 2>&1 || true
    [ -f "$out/values-before.reg" ] && wine reg import "$(winepath -w "$out/values-before.reg")" >/dev/null 2>&1
    rm -f "$logs"/Netbeacon*.log
    mv "$out/logs-before"/* "$logs/" 2>/dev/null || true
    rmdir "$out/logs-before"
  fi
  exit 0
fi

# --- The trial --------------------------------------------------------------------------------------
[ -f build/mingw/netbeacon.exe ] || { echo "Build first: cmake --build --preset mingw" >&2; exit 1; }
bash scripts/deps.sh x11-utils xdotool
out=$(mktemp -d /tmp/ipv6-trial.XXXXXX)
echo "trial folder: $out"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  out=$1
  sed "s#<titleLayout>[A-Z]*</titleLayout>#<titleLayout>NLIC</titleLayout>#" /etc/xdg/openbox/rc.xml >"$out/rc.xml"
  openbox --config-file "$out/rc.xml" >/dev/null 2>&1 &
  wm=$!
  trap "kill $wm 2>/dev/null || true" EXIT
  sleep 1
  bash scripts/in_ipv6_namespace.sh build/mingw bash scripts/ipv6_trial.sh --scenarios "$out" inside
  . scripts/wine-env.sh
  wine_prepare "$PWD/build/mingw"
  wine_server_start
  trap "wine_server_stop; kill $wm 2>/dev/null || true" EXIT
  bash scripts/ipv6_trial.sh --scenarios "$out" outside
  wine_settings_for_tests
' bash "$out"
rm -f "$out/screen.png" "$out"/port-? "$out/rc.xml"
echo "--- IPv6 requests in the namespace (time, path)"; cat "$out/requests6-inside.log"
echo "--- IPv6 requests outside"; cat "$out/requests6-outside.log"
for f in "$out"/*.log; do
  case $f in *requests*) continue ;; esac
  echo "--- ${f##*/}"; cat "$f"
done
# The window without a global IPv6 address against the picture of the window as designed
# (docs/main-window.png, taken on this machine's network by scripts/screenshot.sh).
read -r fl fr ft fb <"$out/outside.frame"
client() { convert "$1" -crop "$(($(identify -format %w "$1") - fl - fr))x$(($(identify -format %h "$1") - ft - fb))+$fl+$ft" +repage "$2"; }
client docs/main-window.png "$out/designed-client.png"
client "$out/outside.png" "$out/outside-client.png"
echo "--- docs/main-window.png is $(identify -format %wx%h docs/main-window.png) with its frame;" \
  "pixels that differ from the window outside in the client area: $(compare -metric AE "$out/designed-client.png" "$out/outside-client.png" null: 2>&1 || true)"
