#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in a Wine prefix of the
# build's own; ctest starts every Windows test through it.
#   wine.sh <prefix> [--serve | --stop | [--test] <program.exe> args]
# makes the prefix ready, then keeps its wineserver up for ctest, ends it, or
# runs the program (as a test: see below).
# Quiet and unattended: no Wine debug channels, no download of Mono or Gecko,
# no desktop menu entries for installed shortcuts; a crashing program just
# ends with its status, with no crash dialog or debugger's backtrace.
set -euo pipefail
export WINEPREFIX=$1
shift
export WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"

if [ "${1:-}" = --stop ]; then
  wineserver -k 2>/dev/null || true
  exit 0
fi
if [ ! -f "$WINEPREFIX/.dungeon-ready" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  # The new prefix settles before it is changed; a change Wine refuses while
  # it still starts up is made again.
  wineserver -w
  again() { "$@" >/dev/null 2>&1 || { sleep 2 && "$@" >/dev/null 2>&1; } || { sleep 5 && "$@" >/dev/null 2>&1; }; }
  again wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
    >/dev/null 2>&1 || true
  again wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 0 /f
  wineserver -w
  touch "$WINEPREFIX/.dungeon-ready"
fi
if [ "${1:-}" = --serve ]; then
  # One server for a whole ctest run, its services started once: tests
  # started together would otherwise race to start them and find them half up.
  wineserver -p || true # one may be up already
  wine cmd.exe /c exit 0 >/dev/null 2>&1 || true # the tests say whether Wine runs
  exit 0
fi
[ $# -eq 0 ] && exit 0
[ "$1" = --test ] || exec wine "$@"
# A test. Without a display, Wine's desktop is brought up by the first
# program that needs it and closed after the last one ends; a program that
# starts while it closes now and then cannot make the hidden helper window
# SDL needs ("Unable to create Helper Window"), so SDL does not start. That
# is Wine's, not the game's: such a run is made once more. Any other failure
# stands as it is.
shift
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
run() { status=0 && wine "$@" >"$out" 2>"$err" || status=$?; }
run "$@"
if [ $status -ne 0 ] && grep -q "Unable to create Helper Window" "$out" "$err"; then
  echo "wine.sh: Wine's desktop was not ready for SDL's helper window; running again" >&2
  run "$@"
fi
cat "$out"
cat "$err" >&2
exit $status
