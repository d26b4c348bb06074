#!/usr/bin/env bash
# Runs a Windows program under Wine in a scratch prefix, for ctest (the
# Windows build's cross-compiling emulator). Usage:
#   wine-run.sh PREFIX --start | --end | PROGRAM [ARGUMENTS...]
# --start makes PREFIX afresh (wineboot -i) and keeps its wineserver up for
# the run; --end ends every process of the prefix (wineserver -k). A program
# run without --start first gets a prefix made for it.
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
shift
# Wine hands QT_* variables to Windows programs only as WINEQT_*. Without a
# console window (no display) Qt would log, test results too, to the debugger.
export QT_FORCE_STDERR_LOGGING=1
# The offscreen platform of a static Qt for Windows reads fonts from one
# folder only: there the face with Arial's measures, as fontconfig gives on Linux.
export QT_QPA_FONTDIR=${QT_QPA_FONTDIR:-Z:$WINEPREFIX/fonts}
# COM1 of the prefix leads here; the tests' simulated unit points this link at its pseudo-terminal.
export VIREO_COM1_LINK=$WINEPREFIX/unit-com1
for name in $(compgen -e | grep '^QT_'); do
  export "WINE$name=${!name}"
done

make_prefix() {
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Its services and server hold no output of ours, or ctest would wait for
  # them (without a display Wine only complains there). Windows open on the
  # display the prefix is made with, if any (Xvfb for the window's tests).
  wineboot -i </dev/null >/dev/null 2>&1
  wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$VIREO_COM1_LINK" /f </dev/null >/dev/null 2>&1
  # The server is then kept up until --end, its services started here: each
  # test starts in half a second.
  wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  wineboot </dev/null >/dev/null 2>&1
  mkdir -p "$WINEPREFIX/fonts"
  ln -sf /usr/share/fonts/truetype/liberation2/LiberationSans-*.ttf "$WINEPREFIX/fonts/"
  # Wine has no Arial: windows on a display get the face with its measures.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans' /f \
    </dev/null >/dev/null 2>&1
}

case "${1:-}" in
  --start)
    wineserver -k 2>/dev/null || true
    make_prefix
    ;;
  --end)
    wineserver -k 2>/dev/null || true
    ;;
  *)
    # Tests may run side by side: one of them makes the prefix, the others wait.
    exec 9>"$WINEPREFIX.lock"
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || make_prefix
    flock -u 9
    exec 9>&-
    exec wine "$@"
    ;;
esac
