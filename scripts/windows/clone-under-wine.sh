#!/usr/bin/env bash
# vireo-cli.exe end to end under Wine: the simulated unit runs natively on its
# pseudo-terminal, and the Windows program reaches it as COM1. Reads, a
# checked write and three faults must end with the files and exit statuses
# they give on Linux, at each speed given.
# Usage: clone-under-wine.sh VIREO-CLI.EXE VIREO-UNIT-SIM SETTINGS.st2 [BPS...]
set -euo pipefail
cli=$1 sim=$2 settings=$3
shift 3
speeds=("${@:-9600}")

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
DISPLAY= wineboot -i </dev/null >/dev/null 2>&1
cp "$cli" "$work/prefix/drive_c/vireo-cli.exe"
cp "$settings" "$work/prefix/drive_c/settings.st2"
tr -d '\r' <"$settings" >"$work/expected"

failures=0
# One unit per case. Wine makes COM1 from its registry each time its server
# starts: the port's device is set there, then the server is restarted.
run_case() { # speed, unit arguments, expected status, vireo-cli arguments...
  local speed=$1 unit=$2 expected=$3
  shift 3
  rm -f "$work/prefix/drive_c/out.st2"
  "$sim" --baud "$speed" $unit >"$work/sim.log" 2>&1 &
  sim_pid=$!
  for _ in $(seq 50); do [ -s "$work/sim.log" ] && break; sleep 0.1; done
  local device
  device=$(head -1 "$work/sim.log")
  wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$device" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  local status=0
  (cd "$work/prefix/drive_c" && timeout 120 wine vireo-cli.exe "$@" --port COM1 --speed "$speed" -q) \
    >"$work/cli.log" 2>&1 || status=$?
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=
  local verdict=ok
  [ "$status" -eq "$expected" ] || verdict="exit $status, expected $expected"
  if [ "$1" = read ] && [ "$expected" -eq 0 ] && ! diff -q <(tr -d '\r' <"$work/prefix/drive_c/out.st2") \
    "$work/expected" >/dev/null; then
    verdict="the file read differs from the unit's memory"
  fi
  if [ "$1" = read ] && [ "$expected" -ne 0 ] && [ -e "$work/prefix/drive_c/out.st2" ]; then
    verdict="a failed read left a file"
  fi
  printf '%-6s %-28s %-30s %s\n' "$speed" "${unit:-(no fault)}" "$*" "$verdict"
  if [ "$verdict" != ok ]; then
    failures=$((failures + 1))
    sed 's/^/    /' "$work/cli.log"
  fi
}

for speed in "${speeds[@]}"; do
  run_case "$speed" "--memory $settings" 0 read -o 'C:\out.st2'
  run_case "$speed" "" 0 write 'C:\settings.st2' --verify
  run_case "$speed" "--fault stuck-bit=25" 4 write 'C:\settings.st2' --verify
  run_case "$speed" "--memory $settings" 0 compare 'C:\settings.st2'
  run_case "$speed" "--memory $settings --fault stuck-bit=25" 1 compare 'C:\settings.st2'
  run_case "$speed" "--fault no-unit" 15 read -o 'C:\out.st2'
  run_case "$speed" "--code 12345" 17 read -o 'C:\out.st2'
  run_case "$speed" "--fault unplug-after=20" 12 read -o 'C:\out.st2'
done
[ "$failures" -eq 0 ]
