#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test suite; then the same
# suites built with AddressSanitizer and UndefinedBehaviorSanitizer, and each
# fuzz target for about a minute in all, every one under CTest; then the
# Debian package is built, installed, run and purged; last, the engine's
# Windows build runs its suite under Wine, its browser build under node, and
# the web page its tests in Chromium.
# Any failure or finding fails it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# The tests' share of the code: at most 35 % of the program.
scripts/count-lines.sh --check

cmake --preset dev
cmake --build --preset dev
ctest --preset dev

cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

scripts/test-package.sh
scripts/test-mingw.sh
scripts/test-wasm.sh
scripts/test-web.sh
