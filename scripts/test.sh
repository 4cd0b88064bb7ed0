#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test suite:
# the platform-free code natively under ASan and UBSan, and the Windows
# builds (32-bit and 64-bit) under Wine on a virtual display of their own,
# a bounded run of every fuzz target, and the release: its files, and its
# installer at work under Wine.
set -euo pipefail
export TOLVARAN_ROOT
TOLVARAN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$TOLVARAN_ROOT"
source scripts/lib/wine.sh
source scripts/lib/build.sh

scripts/install-deps.sh

for preset in native fuzz win32 win64; do
  configure_preset "$preset"
  cmake --build --preset "$preset"
done
# The release in build/dist, which the win32 tests check and install.
cmake --build --preset dist

made="$TOLVARAN_ROOT/build/wine/made-prefix"
prefix="$TOLVARAN_ROOT/build/wine/test-prefix"
# shellcheck disable=SC2317  # run by the trap
cleanup() {
  stop_prefix "$prefix"
  stop_display
}
trap cleanup EXIT
# The display before any Wine process: a server started without one never recovers.
start_display
make_prefix "$made"
fresh_prefix "$made" "$prefix"
export TOLVARAN_WINEPREFIX="$prefix" TOLVARAN_WINEHOME="$prefix.home"

# Passed, skipped and failed tests in the JUnit report ctest wrote to $1.
junit_counts() {
  python3 - "$1" <<'PY'
import sys
import xml.etree.ElementTree as ET

suite = ET.parse(sys.argv[1]).getroot()
total, failed = int(suite.get("tests", 0)), int(suite.get("failures", 0))
skipped = int(suite.get("skipped", 0)) + int(suite.get("disabled", 0))
print(total - failed - skipped, skipped, failed)
PY
}

mkdir -p build/logs
passed=0
skipped=0
failed=0
status=0
for preset in native fuzz win32 win64; do
  echo "== $preset"
  report="$TOLVARAN_ROOT/build/logs/ctest-$preset.xml"
  rm -f "$report"
  if ! ctest --preset "$preset" --timeout 300 --output-junit "$report" 2>&1 | tee "build/logs/ctest-$preset.log"; then
    status=1
  fi
  if ! counts=$(junit_counts "$report" 2>/dev/null); then
    echo "== $preset: ctest wrote no report" >&2
    status=1
    continue
  fi
  read -r good skip bad <<<"$counts"
  passed=$((passed + good))
  skipped=$((skipped + skip))
  failed=$((failed + bad))
done

[ "$failed" -ne 0 ] && status=1
echo "tests: $passed passed, $skipped skipped, $failed failed"
exit "$status"
