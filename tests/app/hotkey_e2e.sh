#!/bin/bash
# The keyboard way to the history, as a user takes it: with another
# program's edit box in front, Win+Alt+V on the X keyboard opens the stack
# menu at the box's caret; Down, Down, Enter pastes the newest history entry
# into the box; Escape closes the menu, pastes nothing and leaves the focus
# in the box. A combination chosen in the properties window works after a
# restart.
#
# hotkey_e2e.sh TOLVARAN TVCLIP TVEDIT WINE_RUN WORK_DIR
set -u
program=$1 tvclip=$2 tvedit=$3 wine_run=$4 work=$5
# wait_for and the other helpers the shell tests share.
source "$(dirname "$0")/../lib/simtest.sh"

[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY"; exit 1; }
command -v xdotool > /dev/null || { echo "no xdotool"; exit 77; }
rm -rf "$work"
mkdir -p "$work"
win_work="Z:${work//\//\\}"
app_pid='' edit_pid='' copier_pids=()
# Where the edit box's window stands, 400 x 200; its box runs along the top.
edit_x=100 edit_y=100

cleanup() {
  local pid
  # A copier stays until another program takes the clipboard over.
  for pid in "${copier_pids[@]}"; do kill "$pid" 2>/dev/null; done
  "$wine_run" "$tvclip" quit > /dev/null 2>&1
  "$wine_run" "$tvedit" quit > /dev/null 2>&1
  for pid in $app_pid $edit_pid; do
    wait_for 10 gone "$pid" || kill "$pid" 2>/dev/null
  done
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

gone() { ! kill -0 "$1" 2>/dev/null; }
box_text() {
  "$wine_run" "$tvedit" text "$win_work\\text" > /dev/null 2>&1 && cat "$work/text"
}
box_holds() { [ "$(box_text)" = "$1" ]; }
front_is_box() { "$wine_run" "$tvedit" front > /dev/null 2>&1; }
clipboard_holds() {
  local hex
  hex=$(printf '%s' "$1" | od -An -tx1 | tr -d ' \n')
  "$wine_run" "$tvclip" dump "$win_work\\dump" > /dev/null 2>&1 && grep -q "^1 1 $hex" "$work/dump"
}

# Copies text as another program does; the copier stays until the next copy.
copy() {
  rm -f "$work/copied"
  "$wine_run" "$tvclip" copy "$1" "$win_work\\copied" > /dev/null 2>&1 &
  copier_pids+=($!)
  wait_for 20 test -f "$work/copied" || fail "the program did not take '$1' in"
}

# A hot key on the X keyboard (xdotool's names, Win+Alt+V unless given),
# which reaches Wine while a Wine window has the X focus. Without a window
# manager Wine hands the X focus around itself (a start shows its tray
# window, which may take it, and keys given to that are lost): the box's
# window gets it first, as a click would give it, with the pointer over it.
press_hot_key() {
  local keys=${1:-super+alt+v}
  xdotool mousemove $((edit_x + 300)) $((edit_y + 150))
  timeout 10 xdotool search --name '^tvedit$' windowfocus --sync || fail "the box's window did not take the X focus"
  wait_for 10 front_is_box || fail "the box's window is not in front"
  xdotool key "$keys"
  "$wine_run" "$tvclip" menu "$win_work\\menu" > /dev/null 2>&1 || fail "$keys opened no menu"
}

# The program, then the box's window in front of it.
start_program_and_box() {
  "$wine_run" "$tvedit" quit > /dev/null 2>&1
  [ -z "$edit_pid" ] || wait_for 20 gone "$edit_pid" || fail "the box did not end"
  "$wine_run" "$program" > /dev/null 2>&1 &
  app_pid=$!
  "$wine_run" "$tvclip" ready > /dev/null 2>&1 || fail "the program did not start"
  "$wine_run" "$tvedit" run $edit_x $edit_y > /dev/null 2>&1 &
  edit_pid=$!
  wait_for 20 front_is_box || fail "the edit box did not come to the front"
}

"$wine_run" reg delete 'HKCU\Software\Quilnor\Tolvaran' /f > /dev/null 2>&1
start_program_and_box
copy "alpha"
copy "beta"
copy "gamma"

press_hot_key
read -r left top _ < "$work/menu"
# At the caret, near the box's left end, not at the pointer far to its right.
[ "$left" -ge $edit_x ] && [ "$left" -lt $((edit_x + 100)) ] && [ "$top" -ge $edit_y ] &&
  [ "$top" -lt $((edit_y + 60)) ] || fail "the menu opened at $left,$top, not at the caret"
# The current content, then the history newest first: gamma, beta, alpha.
"$wine_run" "$tvclip" keys down down return > /dev/null 2>&1 || fail "could not press keys on the menu"
wait_for 10 box_holds "beta" || fail "the box holds '$(box_text)', not the chosen 'beta'"
clipboard_holds "beta" || fail "the chosen entry is not on the clipboard"
echo "Win+Alt+V, Down, Down, Enter pasted the history entry"

press_hot_key
"$wine_run" "$tvclip" keys escape > /dev/null 2>&1 || fail "could not press Escape on the menu"
"$wine_run" "$tvclip" flush > /dev/null 2>&1 || fail "the program did not get through the menu"
# Typing goes on in the box, after what it held: nothing was pasted.
xdotool type "x"
wait_for 10 box_holds "betax" || fail "after Escape the box holds '$(box_text)', not 'betax'"
clipboard_holds "beta" || fail "Escape changed the clipboard"
echo "Escape closed the menu and changed nothing"

# Alt+Shift+K: the field's value is the key, then shift 1 and alt 4.
"$wine_run" "$program" > /dev/null 2>&1 || fail "a second start did not end"
"$wine_run" "$tvclip" hotkey $(( (1 | 4) << 8 | 0x4B )) 0 > /dev/null 2>&1 ||
  fail "the properties window did not take Alt+Shift+K"
"$wine_run" "$tvclip" quit > /dev/null 2>&1
wait_for 20 gone "$app_pid" || fail "the program did not exit"
start_program_and_box
press_hot_key alt+shift+k
"$wine_run" "$tvclip" keys escape > /dev/null 2>&1 || fail "could not press Escape on the menu"
echo "Alt+Shift+K, chosen in the properties window, worked after a restart"
