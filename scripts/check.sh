#!/usr/bin/env bash
# Builds Vireo with warnings as errors and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
VIREO_WERROR=ON bash scripts/bootstrap.sh
cmake -S . -B build -DVIREO_WERROR=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j2
