#!/usr/bin/env bash
# Builds Vireo if needed and starts its main job.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh >&2
exec build/bin/vireo-cli show build/bin/VIREO.sts "$@"
