#!/bin/bash
# Stored bytes across builds and computers, with persistprobe.exe:
#   record GOLDEN   the stack-file record this build writes is the checked-in
#                   one, so the 32-bit and 64-bit builds write the same bytes
#   format          a registered format written in the test prefix arrives,
#                   in a second prefix where its name has another number,
#                   under that prefix's number
# Arguments: case, probe, scripts/wine-run, a work folder, [golden file].
set -euo pipefail
case=$1 probe=$2 wine_run=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
cd "$work"

case $case in
record)
  golden=$5
  "$wine_run" "$probe" record stackfile.bin </dev/null
  cmp stackfile.bin "$golden"
  echo "the record matches $golden ($(stat -c %s stackfile.bin) bytes)"
  ;;
format)
  here=$(cd "$(dirname "$0")/../.." && pwd)
  prefix_a=${TOLVARAN_WINEPREFIX:-$here/build/wine/prefix}
  prefix_b=$work/prefix-b
  in_b() { TOLVARAN_WINEPREFIX=$prefix_b TOLVARAN_WINEHOME=$work/home-b "$wine_run" "$@"; }
  cp -a "$prefix_a" "$prefix_b"
  # The copy must get a server of its own.
  rm -f "$prefix_b/wineserver"
  trap 'in_b wineserver -k >/dev/null 2>&1 || true; in_b wineserver -w >/dev/null 2>&1 || true; rm -rf "$prefix_b"' EXIT
  written=$("$wine_run" "$probe" format-write snapshot.bin </dev/null | tr -d '\r')
  # One CF_TEXT item of 5 bytes (14 bytes with the count), then the format.
  in_file=$(od -An -tu4 -j14 -N4 snapshot.bin | tr -d ' ')
  test "$in_file" = "$written"
  read=$(in_b "$probe" format-read snapshot.bin "$written" </dev/null | tr -d '\r')
  echo "written as $written in $prefix_a, read as $read in the copy"
  test -n "$written" && test -n "$read" && test "$written" != "$read"
  ;;
*)
  echo "unknown case $case" >&2
  exit 2
  ;;
esac
