#!/usr/bin/env bash
# Runs test_scale at 100%, 150% and 200% under Wine, on a virtual display and
# in a fresh prefix of its own (the scale is set for the whole prefix):
#
#   scale.sh TEST_SCALE_EXE WORK_DIR
#
# For each scale Wine's LogPixels is set and the prefix's server started
# anew, so every process of that run sees the scale from its start. Every
# step is bounded; the prefix's server ends whatever the test left running.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: scale.sh TEST_SCALE_EXE WORK_DIR" >&2
  exit 2
fi
test_exe=$(realpath "$1")
work=$(realpath -m "$2")
export TOLVARAN_ROOT
TOLVARAN_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$TOLVARAN_ROOT/scripts/lib/wine.sh"

made="${TOLVARAN_MADE_PREFIX:-$TOLVARAN_ROOT/build/wine/made-prefix}"
prefix="$work/prefix"
# shellcheck disable=SC2317  # run by the trap
cleanup() {
  local status=$?
  stop_prefix "$prefix"
  stop_display
  [ "$status" -eq 0 ] && rm -rf "$prefix" "$prefix.home"
  exit "$status"
}
trap cleanup EXIT

mkdir -p "$work"
start_display
make_prefix "$made"
fresh_prefix "$made" "$prefix"
# Texts are measured in the fonts Windows has.
add_wine_fonts "$prefix"

status=0
for dpi in 96 144 192; do
  echo "== $dpi dpi"
  in_prefix "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  stop_prefix "$prefix"
  in_prefix "$prefix" wineserver -p
  in_prefix "$prefix" cmd /c exit </dev/null >/dev/null 2>&1 || true
  TOLVARAN_TEST_DPI=$dpi TOLVARAN_WINEPREFIX="$prefix" TOLVARAN_WINEHOME="$prefix.home" \
    timeout -k 5 120 "$TOLVARAN_ROOT/scripts/wine-run" "$test_exe" || status=1
done
exit "$status"
