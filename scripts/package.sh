#!/usr/bin/env bash
# Builds Vireo and its Debian package, build/vireo_<version>_<arch>.deb.
# Install it with: sudo apt-get install ./build/vireo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
# dpkg-shlibdeps (dpkg-dev) works out the package's library dependencies.
if ! dpkg-query -W -f='${Status}' dpkg-dev 2>/dev/null | grep -q "install ok installed"; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y dpkg-dev
fi
(cd build && rm -f vireo_*.deb && cpack -G DEB)
ls build/vireo_*.deb
