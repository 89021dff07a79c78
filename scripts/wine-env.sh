# Sourced by the scripts: the private Wine prefix of a build folder, made ready on first use.
# Usage: wine_prepare BUILD_DIR
wine_prepare() {
  wine_utf8_names
  export WINEPREFIX="$1/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX ..."
    mkdir -p "$1"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    wine_settings_for_tests
    wineserver -w
  fi
  wine_fonts
}

# Wine makes Unix file names in the character set of the Unix locale: in a shell without a UTF-8
# locale (a bare root shell, `env -i`, LANG unset) a file whose name holds anything but ASCII
# cannot be made at all. The character set alone is set, so Windows' locale stays as it was.
wine_utf8_names() {
  case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
    *.UTF-8 | *.utf8 | *.UTF8 | *.utf-8) ;;
    *) if [ -n "${LC_ALL:-}" ]; then export LC_ALL=C.UTF-8; else export LC_CTYPE=C.UTF-8; fi ;;
  esac
}

# Debian's Wine 8 never looks in /usr/share/wine/fonts, where the fonts-wine package puts Wine's own
# fonts: without them "MS Sans Serif", "Tahoma" and the other faces Windows programs ask for are
# drawn with DejaVu Sans, which is wider, so texts overrun their labels. Wine does load every font in
# the prefix's Windows\Fonts folder, so they are copied there: into a new prefix and, for a prefix
# made before, the ones it lacks.
wine_fonts() {
  local from=/usr/share/wine/fonts to="$WINEPREFIX/drive_c/windows/Fonts" font
  if [ ! -d "$from" ]; then
    echo "No $from: install fonts-wine (scripts/deps.sh does) or texts are drawn in the wrong font." >&2
    return 0
  fi
  [ -d "$to" ] || return 0
  for font in "$from"/*; do
    [ -e "$to/${font##*/}" ] || cp "$font" "$to/"
  done
}

# Whether the desktop's window manager frames Wine's windows: Y on a desktop (the usual frame,
# task bar entry), N on a bare virtual screen without a window manager (fast hiding).
wine_windows_managed() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$1" /f >/dev/null 2>&1 || true
}

# What unattended test runs need: without a window manager, hiding a managed window costs 2 s
# each, so Wine manages none; and a program that crashes ends at once with its backtrace on
# stderr instead of waiting behind a crash dialog that nobody closes (which also kept ctest
# waiting for the dialog's inherited output pipe).
wine_settings_for_tests() {
  wine_windows_managed N
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
}

# Starts one persistent wineserver for the prefix and warms it up. A server left by an earlier
# run that was cut short (a persistent one never ends by itself) is ended first.
wine_server_start() {
  if ! timeout 15 wineserver -w 2>/dev/null; then
    wineserver -k 2>/dev/null || true
    timeout 15 wineserver -w 2>/dev/null || true
  fi
  wineserver -p </dev/null >/dev/null 2>&1
  timeout 120 wine wineboot </dev/null >/dev/null 2>&1 || true
}

wine_server_stop() {
  wineserver -k 2>/dev/null || true
  timeout 30 wineserver -w 2>/dev/null || true
}
