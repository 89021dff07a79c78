#!/usr/bin/env bash
# Watch mode tried from outside, as a user would, on a virtual screen: netbeacon.exe watching with
# the interval at 1 minute, the mail going to a plain SMTP server on loopback (aiosmtpd, a maildir)
# and a command that appends its arguments to a file; after the first check the service's answer
# changes, with no change notice, and the next check should bring the new address everywhere.
# Everything it saw goes into a folder: the services' request log, the mails, the command's file,
# the address log, the windows shown (every 0.1 s), the program's processor time (every second)
# and two screenshots. The program's stored values and its log are put back afterwards.
# Usage: scripts/watch_trial.sh [seconds to watch (200)]   (after a mingw build)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mktemp -d /tmp/watch-trial.XXXXXX)
echo "trial folder: $out"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  out=$1 seconds=$2
  . scripts/wine-env.sh
  wine_prepare "$PWD/build/mingw"
  wine_server_start
  trap wine_server_stop EXIT
  wine_settings_for_tests
  py=/usr/bin/python3
  free_port() { $py -c "import socket; s=socket.socket(); s.bind((\"127.0.0.1\", 0)); print(s.getsockname()[1])"; }
  stamp() { date +%H:%M:%S.%N | cut -c1-12; }

  # The services: files in a folder, served by Python; the answer changes when the file does.
  mkdir -p "$out/www"  # the maildir is made by the mail server
  echo ok >"$out/www/probe"
  echo 203.0.113.7 >"$out/www/ip1"
  http=$(free_port) smtp=$(free_port)
  $py -m http.server --bind 127.0.0.1 --directory "$out/www" "$http" 2>"$out/http.log" >/dev/null &
  servers=$!
  $py -m aiosmtpd -n -l "127.0.0.1:$smtp" -c aiosmtpd.handlers.Mailbox "$out/maildir" &
  servers="$servers $!"

  key="HKCU\\Software\\Ambertop\\Netbeacon"
  wine reg export "$key" "$(winepath -w "$out/values-before.reg")" /y >/dev/null 2>&1 || true
  appdata=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d "\r")")
  log="$appdata/Ambertop software/Netbeacon/Netbeacon.log"
  [ -f "$log" ] && mv "$log" "$out/log-before.log"
  ran=$(winepath -w "$out/ran.txt")
  set_value() { wine reg add "$key" /v "$1" /d "$2" /f >/dev/null 2>&1; }
  set_value Autorun 0; set_value Autoquit 0
  set_value Watch 1; set_value WatchMinutes 1; set_value WatchMail 1
  set_value WatchCommand "echo %TIME% %1 %2>>\"$ran\""
  set_value MailFrom "Netbeacon <watch@example.com>"; set_value MailTo me@example.com
  set_value MailSMTP "127.0.0.1:$smtp"; set_value MailSMTPauth 0
  set_value ProbeURL "http://127.0.0.1:$http/probe"
  for i in 1 2 3 4; do set_value ServiceURL$i "http://127.0.0.1:$http/ip$i"; done

  echo "$(stamp) start" | tee -a "$out/events.txt"
  wine "$(winepath -w build/mingw/netbeacon.exe)" &
  pid=$!  # Wine runs the program in the process it was started as
  # The windows on the screen, with their names, as often as xdotool can say.
  ( while sleep 0.1; do
      for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        echo "$(xdotool getwindowname "$w" 2>/dev/null) [$(xdotool getwindowgeometry "$w" 2>/dev/null | tail -1 | tr -s " ")]"
      done | sort -u | sed "s/^/$(stamp) /"
    done >"$out/windows-raw.txt" ) &
  watcher=$!
  sleep 3
  grep -q netbeacon.exe "/proc/$pid/cmdline" || { echo "netbeacon.exe did not start"; exit 1; }
  ( while sleep 1; do echo "$(stamp) $(awk "{print \$14, \$15}" /proc/$pid/stat 2>/dev/null)"; done >"$out/cpu.txt" ) &
  sampler=$!

  sleep 17
  import -window root "$out/screen-before.png"
  echo 198.51.100.23 >"$out/www/ip1"
  echo "$(stamp) the service answers 198.51.100.23" | tee -a "$out/events.txt"
  for ((i = 0; i < 90; ++i)); do
    if grep -q "198.51.100.23" "$log" 2>/dev/null; then
      echo "$(stamp) the log holds 198.51.100.23" | tee -a "$out/events.txt"
      sleep 1
      import -window root "$out/screen-after.png"
      sleep 3  # the system shows a notification about 2 s after it is asked to
      import -window root "$out/screen-notice.png"
      break
    fi
    sleep 1
  done
  sleep $((seconds - 24 - i))
  kill $sampler $watcher
  cp "$log" "$out/netbeacon.log" 2>/dev/null || true
  kill "$pid" 2>/dev/null || true
  kill $servers
  echo "$(stamp) end" | tee -a "$out/events.txt"

  # Back as before: the values, the log.
  wine reg delete "$key" /f >/dev/null 2>&1 || true
  [ -f "$out/values-before.reg" ] && wine reg import "$(winepath -w "$out/values-before.reg")" >/dev/null 2>&1
  rm -f "$log"
  [ -f "$out/log-before.log" ] && mv "$out/log-before.log" "$log"
  # Each window (name and size) once, with the time it was first seen.
  sort -k2 -u "$out/windows-raw.txt" | sort >"$out/windows.txt"
  true
' bash "$out" "${1:-200}"
echo "--- events"; cat "$out/events.txt"
echo "--- requests"; grep -o "\[.*\] \"GET [^ ]*" "$out/http.log" || true
echo "--- mails: $(find "$out/maildir/new" -type f 2>/dev/null | wc -l)"
for m in "$out"/maildir/new/*; do grep -E "^(Subject|Date):|[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+" "$m" || true; done
echo "--- the program's processor time (user and system ticks of 10 ms) when it changed"
awk '{ t = $2 + $3; if (t != last) print; last = t }' "$out/cpu.txt"
echo "--- the command's file"; cat "$out/ran.txt" 2>/dev/null || echo "(none)"
echo "--- the address log"; cat "$out/netbeacon.log" 2>/dev/null || echo "(none)"
echo "--- windows first seen"; cat "$out/windows.txt"
