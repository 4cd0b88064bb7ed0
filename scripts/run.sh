#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit Tolvaran.exe and starts it under
# Wine, in a prefix of the project's own. With no $DISPLAY it starts a virtual
# one and says how to look at it. "scripts/run.sh stop" ends it all again.
set -euo pipefail
export TOLVARAN_ROOT
TOLVARAN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$TOLVARAN_ROOT"
source scripts/lib/wine.sh
source scripts/lib/build.sh

state="$TOLVARAN_ROOT/build/run"
prefix="$state/prefix"
export TOLVARAN_WINEPREFIX="$prefix" TOLVARAN_WINEHOME="$prefix.home"

if [ "${1:-}" = "stop" ]; then
  stop_prefix "$prefix"
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid" "$state/display"
  fi
  echo "Tolvaran stopped."
  exit 0
fi

scripts/install-deps.sh
configure_preset win32
cmake --build --preset win32 --target Tolvaran
mkdir -p "$state"

own_display=""
if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
  export DISPLAY
  DISPLAY=$(cat "$state/display")
  own_display=yes
elif [ -z "${DISPLAY:-}" ]; then
  start_display
  echo "$XVFB_PID" >"$state/xvfb.pid"
  echo "$DISPLAY" >"$state/display"
  own_display=yes
fi

make_prefix "$prefix"
# A real desktop has a window manager to frame and place the windows; the
# virtual display has none, and Wine would wait for it.
managed=Y
[ -n "$own_display" ] && managed=N
in_prefix "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1

# A copy already running answers by showing its properties window.
setsid "$TOLVARAN_ROOT/scripts/wine-run" build/win32/bin/Tolvaran.exe </dev/null >"$state/tolvaran.log" 2>&1 &

echo "Tolvaran is running on display $DISPLAY (Wine prefix $prefix)."
if [ -n "$own_display" ]; then
  echo "That is a virtual display. To see it, take a screenshot:"
  echo "  import -display $DISPLAY -window root tolvaran.png"
  echo "Its tray buttons sit in the \"Wine System Tray\" window."
fi
echo "To stop it: bash scripts/run.sh stop"
