#!/usr/bin/env bash
# How much of a core the built game takes in a real X window under its own
# Xvfb (drawn by Mesa's software renderer, as on a machine without a graphics
# card): the CPU time (user + system, all threads) the game's process spends
# over 10 s on the menu at rest, 10 s on the pause screen and 20 s walking
# back and forth, as a share of the wall time.
#   bench_cpu.sh <dungeon> [<Assets>] [WIDTHxHEIGHT] [fullscreen]
# The game plays in a scratch copy of <Assets> (by default the one beside the
# program or beside its build folder) with a window of the size given
# (800x608 by default), or fullscreen on a screen of that size. Another build's
# program with its own Assets measures that build, so a before and after is
# the same command run twice in one session.
set -uo pipefail
dungeon=$(realpath "$1")
assets=${2:-}
if [ -z "$assets" ]; then
  for assets in "$(dirname "$dungeon")/Assets" "$(dirname "$dungeon")/../Assets"; do
    [ ! -d "$assets" ] || break
  done
fi
size=${3:-800x608}
fullscreen=${4:-}
width=${size%x*}
height=${size#*x}
[[ "$width" =~ ^[0-9]+$ && "$height" =~ ^[0-9]+$ ]] || { echo "bad size: $size"; exit 2; }
[ -x "$dungeon" ] || { echo "no program: $1"; exit 2; }
[ -f "$assets/ini/game.ini" ] || { echo "no Assets folder: $assets"; exit 2; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/dungeon-bench-XXXXXX")
out=$scratch/out.txt
if [ -n "$fullscreen" ]; then
  screen=${width}x${height}x24
else
  screen=$((width + 64))x$((height + 64))x24
fi
pid=
trap '[ -z "$pid" ] || kill $pid 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
source "$(dirname "$0")/../tests/real_window.sh"
unset SDL_VIDEODRIVER

cp -r "$assets" "$scratch/Assets"
find "$scratch/Assets/bin" -mindepth 1 -delete
echo "Dungeon $width $height ${fullscreen:+1}${fullscreen:-0}" >"$scratch/Assets/ini/game.ini"
# The pointer rests in a corner, away from the menu's buttons.
xdotool mousemove 0 0

(cd "$scratch" && exec "$dungeon") >"$out" 2>"$scratch/err.txt" &
pid=$!
poll seen '^1$' || fail "no menu frame"
wid=$(xdotool search --sync --name '^Dungeon$' | head -n 1)
xdotool windowfocus --sync "$wid"

ticks=$(getconf CLK_TCK)
# User plus system time of a process in clock ticks: fields 14 and 15 of its
# stat line, counted after the command name, which may hold blanks.
cpu() { local s; s=$(cat "/proc/$1/stat") && s=${s##*) } && set -- $s && echo $((${12} + ${13})); }
now() { date +%s.%N; }
# measure <label> <seconds> [command run in the background meanwhile]
measure() {
  local label=$1 seconds=$2 start end game0 game1 x0 x1 driver=
  shift 2
  start=$(now)
  game0=$(cpu $pid) x0=$(cpu $xvfb)
  if [ $# -gt 0 ]; then
    "$@" &
    driver=$!
  fi
  sleep "$seconds"
  game1=$(cpu $pid) x1=$(cpu $xvfb)
  end=$(now)
  [ -z "$driver" ] || wait $driver
  kill -0 $pid 2>/dev/null || fail "$label: the game ended"
  awk -v l="$label" -v s="$seconds" -v g=$((game1 - game0)) -v x=$((x1 - x0)) -v t="$ticks" \
    -v w="$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')" \
    'BEGIN { printf "%-14s %3d s   game %5.1f %% of a core   (X server %4.1f %%)\n", l, s, 100 * g / t / w, 100 * x / t / w }'
}
# Right and left in turn, each held for a second and a half, until $1 seconds
# have passed: the camera scrolls and the player's frames change all along.
walk() {
  local end=$((SECONDS + $1)) key=Right
  while [ $SECONDS -lt $end ]; do
    xdotool keydown $key
    sleep 1.5
    xdotool keyup $key
    [ $key = Right ] && key=Left || key=Right
  done
}

echo "$dungeon, ${fullscreen:+fullscreen }$size"
# A moment for the first pictures and the sound to settle.
sleep 2
measure "menu at rest" 10
hold key Return 'PlayState constructor initialized successfully...'
wait_frames 10
hold key p 'PauseState constructor called...'
sleep 2
measure "pause" 10
hold key Return 'PauseState destructor completed successfully.'
wait_frames 10
measure "walking" 20 walk 19
hold key Escape 'Game shut down successfully.'
wait "$pid"
pid=
