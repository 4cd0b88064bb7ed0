#!/usr/bin/env bash
# Sharing between three simulated computers (scripts/netsim.sh):
#   A (TVSIM1, Anna) runs test_share.exe, the program in its own process;
#   B (TVSIM2, Bert) shares a picture with Anna only and a text with nobody;
#   C (TVSIM3, Cole) shares a text and an empty clipboard with everybody.
# From C, as Cole and as "anna" (names match exactly), B answers no
# clip-list query and no fetch request, whatever entry it names.
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
on 3 "$nettool" send TVSIM2 4 1 --user Cole >/dev/null
on 3 "$nettool" send TVSIM2 4 1 --user anna >/dev/null
taken=$(on 3 "$nettool" fetch TVSIM2 0 64 Cole)
check "B took all 65 forged fetch requests from C" test "$taken" = "taken 65"
# An answer would be under way within moments; give it some.
sleep 3
answers() {
  local info n=0
  for info in "$heard"/*-t[59].info; do
    [ -e "$info" ] && n=$((n + 1))
  done
  echo "$n"
}
check "B answered none of C's queries and requests" test "$(answers)" = 0
kill "$listener" 2>/dev/null
wait "$listener" 2>/dev/null
check "C's program started again" start_program 3

# A's side; the last test asks for B's program to end, by this file.
signal=$work/end-b
(
  wait_for 600 test -f "$signal" && stop_program 2 >/dev/null 2>&1
  [ -n "${programs[2]:-}" ] && kill "${programs[2]}" 2>/dev/null
) &
ender=$!
netsim_run "$dir" 1 env TOLVARAN_END_B="$(winpath "$signal")" "$TOLVARAN_ROOT/scripts/wine-run" "$test_share" \
  </dev/null 2>&1 | tr -d '\r'
check "A's sharing tests" test "${PIPESTATUS[0]}" = 0
kill "$ender" 2>/dev/null

[ "$failures" -eq 0 ]
