#!/usr/bin/env bash
# The transport between simulated computers (scripts/netsim.sh), driven from
# outside with nettool.exe:
#   net_transport.sh delivery NETTOOL
#       three computers: a broadcast from one reaches the other two; 1 MB
#       acknowledged arrives byte-identical; two acknowledged sends from two
#       threads of one process both arrive, over UDP and through mailslots;
#       10 MB acknowledged arrives byte-identical through a hop that drops or
#       doubles one datagram in ten, and through one that drops every
#       datagram above 1,500 bytes
#   net_transport.sh robustness NETTOOL
#       two computers: after 100,000 hostile datagrams the listener still
#       runs and takes a normal send, its private bytes grown by less than
#       64 MB; stop() returns promptly while a handler sends a long answer to
#       a computer that never echoes, asking the main thread by sent messages
#       between tries
# Exit code 77 (skipped) without root, network namespaces or the simulated
# computers.
set -uo pipefail


group=$1
tool=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
export TOLVARAN_ROOT
TOLVARAN_ROOT=$(cd "$here/../.." && pwd)
source "$TOLVARAN_ROOT/scripts/lib/netsim.sh"
source "$TOLVARAN_ROOT/tests/lib/simtest.sh"
need_simulated_computers python3

sim_session tvnet





field() {
  awk -v k="$1" -v f="$2" '$1 == k { print $f }' "$dir/hosts"
}
address() {
  field "$1" 3
}


# nettool on computer K, in the foreground.
on() {
  local k=$1
  shift
  netsim_run "$dir" "$k" "$TOLVARAN_ROOT/scripts/wine-run" "$tool" "$@" </dev/null | tr -d '\r'
}

# A listener on computer K writing to folder OUT; its pid in $listener.
listen_on() {
  local k=$1 out=$2
  shift 2
  mkdir -p "$out"
  netsim_exec "$dir" "$k" "$TOLVARAN_ROOT/scripts/wine-run" "$tool" listen "$(winpath "$out")" 300 "$@" \
    </dev/null >"$out.log" 2>&1 &
  listener=$!
  background+=("$listener")
  wait_for 20 test -f "$out/ready" && grep -qx "udp 1" "$out/ready"
}

# Ends the listener PID writing to OUT; false unless it ends within SECONDS.
quit_listener() {
  local pid=$1 out=$2 seconds=$3
  touch "$out/quit"
  finish "$seconds" "$pid" >/dev/null
}

# The body nettool sends for SIZE and SEED, into FILE.
body() {
  on 1 body "$1" "$2" "$(winpath "$3")" >/dev/null
}

# Exactly one payload of TYPE in OUT equals file EXPECTED, from COMPUTER.
has_payload() {
  local out=$1 type=$2 expected=$3 computer=$4 file found=0
  for file in "$out"/*-t"$type".body; do
    [ -f "$file" ] || continue
    if cmp -s "$file" "$expected" && grep -qx "computer $computer" "${file%.body}.info"; then
      found=$((found + 1))
    fi
  done
  [ "$found" -eq 1 ]
}

sends() {
  local k=$1
  shift
  local result
  result=$(on "$k" send "$@")
  local status=$?
  printf '  %s\n' "${result//$'\n'/$'\n'  }"
  return $status
}

up() {
  local start
  start=$(date +%s%N)
  netsim_up "$dir" "$1" || {
    echo "FAILED: up of $1 computers"
    exit 1
  }
  echo "up of $1 computers: $((($(date +%s%N) - start) / 1000000)) ms"
}

# Computer 3 relays to TVSIM2 as a hop of MODE $1 (udp_relay.py) while
# computer 1 sends 10 MB of seed $2 through it to the listener writing to
# $3; the hop's counts go to $work/relay-MODE.
through_hop() {
  local mode=$1 seed=$2 in=$3 stats=$work/relay-$1 relay
  netsim_exec "$dir" 3 python3 "$here/udp_relay.py" "$(address 2)" 180 "$stats" "$mode" </dev/null \
    >"$stats.log" 2>&1 &
  relay=$!
  background+=("$relay")
  check "the $mode hop listens on computer 3" wait_for 10 test -f "$stats.ready"
  body 10485760 "$seed" "$work/b$seed"
  check "10 MB to TVSIM2 through the $mode hop is acknowledged" sends 1 TVSIM2 3 10485760 "$seed"
  check "computer 2 has it byte-identical" wait_for 10 has_payload "$in" 3 "$work/b$seed" TVSIM1
  touch "$stats.quit"
  finish 10 "$relay"
  echo "  hop: $(cat "$stats" 2>/dev/null)"
}

delivery() {
  up 3
  local in2=$work/in2 in3=$work/in3 listener2 listener3
  check "computer 2 listens" listen_on 2 "$in2"
  listener2=$listener
  check "computer 3 listens" listen_on 3 "$in3"
  listener3=$listener

  body 3000 11 "$work/b11"
  check "computer 1 broadcasts 3,000 bytes (type 2)" sends 1 '*' 2 3000 11
  check "computer 2 got the broadcast once" wait_for 10 has_payload "$in2" 2 "$work/b11" TVSIM1
  check "computer 3 got the broadcast once" wait_for 10 has_payload "$in3" 2 "$work/b11" TVSIM1

  body 1048576 21 "$work/b21"
  check "1 MB from computer 1 to TVSIM2 is acknowledged" sends 1 TVSIM2 3 1048576 21
  check "computer 2 has it byte-identical" wait_for 10 has_payload "$in2" 3 "$work/b21" TVSIM1

  body 262144 31 "$work/b31"
  body 262144 32 "$work/b32"
  check "two threads of one process send 256 KB each at once" sends 1 TVSIM2 3 262144 31 --threads 2
  check "computer 2 has the first thread's" wait_for 10 has_payload "$in2" 3 "$work/b31" TVSIM1
  check "computer 2 has the second thread's" wait_for 10 has_payload "$in2" 3 "$work/b32" TVSIM1

  # The mailslot way alone, on one computer (Wine delivers no other): both
  # threads' echoes come through the process's one reply mailslot.
  body 65536 71 "$work/b71"
  body 65536 72 "$work/b72"
  check "two threads on computer 2 send 64 KB each to '.' through mailslots" sends 2 . 3 65536 71 --threads 2
  check "computer 2 has the first thread's" wait_for 10 has_payload "$in2" 3 "$work/b71" TVSIM2
  check "computer 2 has the second thread's" wait_for 10 has_payload "$in2" 3 "$work/b72" TVSIM2

  # Computer 3 becomes a hop, and computer 1 finds TVSIM2 there.
  check "computer 3's listener stops" quit_listener "$listener3" "$in3" 10
  local hosts
  hosts=/etc/netns/$(field 1 7)/hosts
  sed "s/^$(address 2) /$(address 3) /" "$hosts" >"$work/hosts"
  cat "$work/hosts" >"$hosts"
  through_hop lossy 41 "$in2"
  check "the lossy hop dropped and doubled datagrams" grep -q 'dropped=[1-9].*doubled=[1-9]' "$work/relay-lossy"
  through_hop narrow 42 "$in2"
  check "the narrow hop dropped datagrams above 1,500 bytes" grep -q 'too_big=[1-9]' "$work/relay-narrow"

  check "computer 2's listener stops" quit_listener "$listener2" "$in2" 10
  check "no transfer failed on computer 2" test ! -s "$in2/failed.txt"
}

private_bytes() {
  sed -n "s/^$2 private=\([0-9]*\).*/\1/p" "$1" | tail -n 1
}

robustness() {
  up 2
  local in1=$work/in1 flooded
  check "computer 1 listens" listen_on 1 "$in1"
  local listener1=$listener
  flooded=$(on 2 flood TVSIM1 100000 7)
  echo "  $flooded"
  check "computer 2 sent 100,000 hostile datagrams" test "$flooded" = "flooded 100000 of 100000"
  check "the listener still runs" running "$listener1"
  body 65536 51 "$work/b51"
  check "a normal send afterwards is acknowledged" sends 2 TVSIM1 3 65536 51
  check "computer 1 has it byte-identical" wait_for 10 has_payload "$in1" 3 "$work/b51" TVSIM2
  local before after
  before=$(private_bytes "$in1/memory.txt" start)
  after=$(private_bytes "$in1/memory.txt" payload)
  echo "  private bytes: $before before, $after after"
  check "private bytes grew by less than 64 MB" test -n "$before" -a -n "$after" -a \
    $((${after:-0} - ${before:-0})) -lt $((64 << 20))
  check "the listener stops" quit_listener "$listener1" "$in1" 10

  # The answer goes to computer 2, where nothing listens: it is never
  # echoed, and the handler tries it again and again, each time after a
  # message to the main thread, which only stop() answers once it waits.
  local in1b=$work/in1b
  check "computer 1 listens, answering requests" listen_on 1 "$in1b" --answer "$(address 2)" 4000000
  local answering=$listener
  check "computer 2 sends a request (type 7)" sends 2 TVSIM1 7 16 61
  check "the handler answers" wait_for 10 test -f "$in1b/answering"
  check "the listener ends while the handler sends" quit_listener "$answering" "$in1b" 10
  echo "  $(cat "$in1b/stopped" 2>/dev/null)"
  local stop_ms
  stop_ms=$(sed -n 's/^stop_ms //p' "$in1b/stopped" 2>/dev/null)
  check "stop() returned within 3 seconds" test -n "$stop_ms" -a "${stop_ms:-99999}" -le 3000
}

case $group in
delivery) delivery ;;
robustness) robustness ;;
*)
  echo "unknown group $group" >&2
  exit 2
  ;;
esac

[ "$failures" -eq 0 ] || {
  echo "$failures checks failed"
  exit 1
}
echo "all checks passed"
