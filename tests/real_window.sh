#!/usr/bin/env bash
# The built game in a real X window under its own Xvfb, driven with xdotool as
# a player would, with SDL's real keyboard and mouse:
#   real_window.sh game <dungeon> <Assets>   Exit clicked; then Play, a walk,
#                                            pause, resume and Escape
#   real_window.sh package <CPackConfig.cmake>  the release archive unpacked
#                                            and run to the menu and out
#   real_window.sh scaled <dungeon> <Assets>  the menu at 2 x in a 1600 x 1216
#                                            window and fullscreen, Exit clicked
#                                            there; focus lost during play
set -uo pipefail
mode=$1
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dungeon-window-XXXXXX")
xvfb=""
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
out=$scratch/out.txt

fail() {
  echo "FAIL: $*"
  [ -f "$out" ] && tail -n 20 "$out"
  exit 1
}
# Polls until `pattern` is in the output, at most `tenths` tenths of a second.
wait_for() {
  for ((i = 0; i < $2 * 5; i++)); do
    grep -q -- "$1" "$out" 2>/dev/null && return 0
    sleep 0.02
  done
  return 1
}
frames() { grep -c '^[0-9]\+$' "$out"; }
wait_frames() {
  local want=$(($(frames) + $1))
  for ((i = 0; i < 100; i++)); do
    [ "$(frames)" -ge "$want" ] && return 0
    sleep 0.05
  done
  fail "frames stopped"
}
# Keys act while held: hold one until the game has reacted.
hold_until() {
  xdotool keydown "$1"
  wait_for "$2" 50
  local seen=$?
  xdotool keyup "$1"
  [ $seen -eq 0 ] || fail "$1 ignored"
}
# Starts the game in folder $1 and waits for the menu and its window.
launch() {
  : >"$out"
  (cd "$1" && exec timeout 60 ./dungeon) >"$out" 2>"$scratch/err.txt" &
  pid=$!
  wait_for '^1$' 300 || fail "no menu frame"
  wid=$(xdotool search --sync --name '^Dungeon$' | head -n 1)
  [ -n "$wid" ] || fail "no window"
  xdotool windowfocus --sync "$wid"
}
finish() {
  wait "$pid"
  local status=$?
  [ $status -eq 0 ] || fail "$1: exit status $status"
  [ "$(tail -n 2 "$out" | head -n 1)" = "Game shut down successfully." ] || fail "$1: no shutdown"
  echo "$1: ok"
}
# Hash of the level's top rows, above the pop-ups and the ticking display.
level_picture() {
  xwd -silent -id "$wid" | tail -c 2000000 | head -c 800000 | md5sum
}
click() {
  xdotool mousemove --window "$wid" "$1" "$2"
  wait_frames 2
  xdotool mousedown 1
  wait_for "$3" 50 || fail "click on $1,$2 ignored"
  xdotool mouseup 1
}

exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1600x1216x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
for ((i = 0; i < 100; i++)); do [ -s "$scratch/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n 1 "$scratch/display")"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER

if [ "$mode" = package ]; then
  cpack --config "$2" -G TGZ -B "$scratch/pack" >"$scratch/cpack.log" 2>&1 || fail "cpack failed"
  tar -xzf "$scratch"/pack/dungeon-*-Linux-*.tar.gz -C "$scratch" || fail "cannot unpack"
  game=$(ls -d "$scratch"/dungeon-*/ | head -n 1)
  for f in README.md Assets/Fonts/LICENSE-Terminus.txt Assets/Maps/collisionMap.map Assets/bin; do
    [ -e "$game/$f" ] || fail "archive lacks $f"
  done
  [ ! -e "$game/Assets/bin/scores.bin" ] || fail "archive ships a score file"
  launch "$game"
  grep -q 'ERROR\|could not' "$out" && fail "the game could not load its data"
  hold_until Escape 'Game shut down successfully.'
  finish package
  exit 0
fi

mkdir -p "$scratch/game"
cp -r "$3" "$scratch/game/Assets"
ln -s "$2" "$scratch/game/dungeon"
mkdir -p "$scratch/game/Assets/bin"
settings() { echo "Dungeon $1" >"$scratch/game/Assets/ini/game.ini"; }
settings "800 608 0"

if [ "$mode" = scaled ]; then
  # The window's pixels, as an xwd dump.
  shot() { wait_frames 3 && xwd -silent -id "$wid" >"$scratch/$1.xwd"; }
  launch "$scratch/game"
  xprop -id "$wid" _NET_WM_ICON | grep -q 'Icon (64 x 64)' || fail "the window has no icon"
  shot one
  hold_until Escape 'Game shut down successfully.'
  finish 1x
  for flags in "1600 1216 0" "800 608 1"; do
    settings "$flags"
    launch "$scratch/game"
    shot two
    python3 - "$scratch/one.xwd" "$scratch/two.xwd" <<'PY' || fail "$flags: not the menu at 2 x"
import struct, sys
def load(path):
    data = open(path, "rb").read()
    f = struct.unpack(">25I", data[:100])
    start = f[0] + f[19] * 12
    return f[4], f[5], f[12], data[start:]
w, h, line, one = load(sys.argv[1])
W, H, LINE, two = load(sys.argv[2])
assert (w, h, W, H) == (800, 608, 1600, 1216), (w, h, W, H)
for y in range(H):
    row = one[(y // 2) * line:(y // 2) * line + 4 * w]
    wide = b"".join(row[i:i + 4] * 2 for i in range(0, len(row), 4))
    assert two[y * LINE:y * LINE + 4 * W] == wide, "row %d differs" % y
PY
    click 268 1038 'MenuState destructor called...'
    finish "$flags"
  done
  # Another window takes the keyboard during play: the game pauses.
  settings "800 608 0"
  launch "$scratch/game"
  click 100 330 'PlayState constructor initialized successfully...'
  wait_frames 3
  xclock &
  clock=$!
  other=$(xdotool search --sync --class xclock | head -n 1)
  xdotool windowfocus "$other"
  wait_for 'PauseState constructor called...' 50 || fail "focus lost but no pause"
  kill $clock
  xdotool windowfocus --sync "$wid"
  hold_until Escape 'Game shut down successfully.'
  finish focus
  exit 0
fi

launch "$scratch/game"
click 100 515 'MenuState destructor called...'
finish exit

launch "$scratch/game"
click 100 330 'PlayState constructor initialized successfully...'
wait_frames 5
before=$(level_picture)
xdotool keydown Right
wait_frames 20
xdotool keyup Right
wait_frames 3
[ "$before" != "$(level_picture)" ] || fail "the player did not move"
hold_until p 'PauseState constructor initialized successfully...'
hold_until Return 'PauseState destructor completed successfully.'
wait_frames 3
hold_until Escape 'PlayState destructor called...'
finish play
