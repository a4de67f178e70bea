#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# only those that are missing; packages named as arguments as well.
#   scripts/install-deps.sh [--build-only] [package...]
# --build-only: what building the programs and their package needs, without
# the test and benchmark libraries and tools.
set -euo pipefail

build_only=false
if [ "${1:-}" = "--build-only" ]; then
  build_only=true
  shift
fi

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  fonts-wqy-microhei fonts-dejavu-core qt6-translations-l10n
  "$@"
)
if ! $build_only; then
  packages+=(
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    poppler-utils time xdg-utils
    strace xvfb xdotool exfat-fuse exfatprogs
  )
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
