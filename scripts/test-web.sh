#!/usr/bin/env bash
# The web page in Debian's Chromium, driven by puppeteer-core from the lock
# file (no browser download): installs Chromium, node and npm, poppler-utils,
# emscripten and GoogleTest's sources if missing, builds sumlark-cli (dev
# preset) and the page (wasm preset, target web), then runs the browser
# tests. SUMLARK_PICTURES=<folder> also saves the page at 375 and 1280 px.
set -euo pipefail
cd "$(dirname "$0")/.."

extra=(chromium poppler-utils emscripten googletest)
# NodeSource's nodejs brings its own npm and conflicts with Debian's.
command -v node >/dev/null || extra+=(nodejs)
command -v npm >/dev/null || extra+=(npm)
scripts/install-deps.sh "${extra[@]}"

(cd web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund)
cmake --preset dev && cmake --build --preset dev --target sumlark-cli
cmake --preset wasm && cmake --build --preset wasm --target web
node --test web/tests/browser/page.test.mjs
