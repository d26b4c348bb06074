#!/usr/bin/env bash
# Builds Vireo with warnings as errors and runs the whole test suite; once
# that passes, builds it again with the address and undefined-behaviour
# sanitizers (in build-sanitize) and runs the whole suite there too.
set -euo pipefail
cd "$(dirname "$0")/.."
VIREO_WERROR=ON bash scripts/bootstrap.sh
cmake -S . -B build -DVIREO_WERROR=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j2

cmake -S . -B build-sanitize -G Ninja -DVIREO_WERROR=ON -DVIREO_SANITIZE=ON >/dev/null
cmake --build build-sanitize
ctest --test-dir build-sanitize --output-on-failure -j2
