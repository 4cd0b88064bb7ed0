#!/usr/bin/env bash
# A 10 MB clipboard fetched through the real programs between two simulated
# computers (B shares it, A fetches it under the get and progress dialogs),
# beside the plain UDP round trip of a 420-byte datagram between the same
# two in the same run; then the same fetch while a third computer, C, asks B
# five times a second for what B shares with everybody, as an unknown
# computer that never acknowledges the answers. Run by hand as root, after a
# Windows build:
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

fetches() {
  local round
  for ((round = 1; round <= rounds; round++)); do
    on_computer 1 "$bin/test_share.exe" --gtest_also_run_disabled_tests --gtest_filter='*FetchSpeed' |
      grep '^fetch' || true
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
on_computer_in_background 1 "$bin/nettool.exe" udppong 60
sleep 0.5  # the ponger prints nothing to wait on
echo "== 420-byte UDP round trips, TVSIM2 -> TVSIM1 and back"
on_computer 2 "$bin/nettool.exe" udpping TVSIM1 5000
kill "${background[@]}" 2>/dev/null || true

on_computer 1 "$bin/tvstate.exe" Anna >/dev/null
on_computer 2 "$bin/tvstate.exe" Bert10 >/dev/null
on_computer_in_background 2 "$bin/Tolvaran.exe"
on_computer 2 "$bin/tvclip.exe" ready >/dev/null
echo "== a 10 MB clipboard fetched from TVSIM2 by TVSIM1, through the programs"
fetches
echo "== the same while TVSIM3 asks TVSIM2 five times a second and never acknowledges"
pester &
background+=("$!")
fetches
touch "$work/quiet"
on_computer 2 "$bin/tvclip.exe" quit >/dev/null
