#!/usr/bin/env bash
# Cross-builds Vireo for 64-bit Windows into ./build-windows: bin/vireo.exe,
# bin/vireo-cli.exe and the test programs, statically linked, then the
# portable zip and the installer. QT_WINDOWS names the Qt for Windows SDK
# (qt6-mingw); without it the SDK tarball in ../shared/qt-windows/ is unpacked
# into build-windows/. Test under Wine with: ctest --test-dir build-windows
set -euo pipefail
cd "$(dirname "$0")/../.."

packages=(cmake ninja-build qt6-base-dev qt6-base-dev-tools g++-mingw-w64-x86-64-posix wine nsis zip xz-utils
  fonts-liberation2)
bash scripts/install-packages.sh "${packages[@]}"

build=build-windows
if [ -z "${QT_WINDOWS:-}" ]; then
  QT_WINDOWS=$PWD/$build/qt6-mingw
  if [ ! -f "$QT_WINDOWS/lib/cmake/Qt6/Qt6Config.cmake" ]; then
    tarball=../shared/qt-windows/qt-6.4.2-windows-x64-static.tar.xz
    if [ ! -f "$tarball" ]; then
      echo "No Qt for Windows: set QT_WINDOWS to its folder, or put $(basename "$tarball") in $(dirname "$tarball")/" >&2
      exit 1
    fi
    echo "Unpacking $tarball into $build/"
    mkdir -p "$build"
    tar -xJf "$tarball" -C "$build"
  fi
fi

# The window's clone tests under Wine drive the Linux build's simulated unit, where there is one.
native_sim=
[ -x build/bin/vireo-unit-sim ] && native_sim=$PWD/build/bin/vireo-unit-sim
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/windows-x64-mingw.cmake \
  -DQT_WINDOWS="$QT_WINDOWS" -DCMAKE_BUILD_TYPE=Release -DVIREO_WERROR="${VIREO_WERROR:-OFF}" \
  -DVIREO_NATIVE_UNIT_SIM="$native_sim" >/dev/null
cmake --build "$build"
cmake --build "$build" --target windows_packages

# Only Windows' own DLLs may be imported: no run-time of the compiler or of Qt.
for exe in "$build"/bin/vireo.exe "$build"/bin/vireo-cli.exe; do
  foreign=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' |
    grep -iE '^(lib|qt|zlib|icu)' || true)
  if [ -n "$foreign" ]; then
    echo "$exe needs DLLs that Windows does not have: $foreign" >&2
    exit 1
  fi
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
ls -l "$build"/bin/vireo.exe "$build"/bin/vireo-cli.exe \
  "$build/vireo-$version-windows-x64.zip" "$build/vireo-$version-setup.exe"
