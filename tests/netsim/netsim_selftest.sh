#!/usr/bin/env bash
# Simulated computers (scripts/lib/netsim.sh) seen from inside by a Windows
# program: each has its own name, a broadcast from one reaches all, names
# resolve, clipboards are separate. Then down leaves nothing behind, after
# an up that worked and after one that failed.
#   netsim_selftest.sh NETPROBE_EXE
# Exit code 77 (skipped) without root or network namespaces.
set -uo pipefail


probe=$(realpath "$1")
export TOLVARAN_ROOT
TOLVARAN_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$TOLVARAN_ROOT/scripts/lib/netsim.sh"
source "$TOLVARAN_ROOT/tests/lib/simtest.sh"
need_simulated_computers

work=$(mktemp -d "${TMPDIR:-/tmp}/tvsim-test.XXXXXX")
dir="$work/run"
failed_dir="$work/failed"
trap 'netsim_down "$dir" >/dev/null 2>&1; netsim_down "$failed_dir" >/dev/null 2>&1; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM HUP





probe_on() {
  local k=$1
  shift
  netsim_run "$dir" "$k" "$TOLVARAN_ROOT/scripts/wine-run" "$probe" "$@" | tr -d '\r'
}

# Starts the probe on computer K in the background, its output in FILE; the
# pid (the Windows program's own: netsim_exec replaces the subshell) in $started.
probe_in_background() {
  local k=$1 file=$2
  shift 2
  netsim_exec "$dir" "$k" "$TOLVARAN_ROOT/scripts/wine-run" "$probe" "$@" >"$file" 2>&1 &
  started=$!
}

has_line() {
  tr -d '\r' 2>/dev/null <"$2" | grep -qxF -- "$1"
}

# Prints what is left of the run in DIR; PIDS are processes it had.
leftovers() {
  local real prefix pid display ns
  real=$(realpath -m "$1")
  prefix=$(_netsim_prefix "$real")
  shift
  for ns in /run/netns/"$prefix"-*; do
    [ -e "$ns" ] && echo "namespace ${ns#/run/netns/}"
  done
  for ns in /etc/netns/"$prefix"-*; do
    [ -e "$ns" ] && echo "$ns"
  done
  grep -F " $real/" /proc/self/mountinfo | sed 's/^/mount /'
  grep -lsF "$prefix " "$NETSIM_CLAIMS"/subnet-* 2>/dev/null | sed 's/^/claim /'
  for pid in "$@" $(grep -lzx -F "NETSIM_DIR=$real" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3); do
    running "$pid" && echo "process $pid $(cat "/proc/$pid/comm" 2>/dev/null)"
  done
  for display in "$real"/*/display; do
    [ -f "$display" ] || continue
    display=$(cut -c2- "$display")
    [ -e "/tmp/.X$display-lock" ] && echo "/tmp/.X$display-lock"
    [ -e "/tmp/.X11-unix/X$display" ] && echo "/tmp/.X11-unix/X$display"
  done
  return 0
}

# Whether the wineserver's private folder $1 (named in its prefix) is gone.
gone() {
  [ -n "$1" ] && [ ! -e "/tmp/$1" ]
}

nothing_left() {
  local left
  left=$(leftovers "$@")
  [ -z "$left" ] || { printf '  left: %s\n' "${left//$'\n'/$'\n'  left: }"; return 1; }
}

start=$(date +%s%N)
if ! netsim_up "$dir" 3; then
  echo "FAILED: up of 3 computers"
  exit 1
fi
echo "up of 3 computers: $((($(date +%s%N) - start) / 1000000)) ms"
address() {
  awk -v k="$1" '$1 == k { print $3 }' "$dir/hosts"
}

for k in 1 2 3; do
  check "computer $k is named TVSIM$k" [ "$(probe_on "$k" name)" = "TVSIM$k" ]
done

# Every computer listens; computer 1 broadcasts once all are ready.
port=24171
token="netsim-$$-$RANDOM"
listeners=()
for k in 1 2 3; do
  probe_in_background "$k" "$work/listen$k" listen "$port" 10000
  listeners+=("$started")
done
for k in 1 2 3; do
  check "computer $k listens on UDP $port" wait_for 10 has_line ready "$work/listen$k"
done
check "computer 1 broadcasts to 255.255.255.255:$port" probe_on 1 broadcast "$port" "$token"
for k in 1 2 3; do
  finish 10 "${listeners[$((k - 1))]}"
  check "computer $k got the broadcast from $(address 1)" has_line "from $(address 1) $token" "$work/listen$k"
done

check "computer 2 finds TVSIM3 at $(address 3)" [ "$(probe_on 2 resolve TVSIM3)" = "$(address 3)" ]

probe_in_background 1 "$work/clipset" clipset "$token" 20000
setter=$started
check "computer 1 puts text on its clipboard" wait_for 10 has_line set "$work/clipset"
check "computer 1 reads it back" [ "$(probe_on 1 clipget)" = "$token" ]
check "computer 2 does not see it" [ "$(probe_on 2 clipget)" != "$token" ]
kill "$setter" 2>/dev/null
finish 5 "$setter"

# Everything the run had, to be sure it is gone after down.
prefix=$(_netsim_prefix "$(realpath "$dir")")
pids=()
for ns in "$prefix"-br "$prefix"-1 "$prefix"-2 "$prefix"-3; do
  mapfile -t -O "${#pids[@]}" pids < <(ip netns pids "$ns")
done
for k in 1 2 3; do
  pids+=("$(cut -d' ' -f1 "$dir/$k/xvfb.pid")")
  private[k]=$(cat "$dir/$k/prefix/wineserver" 2>/dev/null)
done
mapfile -t pids < <(printf '%s\n' "${pids[@]}" | sort -un)
# Three of each, so that "nothing left" below means something.
count_named() {
  local pattern=$1 pid n=0
  for pid in "${pids[@]}"; do
    # shellcheck disable=SC2053  # a pattern on purpose
    [[ "$(cat "/proc/$pid/comm" 2>/dev/null)" == $pattern ]] && n=$((n + 1))
  done
  echo "$n"
}
check "the run has 3 Xvfb processes" [ "$(count_named Xvfb)" -eq 3 ]
check "the run has 3 wineservers" [ "$(count_named 'wineserver*')" -eq 3 ]

start=$(date +%s%N)
check "down succeeds" netsim_down "$dir"
echo "down of 3 computers: $((($(date +%s%N) - start) / 1000000)) ms"
check "down leaves nothing" nothing_left "$dir" "${pids[@]}"
for k in 1 2 3; do
  check "the private folder of server $k is gone" gone "${private[$k]}"
done
# shellcheck disable=SC2016  # eval expands it
check "down again is quiet and succeeds" eval '[ -z "$(netsim_down "$dir" 2>&1)" ]'

# A Wine start that cannot finish in time: up fails after its displays and
# servers were started, and must take them down itself.
# shellcheck disable=SC2016  # eval expands it
check "an up that fails says so" eval '! NETSIM_WARMUP_TIMEOUT=0.3 netsim_up "$failed_dir" 2 2>/dev/null'
check "the failed up leaves nothing" nothing_left "$failed_dir"

[ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
echo "all checks passed"
