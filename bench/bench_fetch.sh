#!/usr/bin/env bash
# The 1080p screenshot (CF_DIB and CF_DIBV5, about 16.6 MB) fetched through
# the real programs between two simulated computers (B shares it, A fetches
# it under the get and progress dialogs), against the plain UDP
# stop-and-wait echo of 420-byte datagrams between the same two in the same
# run (native code, and Wine's nettool beside it): each fetch's time and
# MB/s, and how many times the native echo's MB/s that is. Then the same fetch while a third computer, C, asks B five times a
# second for what B shares with everybody, as an unknown computer that
# never acknowledges the answers. Run by hand as root, after a Windows build:
#   bench/bench_fetch.sh [BUILD_DIR] [ROUNDS]      (defaults build/win32, 3)
set -euo pipefail
export TOLVARAN_ROOT
TOLVARAN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$TOLVARAN_ROOT/build/win32}")
rounds=${2:-3}
bin=$build/bin
[ -f "$bin/test_share.exe" ] || {
  echo "no $bin/test_share.exe: build the Windows targets first" >&2
  exit 1
}
source "$TOLVARAN_ROOT/scripts/lib/netsim.sh"
source "$TOLVARAN_ROOT/tests/lib/simtest.sh"
sim_session tvfetch

# The MB/s figure of a line "... MB/s=X".
speed() {
  sed -n 's/.*MB\/s=\([0-9.]*\).*/\1/p' <<<"$1"
}

# Each fetch's line, with its ratio to the echo's MB/s ($1).
fetches() {
  local round line
  for ((round = 1; round <= rounds; round++)); do
    line=$(on_computer 1 "$bin/test_share.exe" --gtest_also_run_disabled_tests --gtest_filter='*FetchSpeed' |
      grep '^fetch') || { echo "fetch failed"; continue; }
    echo "$line x_udp=$(awk -v f="$(speed "$line")" -v u="$1" 'BEGIN { printf "%.1f", (u > 0 ? f / u : 0) }')"
  done
}

# C's requests, five a second, until $work/quiet exists (ten minutes at most).
pester() {
  local i
  for ((i = 0; i < 3000; i++)); do
    [ -e "$work/quiet" ] && return 0
    on_computer 3 "$bin/nettool.exe" fetch TVSIM2 1 6 pest GHOST >/dev/null
    sleep 0.2
  done
}

netsim_up "$dir" 3 >/dev/null
clang -O2 -o "$work/udp_echo" "$TOLVARAN_ROOT/bench/udp_echo.c"
netsim_exec "$dir" 1 "$work/udp_echo" pong 24172 60 &
background+=("$!")
on_computer_in_background 1 "$bin/nettool.exe" udppong 60
sleep 0.5  # the pongers print nothing to wait on
echo "== 420-byte UDP round trips, stop-and-wait, TVSIM2 -> TVSIM1 and back: native, then under Wine"
udp=$(netsim_exec "$dir" 2 "$work/udp_echo" ping "$(awk '$1 == 1 { print $3 }' "$dir/hosts")" 24172 20000)
echo "$udp"
on_computer 2 "$bin/nettool.exe" udpping TVSIM1 5000
kill "${background[@]}" 2>/dev/null || true

on_computer 1 "$bin/tvstate.exe" Anna >/dev/null
on_computer 2 "$bin/tvstate.exe" Bert1080 >/dev/null
on_computer_in_background 2 "$bin/Tolvaran.exe"
on_computer 2 "$bin/tvclip.exe" ready >/dev/null
echo "== the 1080p screenshot fetched from TVSIM2 by TVSIM1, through the programs"
fetches "$(speed "$udp")"
echo "== the same while TVSIM3 asks TVSIM2 five times a second and never acknowledges"
pester &
background+=("$!")
fetches "$(speed "$udp")"
touch "$work/quiet"
on_computer 2 "$bin/tvclip.exe" quit >/dev/null
