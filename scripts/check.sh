#!/usr/bin/env bash
# Installs what the build needs, then checks that includes go down the layers
# and no file is too long (scripts/check_layers.py) and that every C++ file is
# laid out as .clang-format says. Then builds Vireo with gcc, warnings as errors,
# and runs the whole test suite; once that passes, builds it again with clang
# and the address and undefined-behaviour sanitizers (in build-sanitize-clang),
# so the tree is also checked by a second compiler, and runs the whole suite
# there too: any sanitizer report fails it.
set -euo pipefail
cd "$(dirname "$0")/.."
VIREO_WERROR=ON bash scripts/bootstrap.sh
python3 scripts/check_layers.py
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
cmake -S . -B build -DVIREO_WERROR=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j2

# A folder of its own: a CMake cache keeps the compiler it was made with.
CC=clang CXX=clang++ cmake -S . -B build-sanitize-clang -G Ninja -DVIREO_WERROR=ON -DVIREO_SANITIZE=ON >/dev/null
cmake --build build-sanitize-clang
ctest --test-dir build-sanitize-clang --output-on-failure -j2
