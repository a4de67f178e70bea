#!/usr/bin/env bash
# The engine and its test suite built for Windows with MinGW-w64 and run
# under Wine, so the golden sheets are compared as a Windows build makes
# them. Installs what is missing first. The tests are console programs: no
# display, and Wine's prefix lives in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh googletest g++-mingw-w64-x86-64-posix wine wine64

export WINEPREFIX="$PWD/build/mingw/wine"
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY

cmake --preset mingw
cmake --build --preset mingw
ctest --preset mingw

# Wine's server lingers a few seconds after the last test; let it finish
# here rather than outlive the run.
wineserver -w
