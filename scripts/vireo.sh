#!/usr/bin/env bash
# Builds Vireo if needed and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh >&2
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "vireo: no display to open the window on. Start it from a desktop session," >&2
  echo "or on a machine without one: xvfb-run bash scripts/vireo.sh" >&2
  echo "(xvfb-run comes with Debian's xvfb package: sudo apt-get install xvfb)" >&2
  exit 1
fi
exec build/bin/vireo "$@"
