#!/usr/bin/env bash
# Sharing between three simulated computers (scripts/netsim.sh):
#   A (TVSIM1, Anna) runs test_share.exe, the program in its own process;
#   B (TVSIM2, Bert) shares a picture with Anna only and a text with nobody;
#   C (TVSIM3, Cole) shares a text and an empty clipboard with everybody.
# From C, as Cole, as "anna" (names match exactly), as Anna on A and as
# Anna on C (a user is a user on her computer), B answers no clip-list
# query and no fetch request, whatever entry it names. From an address
# outside the computers' network, B answers nothing at all, not even with
# an echo; from inside, the same sends are echoed and answered. While A
# fetches from B, C sends A unasked fetch data claiming to be Bert on B.
#
# share_e2e.sh TEST_SHARE TOLVARAN TVSTATE TVCLIP NETTOOL
# Exit code 77 (skipped) without root, network namespaces or the simulated
# computers.
set -uo pipefail


test_share=$(realpath "$1") program=$(realpath "$2") tvstate=$(realpath "$3") tvclip=$(realpath "$4")
nettool=$(realpath "$5")
here=$(cd "$(dirname "$0")" && pwd)
export TOLVARAN_ROOT
TOLVARAN_ROOT=$(cd "$here/../.." && pwd)
source "$TOLVARAN_ROOT/scripts/lib/netsim.sh"
source "$TOLVARAN_ROOT/tests/lib/simtest.sh"
need_simulated_computers

sim_session tvshare
declare -A programs=()

on() {
  on_computer "$@" 2>/dev/null
}
start_program() {
  local k=$1
  on_computer_in_background "$k" "$program"
  programs[$k]=$started
  on "$k" "$tvclip" ready >/dev/null || return 1
}
stop_program() {
  local k=$1
  on "$k" "$tvclip" quit >/dev/null
  wait_for 10 eval '! kill -0 '"${programs[$k]}"' 2>/dev/null' || kill "${programs[$k]}" 2>/dev/null
  unset "programs[$k]"
}

netsim_up "$dir" 3 || { echo "FAILED: the simulated computers did not come up"; exit 1; }
on 1 "$tvstate" Anna >/dev/null && on 2 "$tvstate" Bert >/dev/null && on 3 "$tvstate" Cole >/dev/null ||
  { echo "FAILED: could not write the saved states"; exit 1; }
start_program 2 && start_program 3 || { echo "FAILED: the programs of B and C did not start"; exit 1; }

# From C, with C's own program out of the way of the port for a moment.
stop_program 3
heard=$work/heard
mkdir -p "$heard"
on_computer_in_background 3 "$nettool" listen "$(winpath "$heard")" 60
listener=$started
wait_for 20 test -f "$heard/ready"
for claim in "--user Cole" "--user anna" "--user Anna --computer TVSIM1" "--user Anna"; do
  # shellcheck disable=SC2086 # the claim is words
  on 3 "$nettool" send TVSIM2 4 1 $claim >/dev/null
done
taken=$(on 3 "$nettool" fetch TVSIM2 0 64 Cole)
check "B took all 65 forged fetch requests from C" test "$taken" = "taken 65"
taken=$(on 3 "$nettool" fetch TVSIM2 0 64 Anna TVSIM1)
check "B took all 65 fetch requests of C's claiming Anna on A" test "$taken" = "taken 65"
taken=$(on 3 "$nettool" fetch TVSIM2 0 64 Anna)
check "B took all 65 fetch requests of Anna on C" test "$taken" = "taken 65"
# An answer would be under way within moments; give it some.
sleep 3
# How many answers of the types given C heard.
answers() {
  local type info n=0
  for type in "$@"; do
    for info in "$heard"/*-t"$type".info; do
      [ -e "$info" ] && n=$((n + 1))
    done
  done
  echo "$n"
}
user_replies() {
  [ "$(answers 3)" = "$1" ]
}
check "B answered none of C's queries and requests" test "$(answers 5 9)" = 0

# C on another network of the same link: B hears it, and must not answer.
host3() {
  netsim_run "$dir" 3 "$@"
}
inside=$(host3 ip -4 -o addr show dev eth0 | awk '{ print $4 }' | head -n 1)
inside=${inside%/*}
outside="10.214.${inside#10.213.}"
bert="${inside%.*}.2"
host3 ip addr add "$outside/24" dev eth0 && host3 ip route replace "$bert/32" dev eth0 src "$outside" ||
  { echo "FAILED: could not give C an outside address"; exit 1; }
# A fetch request of one byte: echoed, never answered.
check "from outside, B echoes nothing" test "$(on 3 "$nettool" send TVSIM2 7 1 | cut -d' ' -f1)" = failed
on 3 "$nettool" send TVSIM2 2 1 --user Cole >/dev/null
sleep 3
check "from outside, B answers no user query" user_replies 0
host3 ip route del "$bert/32" && host3 ip addr del "$outside/24" dev eth0
check "from inside, B echoes" test "$(on 3 "$nettool" send TVSIM2 7 1 | cut -d' ' -f1)" = sent
on 3 "$nettool" send TVSIM2 2 1 --user Cole >/dev/null
check "from inside, B answers the user query" wait_for 10 user_replies 1
kill "$listener" 2>/dev/null
wait "$listener" 2>/dev/null
check "C's program started again" start_program 3

# A's side. The first test asks, by a file, for C's forgeries while it
# fetches from B, and is told by another when they are sent.
forge=$work/forge forged=$work/forged
(
  wait_for 600 test -f "$forge" && on 3 "$nettool" forge TVSIM1 TVSIM2 Bert >/dev/null && touch "$forged"
) &
forger=$!
netsim_run "$dir" 1 env TOLVARAN_FORGE="$(winpath "$forge")" \
  TOLVARAN_FORGED="$(winpath "$forged")" "$TOLVARAN_ROOT/scripts/wine-run" "$test_share" </dev/null 2>&1 |
  tr -d '\r'
check "A's sharing tests" test "${PIPESTATUS[0]}" = 0
kill "$forger" 2>/dev/null
stop_program 2

[ "$failures" -eq 0 ]
