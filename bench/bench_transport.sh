#!/usr/bin/env bash
# Throughput of the transport between two simulated computers, beside the
# plain UDP round trip of a 420-byte datagram between the same two, one at a
# time and 16 in flight, in the same run. Run by hand as root, after a Windows build:
#   bench/bench_transport.sh [BUILD_DIR] [MEGABYTES] [ROUNDS]
# (defaults build/win32, 10, 3). Prints one line per measurement: the UDP
# ping-pong, then the acknowledged transfer with one message in flight
# (stop-and-wait) and with the default window of 16, ROUNDS times each.
set -euo pipefail
export TOLVARAN_ROOT
TOLVARAN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$TOLVARAN_ROOT/build/win32}")
megabytes=${2:-10}
rounds=${3:-3}
tool=$build/bin/nettool.exe
[ -f "$tool" ] || {
  echo "no $tool: build the Windows targets first" >&2
  exit 1
}
source "$TOLVARAN_ROOT/scripts/lib/netsim.sh"
source "$TOLVARAN_ROOT/tests/lib/simtest.sh"
sim_session tvbench

on() {
  local k=$1
  shift
  on_computer "$k" "$tool" "$@"
}
in_background() {
  local k=$1
  shift
  on_computer_in_background "$k" "$tool" "$@"
}
# At most 20 seconds for FILE to appear.
await() {
  local tries=400
  until [ -e "$1" ]; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.05
  done
}

netsim_up "$dir" 2 >/dev/null
mkdir -p "$work/in"
in_background 1 listen "Z:${work//\//\\}\\in" 600
in_background 1 udppong 600
await "$work/in/ready"
sleep 0.5  # the ponger prints nothing the script could wait on

echo "== 420-byte UDP round trips, TVSIM2 -> TVSIM1 and back; then 16 in flight"
on 2 udpping TVSIM1 5000
on 2 udpflow TVSIM1 50000 16
bytes=$((megabytes << 20))
for window in 1 16; do
  echo "== $megabytes MB acknowledged, window $window"
  for ((round = 1; round <= rounds; round++)); do
    on 2 send TVSIM1 3 "$bytes" "$round" --window "$window"
  done
done
touch "$work/in/quit"
