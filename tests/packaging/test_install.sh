#!/usr/bin/env bash
# The installer at work under Wine, on a virtual display and in a fresh
# prefix of this test's own:
#
#   test_install.sh SETUP_EXE EXE32 EXE64 WORK_DIR
#
# 1. A silent install in a 64-bit prefix puts the 64-bit program, its Start
#    menu shortcut, the start at sign-in and the uninstall entry in place.
# 2. The installed program starts: its process, its hidden main window and
#    the tray that holds its icon appear.
# 3. Installing again over the running program asks it to exit (it ends
#    with 0, having saved) and replaces the program file.
# 4. The registered silent uninstall, run while the program runs, ends it
#    and removes everything the installer made; the program's state stays.
# 5. A stack file, its siblings and the "Set" value stay byte for byte
#    through another install and uninstall.
# 6. In a 32-bit prefix the silent install puts the 32-bit program in place.
#
# Every wait is bounded. The processes started here run in the test's own
# prefix, whose server ends them all at the end.
set -euo pipefail

if [ $# -ne 4 ]; then
  echo "usage: test_install.sh SETUP_EXE EXE32 EXE64 WORK_DIR" >&2
  exit 2
fi
setup=$(realpath "$1")
exe32=$(realpath "$2")
exe64=$(realpath "$3")
work=$(realpath -m "$4")
export TOLVARAN_ROOT
TOLVARAN_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$TOLVARAN_ROOT/scripts/lib/wine.sh"

for file in "$setup" "$exe32" "$exe64"; do
  [ -f "$file" ] || { echo "FAIL: $file is missing (build the dist target: cmake --build --preset dist)"; exit 1; }
done

made="${TOLVARAN_MADE_PREFIX:-$TOLVARAN_ROOT/build/wine/made-prefix}"
made32="${TOLVARAN_MADE_PREFIX32:-$TOLVARAN_ROOT/build/wine/made-prefix-32}"
prefix64="$work/prefix"
prefix32="$work/prefix-32"
# The prefix the steps work in: first the 64-bit one, at the end the 32-bit one.
prefix=$prefix64
# The program the installer must have put in place there.
expected_exe=$exe64
wine_run="$TOLVARAN_ROOT/scripts/wine-run"
# No Linux menu entries for the shortcuts the installer makes.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvaran'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
program_key='HKCU\Software\Quilnor\Tolvaran'
folders_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'

program_pid=""
cleanup() {
  local status=$?
  stop_prefix "$prefix64"
  stop_prefix "$prefix32"
  [ -n "$program_pid" ] && wait "$program_pid" 2>/dev/null || true
  stop_display
  if [ "$status" -eq 0 ]; then
    rm -rf "$prefix64" "$prefix64.home" "$prefix32" "$prefix32.home"
  else
    echo "The prefixes are kept for a look: $prefix64 $prefix32"
  fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  exit 1
}

started=$(date +%s%N)
step_started=$started
step() {
  local now
  now=$(date +%s%N)
  printf '  (%d ms)\n== %s\n' $(((now - step_started) / 1000000)) "$*"
  step_started=$now
}

# A Wine program in the test's prefix, ended when it outlasts LIMIT seconds.
in_test_prefix() {
  local limit=$1
  shift
  TOLVARAN_WINEPREFIX="$prefix" TOLVARAN_WINEHOME="$prefix.home" timeout -k 5 "$limit" "$wine_run" "$@"
}

# Runs the command until it succeeds, for at most LIMIT seconds.
wait_until() {
  local limit=$1
  shift
  local deadline=$(($(date +%s%N) + limit * 1000000000))
  until "$@"; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# The data of a registry value, or nothing (status 1) when it is not there.
reg_value() {
  local key=$1 name=$2 output
  output=$(in_test_prefix 20 reg query "$key" /v "$name" 2>/dev/null | tr -d '\r') || return 1
  sed -n "s/^    $name    REG_[A-Z_]*    //p" <<<"$output" | grep . || return 1
}
key_exists() {
  in_test_prefix 20 reg query "$1" >/dev/null 2>&1
}
uninstall_entry_gone() {
  ! key_exists "$uninstall_key"
}

# A shell folder as a Windows path, the way the installer's shell finds it.
shell_folder() {
  local value
  value=$(in_test_prefix 20 reg query "$folders_key" /v "$1" | tr -d '\r' |
    sed -n "s/^    $1    REG_[A-Z_]*SZ    //p")
  [ -n "$value" ] || fail "no shell folder $1"
  # cmd quotes what holds spaces; no path holds a quote.
  in_test_prefix 20 cmd /c echo "$value" | tr -d '\r"'
}
unix_path() {
  in_test_prefix 20 winepath -u "$1" | tr -d '\r'
}

# The names of the processes running in the prefix.
processes() {
  in_test_prefix 20 winedbg --command "info proc" 2>/dev/null | sed -n "s/.*'\(.*\)'.*/\1/p"
}
process_running() {
  processes | grep -qix "$1"
}
no_process() {
  ! process_running "$1"
}

# X windows on the test's display: the program's hidden main dialog, and
# the stand-alone tray Wine shows when no tray manager runs.
main_window_shown() {
  xdotool search --classname '^tolvaran\.exe$' getwindowname %@ 2>/dev/null | grep -qx Tolvaran
}
main_window_gone() {
  ! main_window_shown
}
tray_shown() {
  xdotool search --name '^Wine System Tray$' >/dev/null 2>&1
}

install() {
  local status=0
  in_test_prefix 60 "$setup" /S || status=$?
  [ "$status" -eq 0 ] || fail "the silent install ended with $status"
}

start_program() {
  TOLVARAN_WINEPREFIX="$prefix" TOLVARAN_WINEHOME="$prefix.home" "$wine_run" "$exe_windows" \
    </dev/null >>"$work/program.log" 2>&1 &
  program_pid=$!
  wait_until 20 main_window_shown || fail "the installed program showed no main window within 20 s"
  process_running Tolvaran.exe || fail "no Tolvaran.exe process"
}

program_gone() {
  ! kill -0 "$program_pid" 2>/dev/null
}

# The program started last has ended, by itself, with exit code 0.
program_ended_cleanly() {
  local status=0
  wait_until 20 program_gone || fail "the running program did not end within 20 s"
  wait "$program_pid" || status=$?
  program_pid=""
  [ "$status" -eq 0 ] || fail "the running program ended with $status"
  main_window_gone || fail "the program's main window is still there"
}

uninstall() {
  local command path status=0
  command=$(reg_value "$uninstall_key" UninstallString) || fail "no UninstallString"
  # The registered command is one quoted path: run it as it stands.
  [[ "$command" =~ ^\"([^\"]+)\"$ ]] || fail "UninstallString is not one quoted path: $command"
  path=${BASH_REMATCH[1]}
  in_test_prefix 60 "$path" /S || status=$?
  [ "$status" -eq 0 ] || fail "the silent uninstall ended with $status"
  # The uninstaller goes on from a copy of itself (Un.exe) and removes the
  # uninstall entry last.
  wait_until 30 uninstall_entry_gone || fail "the uninstall entry is still there after 30 s"
  wait_until 20 no_process Un.exe || fail "the uninstaller is still running after 20 s"
}

check_installed() {
  [ -f "$install_dir/Tolvaran.exe" ] || fail "no $install_dir/Tolvaran.exe"
  [ -f "$install_dir/Uninstall.exe" ] || fail "no $install_dir/Uninstall.exe"
  [ -f "$shortcut" ] || fail "no Start menu shortcut $shortcut"
  # A shell link names its target's path in the link information.
  grep -qaF "$install_windows\\Tolvaran.exe" "$shortcut" || fail "the shortcut does not lead to the installed program"
  local name actual
  local -A expected=(
    [DisplayName]="Tolvaran"
    [DisplayVersion]="$version"
    [Publisher]="Quilnor"
    [UninstallString]="\"$install_windows\\Uninstall.exe\""
    [QuietUninstallString]="\"$install_windows\\Uninstall.exe\" /S"
    [InstallLocation]="$install_windows"
    [DisplayIcon]="$install_windows\\Tolvaran.exe,0"
    [NoModify]="0x1"
    [NoRepair]="0x1"
  )
  for name in "${!expected[@]}"; do
    actual=$(reg_value "$uninstall_key" "$name") || fail "the uninstall entry has no $name"
    [ "$actual" = "${expected[$name]}" ] || fail "uninstall entry $name is '$actual', expected '${expected[$name]}'"
  done
  local size kilobytes
  size=$(reg_value "$uninstall_key" EstimatedSize) || fail "the uninstall entry has no EstimatedSize"
  kilobytes=$((($(stat -c %s "$install_dir/Tolvaran.exe") + $(stat -c %s "$install_dir/Uninstall.exe")) / 1024))
  [ $((size - kilobytes)) -ge -1 ] && [ $((size - kilobytes)) -le 1 ] ||
    fail "EstimatedSize is $((size)) KB, the files take $kilobytes KB"
  actual=$(reg_value "$run_key" Tolvaran) || fail "no Run value: Start with Windows is chosen by default"
  [ "$actual" = "\"$install_windows\\Tolvaran.exe\"" ] || fail "the Run value is '$actual'"
  cmp -s "$install_dir/Tolvaran.exe" "$expected_exe" || fail "the installed program is not the build's $expected_exe"
}

check_removed() {
  [ ! -e "$install_dir" ] || fail "$install_dir is still there: $(ls -A "$install_dir")"
  [ ! -e "$shortcut" ] || fail "the Start menu shortcut is still there"
  ! reg_value "$run_key" Tolvaran >/dev/null || fail "the Run value is still there"
  ! key_exists "$uninstall_key" || fail "the uninstall entry is still there"
}

# Everything the program keeps: the files in Documents and its registry key.
program_state() {
  (cd "$documents" && find . -type f -print0 | sort -z | xargs -0 -r sha256sum)
  in_test_prefix 20 reg query "$program_key" /s | tr -d '\r'
}

# Where the installer puts things in the prefix the steps work in.
find_folders() {
  install_windows="$(shell_folder 'Local AppData')\\Programs\\Tolvaran"
  exe_windows="$install_windows\\Tolvaran.exe"
  install_dir=$(unix_path "$install_windows")
  shortcut="$(unix_path "$(shell_folder Programs)")/Tolvaran.lnk"
  documents=$(unix_path "$(shell_folder Personal)")
  [ -d "$documents" ] && [ -d "$(dirname "$shortcut")" ] && [ -n "$install_dir" ] ||
    fail "the prefix's folders were not found: '$install_dir', '$shortcut', '$documents'"
}

version=$(basename "$setup" | sed -n 's/^Tolvaran-\(.*\)-setup\.exe$/\1/p')
[ -n "$version" ] || fail "cannot read the version from $(basename "$setup")"
mkdir -p "$work"
: >"$work/program.log"

echo "== a display and a fresh 64-bit prefix"
start_display
make_prefix "$made"
fresh_prefix "$made" "$prefix64"
find_folders

step "silent install"
install
check_installed
# Only the finish page, which a silent install skips, starts the program.
no_process Tolvaran.exe || fail "the silent install started the program"

step "the installed program starts"
tray_shown && fail "a tray shows before the program runs"
start_program
wait_until 20 tray_shown || fail "no tray icon within 20 s"

step "installing again over the running program"
# Spoil the installed copy, as an older version would differ: the
# installer must write the file anew. (Appending leaves the running
# program's mapped pages alone.)
printf 'older' >>"$install_dir/Tolvaran.exe"
install
program_ended_cleanly
no_process Tolvaran.exe || fail "a Tolvaran.exe runs after installing again"
check_installed
name=$(reg_value "$program_key" Set) || fail "the program saved no \"Set\" value as it ended"
name=$(python3 -c 'import sys; b = bytes.fromhex(sys.argv[1]); print(b[1:1 + b[0]].decode())' "$name")
[ -f "$documents/$name.Tolvaran" ] || fail "the program saved no $documents/$name.Tolvaran as it ended"

step "silent uninstall while the program runs"
start_program
uninstall
program_ended_cleanly
check_removed
[ -f "$documents/$name.Tolvaran" ] || fail "the program's stack file is gone"
reg_value "$program_key" Set >/dev/null || fail "the \"Set\" value is gone"

step "install and uninstall leave the program's state alone"
printf 'stack\0file\x01\x02\xff' >"$documents/tester.Tolvaran"
printf 'damaged\0' >"$documents/tester.Tolvaran.damaged"
printf 'saved while unreadable\0' >"$documents/tester.Tolvaran.while-unreadable"
in_test_prefix 20 reg add "$program_key" /v Set /t REG_BINARY /d 06746573746572 /f >/dev/null
before=$(program_state)
grep -q 'Set    REG_BINARY    06746573746572' <<<"$before" || fail "reg add did not make the \"Set\" value: $before"
install
check_installed
uninstall
check_removed
after=$(program_state)
[ "$before" = "$after" ] || fail "the program's state changed:
--- before
$before
--- after
$after"

step "a 32-bit Windows gets the 32-bit program"
stop_prefix "$prefix64"
make_prefix "$made32" win32
fresh_prefix "$made32" "$prefix32"
prefix=$prefix32
expected_exe=$exe32
find_folders
install
check_installed
uninstall
check_removed

step "done"
echo "passed in $((($(date +%s%N) - started) / 1000000)) ms"
