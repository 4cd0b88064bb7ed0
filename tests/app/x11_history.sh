#!/bin/bash
# Copies made by an X11 program reach the program through Wine's clipboard
# bridge; each copy must give one history entry, however many notices the
# bridge sends for it.
#
# x11_history.sh TOLVARAN TVCLIP WINE_RUN WORK_DIR
set -u
program=$1 tvclip=$2 wine_run=$3 work=$4
# wait_for and the other helpers the shell tests share.
source "$(dirname "$0")/../lib/simtest.sh"

[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY"; exit 1; }
rm -rf "$work"
mkdir -p "$work"
app_pid='' xclip_pid=''

cleanup() {
  [ -n "$xclip_pid" ] && kill "$xclip_pid" 2>/dev/null
  if [ -n "$app_pid" ]; then
    "$wine_run" "$tvclip" quit > /dev/null 2>&1
    for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.2; done
    kill "$app_pid" 2>/dev/null
  fi
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# As another X program sees the clipboard.
clipboard_is() { [ "$(timeout 5 xclip -selection clipboard -o 2>/dev/null)" = "$1" ]; }
# As a Windows program sees it: the dump holds each format's bytes in hex.
windows_sees() {
  local hex
  hex=$(printf '%s' "$1" | od -An -tx1 | tr -d ' \n')
  "$wine_run" "$tvclip" dump "Z:${work//\//\\}\\dump" > /dev/null 2>&1 && grep -q "^1 1 $hex" "$work/dump"
}

copy() {
  [ -n "$xclip_pid" ] && kill "$xclip_pid" 2>/dev/null
  printf '%s' "$1" | xclip -quiet -selection clipboard -i > /dev/null 2>&1 &
  xclip_pid=$!
  wait_for 10 clipboard_is "$1" || fail "xclip did not take the clipboard for '$1': X has '$(timeout 5 xclip -selection clipboard -o 2>&1)'"
  wait_for 20 windows_sees "$1" || fail "the bridge did not bring '$1' in; Windows sees: $(cut -c1-60 "$work/dump" 2>/dev/null | tr '\n' ' ')"
}

"$wine_run" reg delete 'HKCU\Software\Quilnor\Tolvaran' /f > /dev/null 2>&1
copy "at start"
"$wine_run" "$program" > /dev/null 2>&1 &
app_pid=$!
"$wine_run" "$tvclip" ready > /dev/null 2>&1 || fail "the program did not start"
# Starting, the program puts its capture back; the bridge then takes the X
# selection over, and a copy made before that would be lost to it. Wine
# offers targets xclip does not.
wine_owns_x() { timeout 5 xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -qx MULTIPLE; }
wait_for 10 wine_owns_x || fail "the program's start never reached the X side"
copy "alpha one"
copy "beta two"
# The stack menu: the current content (beta two), then the history newest
# first: alpha one, at start.
"$wine_run" "$tvclip" choose 2 "Z:${work//\//\\}\\chosen" > /dev/null 2>&1 || fail "could not choose from the stack menu"
chosen=$(cat "$work/chosen")
[ "$chosen" = "at start" ] || fail "the second history entry is '$chosen', not 'at start': one copy gave two entries"
echo "one X copy, one history entry"
