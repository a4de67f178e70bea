#!/usr/bin/env bash
# The engine and its test suite built for Windows with MinGW-w64 and run
# under Wine, so the golden sheets are compared as a Windows build makes
# them. Installs what is missing first. The tests are console programs: no
# display, and Wine's prefix lives in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine wine64)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

export WINEPREFIX="$PWD/build/mingw/wine"
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY

cmake --preset mingw
cmake --build --preset mingw
ctest --preset mingw

# Wine's server lingers a few seconds after the last test; let it finish
# here rather than outlive the run.
wineserver -w
