#!/usr/bin/env bash
# The engine and its test suite built for the browser with Debian's
# emscripten and run under node, so the golden sheets are compared as the
# web page's engine makes them. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh googletest emscripten

cmake --preset wasm
cmake --build --preset wasm
ctest --preset wasm
