#!/usr/bin/env bash
# A 10 MB clipboard fetched through the real programs between two simulated
# computers (B shares it, A fetches it under the get and progress dialogs),
# beside the plain UDP round trip of a 420-byte datagram between the same
# two in the same run. Run by hand as root, after a Windows build:
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

work=$(mktemp -d "${TMPDIR:-/tmp}/tvfetch.XXXXXX")
dir=$work/sim
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  netsim_down "$dir" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

on() {
  local k=$1
  shift
  netsim_run "$dir" "$k" "$TOLVARAN_ROOT/scripts/wine-run" "$@" </dev/null | tr -d '\r'
}
in_background() {
  local k=$1
  shift
  netsim_exec "$dir" "$k" "$TOLVARAN_ROOT/scripts/wine-run" "$@" </dev/null >>"$work/background.log" 2>&1 &
  pids+=($!)
}

netsim_up "$dir" 2 >/dev/null
in_background 1 "$bin/nettool.exe" udppong 60
sleep 0.5  # the ponger prints nothing to wait on
echo "== 420-byte UDP round trips, TVSIM2 -> TVSIM1 and back"
on 2 "$bin/nettool.exe" udpping TVSIM1 5000
kill "${pids[@]}" 2>/dev/null || true

on 1 "$bin/tvstate.exe" Anna >/dev/null
on 2 "$bin/tvstate.exe" Bert10 >/dev/null
in_background 2 "$bin/Tolvaran.exe"
on 2 "$bin/tvclip.exe" ready >/dev/null
echo "== a 10 MB clipboard fetched from TVSIM2 by TVSIM1, through the programs"
for ((round = 1; round <= rounds; round++)); do
  on 1 "$bin/test_share.exe" --gtest_also_run_disabled_tests --gtest_filter='*FetchSpeed' | grep '^fetch' || true
done
on 2 "$bin/tvclip.exe" quit >/dev/null
