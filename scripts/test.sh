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

mkdir -p build/logs
passed=0
failed=0
status=0
for preset in native fuzz win32 win64; do
  echo "== $preset"
  log="build/logs/ctest-$preset.log"
  if ! ctest --preset "$preset" --timeout 300 2>&1 | tee "$log"; then
    status=1
  fi
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -z "$summary" ]; then
    status=1
    continue
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
done

[ "$failed" -ne 0 ] && status=1
echo "tests: $passed passed, $failed failed"
exit "$status"
