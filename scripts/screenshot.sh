#!/usr/bin/env bash
# Takes the pictures in docs/, each after a detection run, in a normal window frame (openbox) on a
# virtual screen:
#   docs/main-window.png                  the main window, green on black (the first colour scheme)
#   docs/main-window-black-on-white.png   the main window, black on white (ForeColor = 0)
#   docs/address-menu.png                 the public address's menu, opened with a right click
#   docs/all-addresses.png                the list of all addresses (Ctrl+I), two entries selected
#   docs/ip-config.png                    the configuration viewer (Ctrl+M), the LAN address found
#   docs/send-mail.png                    the mail window, opened from the address menu, with stored
#                                         mail settings, a password typed and a file attached
#   docs/watch-settings.png               the watch settings window with stored settings, shown by
#                                         its own small program (tests/watch/show_watch_settings_win.cpp)
#   docs/watch-menu.png                   watch mode's icon (in Wine's system tray window) with its menu
#                                         open
# A small web server on this machine stands in for the public address services, so the pictures
# need no network; the Wine prefix is the screenshots' own (build/screenshot/wineprefix).
# Usage: screenshot.sh [build folder]   (default: build/mingw, made with the mingw preset)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/deps.sh x11-utils xdotool python3
if [ $# -ge 1 ]; then
  build=$(cd "$1" && pwd)
  cmake --build "$build" -j"$(nproc)" --target netbeacon show_watch_settings
else
  build="$root/build/mingw"
  cmake --preset mingw >/dev/null
  cmake --build --preset mingw -j"$(nproc)" --target netbeacon show_watch_settings
fi
mkdir -p docs

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  root=$1
  program=$2
  settings=$3
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
  wine reg add "$key" /v Autoquit /d 0 /f >/dev/null
  # Mail settings as a user would have stored them (the password is typed: it is stored scrambled).
  wine reg add "$key" /v MailFrom /d "Ann Smith <ann@example.com>" /f >/dev/null
  wine reg add "$key" /v MailTo /d "bo@example.com, cy@example.com" /f >/dev/null
  wine reg add "$key" /v MailSubject /d "New IP" /f >/dev/null
  wine reg add "$key" /v MailSMTP /d "smtp.example.com:587" /f >/dev/null
  wine reg add "$key" /v MailSMTPauth /d 1 /f >/dev/null
  wine reg add "$key" /v MailSMTPauthUser /d "ann@example.com" /f >/dev/null

  # A normal frame with the buttons the window has (no maximise button).
  sed "s#<titleLayout>[A-Z]*</titleLayout>#<titleLayout>NLIC</titleLayout>#" /etc/xdg/openbox/rc.xml >"$scratch/rc.xml"
  openbox --config-file "$scratch/rc.xml" >/dev/null 2>&1 &
  sleep 1

  # The shown X windows of the program, one per line: id and whether another window owns it.
  program_windows() {
    local id
    for id in $(xwininfo -root -tree | awk "/\\(\"netbeacon.exe\"/ {print \$1}"); do
      [[ $(xwininfo -id "$id") == *IsViewable* ]] || continue
      echo "$id"
    done
  }
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
  geometry() {  # window, key: one figure of xwininfo
    xwininfo -id "$1" | awk -v key="$2" -F: "index(\$1, key) {gsub(/ /, \"\", \$2); print \$2}"
  }

  # The outer edges of a shown window with its frame: left top right bottom.
  frame_edges() {
    local x y w h fl fr ft fb
    x=$(geometry "$1" "Absolute upper-left X"); y=$(geometry "$1" "Absolute upper-left Y")
    w=$(geometry "$1" "Width"); h=$(geometry "$1" "Height")
    read -r fl fr ft fb < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed "s/.*= //; s/,//g")
    echo $((x - fl)) $((y - ft)) $((x + w + fr)) $((y + h + fb))
  }

  # The picture of a shown window with its frame: save_window WINDOW FILE (in docs/).
  save_window() {
    local left top right bottom
    read -r left top right bottom < <(frame_edges "$1")
    import -window root "$scratch/screen.png"
    convert "$scratch/screen.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$root/docs/$2"
    echo "Saved docs/$2 ($((right - left))x$((bottom - top)))"
  }

  # The first shown window whose title matches: wait_window TITLE (a pattern), within 30 s.
  wait_window() {
    local window="" _
    for _ in $(seq 150); do
      window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
      [ -n "$window" ] && break
      sleep 0.2
    done
    [ -n "$window" ] || { echo "The window $1 did not open." >&2; exit 1; }
    echo "$window"
  }

  # Starts the program and waits for its main window; sets $pid and $client.
  start_program() {
    wine "$program" >/dev/null 2>&1 &
    pid=$!
    client=""
    local _
    for _ in $(seq 150); do
      client=$(main_window)
      [ -n "$client" ] && break
      sleep 0.2
    done
    [ -n "$client" ] || { echo "The main window did not appear." >&2; exit 1; }
    sleep 1.5  # let it paint
  }

  # Ends the program with Ctrl+Q in its main window, or kills it when it does not end.
  end_program() {
    local _
    xdotool windowactivate --sync "$client" key --clearmodifiers ctrl+q >/dev/null 2>&1 || true
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
  }

  # Opens the public address'"'"'s menu with a right click on its label; sets $popup.
  open_address_menu() {
    local x y h id _
    x=$(geometry "$client" "Absolute upper-left X"); y=$(geometry "$client" "Absolute upper-left Y")
    h=$(geometry "$client" "Height")
    # lblWANip lies at 105, 465 twips in the client area, 2085 by 285 twips: 7, 31 pixels at
    # 96 dpi, 139 by 19. The X window also holds the menu bar above the client area, which is
    # 1980 twips (132 pixels) high. The click goes near the label'"'"'s lower right corner, beside
    # the address, so that the menu leaves the address in sight.
    local clientTop=$((y + h - 132))
    xdotool mousemove $((x + 125)) $((clientTop + 46)) click 3
    popup=""
    for _ in $(seq 50); do
      for id in $(program_windows); do
        [ "$id" = "$client" ] && continue
        [[ $(xwininfo -id "$id") == *"Override Redirect State: yes"* ]] && popup=$id
      done
      [ -n "$popup" ] && break
      sleep 0.1
    done
    [ -n "$popup" ] || { echo "The address menu did not open." >&2; exit 1; }
    sleep 0.5
  }

  # One picture: shot FILE FORECOLOR [menu]. With "menu", the public address label gets a right
  # click and the picture also holds the menu that opens.
  shot() {
    local file=$1 fore=$2 menu=${3:-}
    wine reg add "$key" /v ForeColor /d "$fore" /f >/dev/null
    wine reg delete "$key" /v Top /f >/dev/null 2>&1 || true
    wine reg delete "$key" /v Left /f >/dev/null 2>&1 || true
    start_program
    if [ -z "$menu" ]; then
      save_window "$client" "$file"
    else
      local left top right bottom
      read -r left top right bottom < <(frame_edges "$client")
      open_address_menu
      import -window root "$scratch/screen.png"
      # The window and the menu on a transparent ground: the menu reaches past the window.
      local px py pw ph
      px=$(geometry "$popup" "Absolute upper-left X"); py=$(geometry "$popup" "Absolute upper-left Y")
      pw=$(geometry "$popup" "Width"); ph=$(geometry "$popup" "Height")
      local l=$left t=$top r=$right b=$bottom
      ((px < l)) && l=$px
      ((py < t)) && t=$py
      ((px + pw > r)) && r=$((px + pw))
      ((py + ph > b)) && b=$((py + ph))
      convert -size "$((r - l))x$((b - t))" xc:none \
        \( "$scratch/screen.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \) \
        -geometry "+$((left - l))+$((top - t))" -composite \
        \( "$scratch/screen.png" -crop "${pw}x${ph}+$px+$py" +repage \) \
        -geometry "+$((px - l))+$((py - t))" -composite "$root/docs/$file"
      echo "Saved docs/$file ($((r - l))x$((b - t)))"
    fi
    # Esc closes an open menu; Ctrl+Q ends the program.
    xdotool key --clearmodifiers Escape
    sleep 0.3
    end_program
  }

  # One picture of a window of the Options menu: menu_window_shot FILE TITLE SHORTCUT ACTION. The
  # window opens by its shortcut in the main window; ACTION then shows it at work:
  #   select   the list'"'"'s first and last entries selected with the keyboard (Space, Down)
  #   find     the LAN address found in the report
  menu_window_shot() {
    local file=$1 title=$2 shortcut=$3 action=$4
    wine reg add "$key" /v ForeColor /d 65280 /f >/dev/null
    local value
    for value in Top Left IPconfig_Top IPconfig_Left IPconfig_Width IPconfig_Height; do
      wine reg delete "$key" /v $value /f >/dev/null 2>&1 || true
    done
    start_program
    xdotool windowactivate --sync "$client" key --clearmodifiers "$shortcut"
    local window
    window=$(wait_window "$title")
    sleep 1
    case $action in
      select) xdotool key --clearmodifiers space Down Down space ;;
      find)
        # The search box lies 9 pixels from the left of the client area, 40 to 20 from its foot.
        local x y h
        x=$(geometry "$window" "Absolute upper-left X"); y=$(geometry "$window" "Absolute upper-left Y")
        h=$(geometry "$window" "Height")
        xdotool mousemove $((x + 60)) $((y + h - 30)) click 1
        xdotool type --delay 50 "$lan"
        xdotool key --clearmodifiers Return
        ;;
    esac
    sleep 1
    save_window "$window" "$file"
    xdotool key --clearmodifiers Escape
    sleep 0.5
    end_program
  }

  # The mail window, opened with the e-mail entry of the address menu: mail_shot FILE. The
  # password goes in through the access key of its label, a file through the open-file dialog.
  mail_shot() {
    local file=$1 window
    wine reg add "$key" /v ForeColor /d 65280 /f >/dev/null
    start_program
    open_address_menu
    xdotool key e
    window=$(wait_window "^Send mail$")
    sleep 0.5
    xdotool key alt+p
    xdotool type --delay 40 "Secr3t pass"
    xdotool key alt+a
    sleep 1.5
    xdotool type --delay 20 "C:\\windows\\win.ini"
    xdotool key Return
    sleep 1
    save_window "$window" "$file"
    # Esc closes the mail window, which stores its settings.
    xdotool key --clearmodifiers Escape
    sleep 0.5
    end_program
  }

  # The watch settings window: watch_settings_shot FILE. Its program shows it alone, centred on the
  # screen, with the settings stored here; Esc cancels it, so that nothing is stored.
  watch_settings_shot() {
    local file=$1 window wpid _
    wine reg add "$key" /v WatchMinutes /d 15 /f >/dev/null
    wine reg add "$key" /v WatchMail /d 1 /f >/dev/null
    wine reg add "$key" /v WatchCommand /d "C:\\tools\\notify.cmd %1 %2" /f >/dev/null
    wine "$settings" >/dev/null 2>&1 &
    wpid=$!
    window=$(wait_window "^Watch settings$")
    sleep 1
    save_window "$window" "$file"
    xdotool windowactivate --sync "$window" key --clearmodifiers Escape >/dev/null 2>&1 || true
    for _ in $(seq 50); do kill -0 "$wpid" 2>/dev/null || break; sleep 0.1; done
    kill "$wpid" 2>/dev/null || true
    wait "$wpid" 2>/dev/null || true
  }

  # Watch mode'"'"'s icon and its menu, opened with a right click: watch_menu_shot FILE. Wine shows the
  # notification area as a small window of its own at the top left, where the main window first
  # opens: that goes elsewhere first.
  watch_menu_shot() {
    local file=$1 tray menu id _ l t r b
    wine reg add "$key" /v Watch /d 1 /f >/dev/null
    wine reg add "$key" /v ForeColor /d 65280 /f >/dev/null
    start_program
    xdotool windowmove "$client" 400 300
    sleep 0.5
    tray=$(wait_window "Wine System Tray")
    read -r l t r b < <(frame_edges "$tray")
    xdotool mousemove "$(geometry "$tray" "Absolute upper-left X")" "$(geometry "$tray" "Absolute upper-left Y")" \
      mousemove_relative 8 8 click 3
    menu=""
    for _ in $(seq 50); do
      for id in $(program_windows); do
        [[ $(xwininfo -id "$id") == *"Override Redirect State: yes"* ]] && menu=$id
      done
      [ -n "$menu" ] && break
      sleep 0.1
    done
    [ -n "$menu" ] || { echo "The icon'"'"'s menu did not open." >&2; exit 1; }
    sleep 0.5
    local mx my mw mh
    mx=$(geometry "$menu" "Absolute upper-left X"); my=$(geometry "$menu" "Absolute upper-left Y")
    mw=$(geometry "$menu" "Width"); mh=$(geometry "$menu" "Height")
    ((mx + mw > r)) && r=$((mx + mw))
    ((my + mh > b)) && b=$((my + mh))
    import -window root "$scratch/screen.png"
    convert "$scratch/screen.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage "$root/docs/$file"
    echo "Saved docs/$file ($((r - l))x$((b - t)))"
    xdotool key --clearmodifiers Escape
    sleep 0.3
    wine reg add "$key" /v Watch /d 0 /f >/dev/null
    end_program
  }

  shot main-window.png 65280
  shot main-window-black-on-white.png 0
  shot address-menu.png 65280 menu

  # The LAN address, as the configuration report names it.
  lan=$(wine cmd /c ipconfig /all 2>/dev/null | tr -d "\r" | awk -F": " "/IPv4 address/ && \$2 != \"127.0.0.1\" {print \$2; exit}")
  # The viewer and the list have no minimise or maximise box: their frames show the close button.
  sed "s#<titleLayout>[A-Z]*</titleLayout>#<titleLayout>NLC</titleLayout>#" /etc/xdg/openbox/rc.xml >"$scratch/rc.xml"
  openbox --reconfigure
  menu_window_shot all-addresses.png "^All .Local. IP" ctrl+i select
  menu_window_shot ip-config.png "^IP Config$" ctrl+m find
  mail_shot send-mail.png
  watch_settings_shot watch-settings.png
  watch_menu_shot watch-menu.png
' bash "$root" "$build/netbeacon.exe" "$build/tests/watch/show_watch_settings.exe"
