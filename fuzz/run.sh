#!/usr/bin/env bash
# Builds the fuzz targets and runs each for a bounded time through CTest,
# which counts and reports them like any suite. FUZZ_SECONDS and FUZZ_SEED
# pass through (see run-target.sh):
#   fuzz/run.sh                  the default budget, about a minute in all
#   FUZZ_SECONDS=600 fuzz/run.sh ten minutes for each target
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz "$@"
