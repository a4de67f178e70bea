#!/usr/bin/env bash
# Makes the Debian package on a Debian 12 machine, fresh or not: installs
# what building it needs (not the test or benchmark libraries), builds the
# two programs and their modules optimised, without the tests, in
# build/package, and the web page in build/wasm, and runs cpack there. Prints the package's path:
#   build/package/sumlark_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."

# cpack reads the libraries' packages with dpkg-shlibdeps, which needs file;
# the web page is built with emscripten.
scripts/install-deps.sh --build-only dpkg-dev file emscripten
# The page's zip library comes from web/package-lock.json (NodeSource's
# nodejs brings its own npm and conflicts with Debian's).
command -v npm >/dev/null || scripts/install-deps.sh --build-only npm
(cd web && npm ci --omit=dev --no-audit --no-fund >/dev/null)

cmake --preset wasm -DSUMLARK_BUILD_TESTS=OFF >/dev/null
cmake --build --preset wasm --target web
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DSUMLARK_BUILD_TESTS=OFF -DSUMLARK_BUILD_BENCH=OFF \
  -DSUMLARK_WEB_DIR="$PWD/build/wasm/web" >/dev/null
cmake --build build/package
rm -f build/package/sumlark_*.deb
(cd build/package && cpack -G DEB >/dev/null)
debs=(build/package/sumlark_*.deb)
echo "$PWD/${debs[0]}"
