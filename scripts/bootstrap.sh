#!/usr/bin/env bash
# Installs the Debian packages Vireo needs (only those missing), then
# configures and builds it in ./build. Quick when everything is in place.
set -euo pipefail
cd "$(dirname "$0")/.."

# clang and its sanitizer run-time libraries build the sanitizer configuration;
# Xvfb and openbox give the window's tests a display with a window manager.
packages=(cmake ninja-build g++ clang libclang-rt-14-dev pkg-config qt6-base-dev qt6-serialport-dev
  fonts-liberation2 help2man python3 clang-format xvfb openbox)
bash scripts/install-packages.sh "${packages[@]}"

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DVIREO_WERROR="${VIREO_WERROR:-OFF}"
cmake --build build
