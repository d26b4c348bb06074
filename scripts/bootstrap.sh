#!/usr/bin/env bash
# Installs the Debian packages Vireo needs (only those missing), then
# configures and builds it in ./build. Quick when everything is in place.
set -euo pipefail
cd "$(dirname "$0")/.."

# clang and its sanitizer run-time libraries build the sanitizer configuration.
packages=(cmake ninja-build g++ clang libclang-rt-14-dev pkg-config qt6-base-dev qt6-serialport-dev
  fonts-liberation2 help2man)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DVIREO_WERROR="${VIREO_WERROR:-OFF}"
cmake --build build
