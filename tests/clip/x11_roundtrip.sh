#!/bin/bash
# An X11 program and this one share Wine's clipboard bridge: what xclip puts
# is captured, the clipboard is emptied and the snapshot restored, and xclip
# reads back what it put, now served by the restored snapshot.
#
# x11_roundtrip.sh CASE PROBE WINE_RUN WORK_DIR, CASE one of text, png, uris.
set -u
case_name=$1 probe=$2 wine_run=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)

[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY"; exit 1; }
out=$work/$case_name
rm -rf "$out"
mkdir -p "$out"
stop=$out/stop

# The bridge hands a URI list on with every byte of the path escaped, and
# only for files that exist: compare the lists unescaped.
unescape() { local text; text=$(cat); printf '%b' "${text//%/\\x}"; }
same_bytes() { cmp "$1" "$2"; }
same_uris() { cmp <(unescape < "$1") <(unescape < "$2"); }
compare=same_bytes

case $case_name in
text)
  type=UTF8_STRING format=text kind=1 caption=' two words here'
  input=$out/input.txt
  # LF only: the bridge turns LF into CR LF on the way in and back on the way out.
  printf '  two  words\n\there\n' > "$input" ;;
png)
  type=image/png format=PNG kind=2 caption='4 x 3 (1 bit)'
  input=$here/data/red4x3.png ;;
uris)
  type=text/uri-list format=files kind=3 caption='one.txt;two' compare=same_uris
  input=$out/input.uris
  touch "$out/one.txt" "$out/two"
  printf 'file://%s/one.txt\r\nfile://%s/two\r\n' "$out" "$out" > "$input" ;;
*)
  echo "unknown case $case_name"; exit 2 ;;
esac

xclip_pid='' probe_pid=''

cleanup() {
  touch "$stop"
  [ -n "$xclip_pid" ] && kill "$xclip_pid" 2>/dev/null
  if [ -n "$probe_pid" ]; then
    for _ in $(seq 50); do kill -0 "$probe_pid" 2>/dev/null || break; sleep 0.2; done
    kill "$probe_pid" 2>/dev/null
  fi
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; echo "--- probe said:"; cat "$out/probe.out" "$out/probe.err" 2>/dev/null; exit 1; }

# Polls a condition, 0.2 s apart, for at most $1 seconds.
wait_for() {
  local limit=$(( $1 * 5 )); shift
  for _ in $(seq "$limit"); do "$@" && return 0; sleep 0.2; done
  return 1
}

# In the foreground (-quiet) so that its end shows it lost the selection.
xclip -quiet -selection clipboard -t "$type" -i "$input" > "$out/xclip.log" 2>&1 &
xclip_pid=$!

"$wine_run" "$probe" capture-restore "$format" "Z:${stop//\//\\}" 60000 > "$out/probe.out" 2> "$out/probe.err" &
probe_pid=$!

restored() { grep -q '^restored' "$out/probe.out"; }
wait_for 60 restored || fail "the probe did not restore"
xclip_gone() { ! kill -0 "$xclip_pid" 2>/dev/null; }
wait_for 10 xclip_gone || fail "xclip still owns the selection: nothing took it over"
xclip_pid=''

timeout 10 xclip -selection clipboard -o -t "$type" > "$out/back" || fail "xclip could not read back"
$compare "$input" "$out/back" || fail "read back differs: $(od -c "$out/back" | head -5)"
# Console output from the Windows side ends its lines with CR LF.
tr -d '\r' < "$out/probe.out" > "$out/probe.txt"
grep -qx "kind $kind" "$out/probe.txt" || fail "kind is not $kind"
grep -qxF "caption $caption" "$out/probe.txt" || fail "caption is not '$caption'"
echo "$case_name: captured, restored and read back identical"
sed 's/^/  /' "$out/probe.txt"
