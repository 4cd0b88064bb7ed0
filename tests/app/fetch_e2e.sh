#!/usr/bin/env bash
# Fetching big clipboards, and fetching with a copy that speaks the plain
# protocol alone, between three simulated computers (scripts/netsim.sh):
#   A (TVSIM1, Anna) runs test_share.exe, the program in its own process;
#   B (TVSIM2, Bert) shares with Anna a 1080p screenshot, later a 4K one,
#     and a 5 MB picture, and a text with everybody;
#   C (TVSIM3) plays a plain copy sharing a picture as Pia (nettool serve
#     --plain), and a second entry whose fetch stops part-way.
# A fetches each screenshot from B and the picture from C through the get
# and progress dialogs; another program on A reads both formats back
# byte-identical. A cancels a fetch of C's second entry, then leaves one to
# fail; the clipboard keeps what it had. Between A's runs, a plain copy on A (nettool --plain, as
# Anna) asks B: of the pictures it is offered the 5 MB one alone, neither
# screenshot, and what it fetches is byte for byte B's serialization of it.
#
# fetch_e2e.sh TEST_SHARE TOLVARAN TVSTATE TVCLIP NETTOOL
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
need_simulated_computers python3

sim_session tvfetch

on() {
  on_computer "$@" 2>/dev/null
}

# B's program, started with saved state STATE; its pid in $bert.
start_bert() {
  on 2 "$tvstate" "$1" >/dev/null || return 1
  on_computer_in_background 2 "$program"
  bert=$started
  on 2 "$tvclip" ready >/dev/null
}
stop_bert() {
  on 2 "$tvclip" quit >/dev/null
  wait_for 10 eval '! running '"$bert" || kill "$bert" 2>/dev/null
}

# The tests of A's named by the gtest filter $1, with A's program in them.
tests_on_a() {
  netsim_run "$dir" 1 env TOLVARAN_FETCHING=1 "$TOLVARAN_ROOT/scripts/wine-run" "$test_share" \
    --gtest_filter="$1" </dev/null 2>&1 | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# The records of the clip list in file $1, "ENTRY KIND CAPTION" a line.
records() {
  python3 - "$1" <<'PY'
import struct
import sys

body = open(sys.argv[1], "rb").read()
for at in range(4, 4 + 72 * struct.unpack_from("<I", body)[0], 72):
    entry, kind = struct.unpack_from("<II", body, at)
    print(entry, kind, body[at + 8:at + 72].split(b"\0")[0].decode("latin-1"))
PY
}

# The one payload of type $2 in folder $1, once it is there.
payload() {
  local files
  # The listener writes the body, then its .info: once that is there the body is whole.
  wait_for "$3" compgen -G "$1/*-t$2.info" >/dev/null || return 1
  files=("$1"/*-t"$2".info)
  [ "${#files[@]}" -eq 1 ] && echo "${files[0]%.info}.body"
}

# A plain copy on A, as Anna, listening into folder $1 while it asks B for
# the clip list: the records it got, in $1/records.
plain_asks() {
  local out=$1 list
  mkdir -p "$out"
  on_computer_in_background 1 "$nettool" listen "$(winpath "$out")" 120 --plain
  plain=$started
  wait_for 20 test -f "$out/ready" || return 1
  on 1 "$nettool" send TVSIM2 4 1 --user Anna --plain >/dev/null
  list=$(payload "$out" 5 20) && records "$list" >"$out/records"
}
plain_quits() {
  touch "$1/quit"
  finish 10 "$plain" >/dev/null
}

# The records of pictures in folder $1's list.
pictures() {
  grep -E '^[0-9]+ 2 ' "$1/records"
}
# B's 5 MB picture is the one picture offered.
offers_one_picture() {
  [ "$(pictures "$1" | cut -d' ' -f2-)" = "2 $picture_caption" ]
}

# The plain copy fetches the entry offered; the fetch data is B's
# serialization of the picture, byte for byte.
plain_fetches() {
  local out=$1 entry data
  entry=$(pictures "$out" | cut -d' ' -f1)
  [ "$(on 1 "$nettool" fetch TVSIM2 "$entry" "$entry" Anna --plain)" = "taken 1" ] || return 1
  data=$(payload "$out" 9 60) && cmp "$data" "$work/picture.bin"
}

netsim_up "$dir" 3 || { echo "FAILED: the simulated computers did not come up"; exit 1; }
on 1 "$tvstate" Anna >/dev/null || { echo "FAILED: could not write Anna's state"; exit 1; }
picture_caption=$(on 1 "$tvstate" snapshot picture "$(winpath "$work/picture.bin")")
served_caption=$(on 3 "$tvstate" snapshot served "$(winpath "$work/served.bin")")
[ -n "$picture_caption" ] && [ -n "$served_caption" ] || { echo "FAILED: could not write the snapshots"; exit 1; }
on_computer_in_background 3 "$nettool" serve "$(winpath "$work/served.bin")" Pia "$served_caption" 900 --plain
check "C serves a picture as a plain copy" wait_for 20 grep -q '^serving' "$work/background.log"
start_bert Bert1080 || { echo "FAILED: B's program did not start"; exit 1; }

check "a plain copy on A gets B's clip list" plain_asks "$work/plain1080"
check "it is offered the 5 MB picture, not the 1080p screenshot" offers_one_picture "$work/plain1080"
check "the picture it fetches is B's, byte for byte" plain_fetches "$work/plain1080"
plain_quits "$work/plain1080"
check "A fetches the 1080p screenshot from B and the picture from C, and gives up C's stopping one" \
  tests_on_a 'Fetching.AFullHd*:Fetching.APictureFromAPlainCopy*:Fetching.Cancel*'
check "C sent its picture whole" grep -q '^answered type 9 to TVSIM1: sent' "$work/background.log"

stop_bert
start_bert Bert4K || { echo "FAILED: B's program did not start again"; exit 1; }
check "a plain copy on A gets B's clip list again" plain_asks "$work/plain4k"
check "it is offered the 5 MB picture, not the 4K screenshot" offers_one_picture "$work/plain4k"
plain_quits "$work/plain4k"
check "A fetches the 4K screenshot from B" tests_on_a 'Fetching.AnUltraHd*'
stop_bert

[ "$failures" -eq 0 ]
