#!/usr/bin/env bash
# Runs a command on a display of its own (Xvfb, 1280x1024) with a small window
# manager (openbox), so that windows get frames from the window system as on a
# desktop. The window's placement and size tests run offscreen too, where no
# window has a frame; here they see what users see.
# Usage: with-window-manager.sh COMMAND [ARGUMENTS...]
set -euo pipefail
work=$(mktemp -d)
xvfb= wm=
cleanup() {
  # Whatever has already ended, the rest is still stopped and the folder removed.
  [ -z "$wm" ] || kill "$wm" 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and names it on descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$work/display")

# openbox keeps its settings and cache in the scratch folder (any user, no home needed)
# and says when it manages windows.
XDG_CONFIG_HOME=$work XDG_CACHE_HOME=$work openbox --startup "touch $work/ready" >"$work/wm.log" 2>&1 &
wm=$!
for _ in $(seq 100); do [ -e "$work/ready" ] && break; sleep 0.05; done
[ -e "$work/ready" ] || { cat "$work/wm.log" >&2; echo "openbox did not start" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$@"
