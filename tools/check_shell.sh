#!/usr/bin/env bash
# Runs shellcheck over every shell script of the project, with the settings
# in .shellcheckrc: the scripts, and those of the tests, benchmarks and tools.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t scripts < <(find scripts tests bench tools packaging -type f \( -name '*.sh' -o -name wine-run \) | sort)
shellcheck -x "${scripts[@]}"
