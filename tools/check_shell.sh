#!/usr/bin/env bash
# Runs shellcheck over every shell script of the project, with the settings
# in .shellcheckrc: the scripts, and those of the tests, benchmarks and tools.
# Two at a time: the test command runs its tests one after the other.
set -euo pipefail
cd "$(dirname "$0")/.."
find scripts tests bench tools packaging -type f \( -name '*.sh' -o -name wine-run \) -print0 |
  sort -z | xargs -0 -n 1 -P 2 shellcheck -x
