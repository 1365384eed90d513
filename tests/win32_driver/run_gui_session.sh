#!/usr/bin/env bash
# Runs the Win32 window's driver under Wine on an X server of its own, in a Wine prefix
# made afresh for the run, and ends the prefix's server and the X server on every way out.
# usage: run_gui_session.sh DRIVER.exe VELMORA.exe SCREENSHOT.png
# Exit status: the driver's (0 when every step passed), 77 when Xvfb or Wine is missing.
set -uo pipefail
driver=$1
program=$2
screenshot=$3

wine=${VELMORA_WINE:-/usr/lib/wine/wine64}
[[ -x "$wine" ]] || wine=$(command -v wine64 || command -v wine || true)
wineserver=$(dirname "${wine:-/}")/wineserver
[[ -x "$wineserver" ]] || wineserver=$(command -v wineserver || true)
if ! command -v Xvfb >/dev/null || [[ -z "$wine" || -z "$wineserver" ]]; then
  echo "skipped: this test needs Xvfb and Wine (tools/test-windows.sh installs them)"
  exit 77
fi

# Everything of the run lives here: the prefix and the logs.
session=$PWD/win32_gui_session
rm -rf "$session"
mkdir -p "$session"
export WINEPREFIX=$session/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

xvfb=""
status=1
finish() {
  "$wineserver" -k 2>/dev/null
  if [[ -n "$xvfb" ]]; then
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
  fi
  # The prefix takes some 700 MB: kept only to look into a failed run.
  ((status == 0)) && timeout 10 "$wineserver" -w 2>/dev/null && rm -rf "$WINEPREFIX"
}
trap finish EXIT
trap 'exit 1' INT TERM HUP

# Xvfb writes its display number to fd 3 once it accepts clients.
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1600x1200x24 3>"$session/display" 2>"$session/xvfb.log" &
xvfb=$!
for ((i = 0; i < 100; i++)); do
  [[ -s "$session/display" ]] && break
  kill -0 "$xvfb" 2>/dev/null || { cat "$session/xvfb.log" >&2; echo "Xvfb ended before it was ready" >&2; exit 1; }
  sleep 0.1
done
[[ -s "$session/display" ]] || { echo "Xvfb reported no display within 10 s" >&2; exit 1; }
export DISPLAY=:$(head -n 1 "$session/display")

started=$(date +%s.%N)
timeout 90 "$wine" wineboot -i >"$session/wineboot.log" 2>&1 || { echo "wineboot failed" >&2; exit 1; }
# Without a window manager, a closed dialog otherwise stalls two seconds; a crash would
# wait for a click forever; Chinese would show as boxes without a font that has it.
cat >"$session/settings.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"SimSun"="WenQuanYi Micro Hei"
"NSimSun"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"MS UI Gothic"="WenQuanYi Micro Hei"
EOF
timeout 30 "$wine" regedit /S "$session/settings.reg" >>"$session/wineboot.log" 2>&1 ||
  { echo "importing the Wine settings failed" >&2; exit 1; }
prepared=$(date +%s.%N)

# The driver bounds each of its waits; this bounds the whole run in case Wine itself hangs.
# The collections go to the prefix's C: drive, so the window's title shows a short path.
timeout 150 "$wine" "$driver" "Z:$program" "Z:$screenshot" 'C:\'
status=$?
ended=$(date +%s.%N)
awk -v a="$started" -v b="$prepared" -v c="$ended" \
  'BEGIN { printf "time: fresh prefix %.1f s, scenario %.1f s\n", b - a, c - b }'
((status == 124)) && echo "the driver did not end within 150 s" >&2
exit "$status"
