#!/usr/bin/env bash
# The built game in a real X window under its own Xvfb, driven with xdotool the
# way a player would: (a) a click on Exit, (b) the Escape key, (c) a short game
# walked, paused, resumed and quit. Each run must end by itself with status 0
# and the whole shutdown narration.
#
# Usage: real_window.sh <dungeon executable> <Assets folder>
set -uo pipefail

exe=$1
assets=$2
scratch_name=dungeon-window
# shellcheck source=tests/xvfb_lib.sh
source "$(dirname "$0")/xvfb_lib.sh"

mkdir -p "$scratch/game"
cp -r "$assets" "$scratch/game/Assets"
mkdir -p "$scratch/game/Assets/bin" "$scratch/game/Assets/ini"
echo "Dungeon 800 608 0" >"$scratch/game/Assets/ini/game.ini"

# Starts the game, waits for the menu to run, then lets `action` drive it.
run_case() {
  local name=$1 action=$2
  local out="$scratch/out.txt"
  : >"$out"
  local t0 t1
  t0=$(date +%s%N)
  (cd "$scratch/game" && exec timeout 60 "$exe") >"$out" 2>"$scratch/err.txt" &
  local pid=$!
  wait_for '^1$' "$out" 300 || { kill "$pid" 2>/dev/null; fail "$name: no menu frame"; }
  t1=$(date +%s%N)
  echo "$name: launch to first menu frame: $(((t1 - t0) / 1000000)) ms"
  grep -q '^Game Initialized successfully...$' "$out" || fail "$name: start-up not narrated"
  wait_frames 3 || fail "$name: frames stopped"

  local wid
  wid=$(xdotool search --sync --name '^Dungeon$' | head -n 1)
  [ -n "$wid" ] || fail "$name: no window"
  $action "$wid"

  wait "$pid"
  local status=$?
  [ "$status" -eq 0 ] || fail "$name: exit status $status"
  for line in "MenuState destructor completed successfully." \
    "Game shut down function called..." \
    "Objects successfully deleted from container: 0" \
    "FileManager shut down successfully." \
    "Map shut down successfully." \
    "Game shut down successfully."; do
    grep -qxF -- "$line" "$out" || fail "$name: missing line: $line"
  done
  for line in "${also_expect[@]}"; do
    grep -qxF -- "$line" "$out" || fail "$name: missing line: $line"
  done
  also_expect=()
  [ "$(tail -n 1 "$out")" = "---------------------------------------------------------------" ] ||
    fail "$name: output does not end with the shutdown block"
  echo "$name: ok"
}

# A person points at Exit, then presses and releases the button.
click_exit() {
  local wid=$1
  xdotool mousemove --window "$wid" 100 515
  wait_frames 2 || fail "exit: frames stopped"
  xdotool mousedown 1
  # The menu reacts to the button being down; let go once it has.
  wait_for 'MenuState destructor called...' "$scratch/out.txt" 50 || fail "exit: click ignored"
  xdotool mouseup 1 2>/dev/null || true
}

# Keys count while held, so a press and release within one frame would go
# unseen: hold Escape until the game has reacted, as a person does.
press_escape() {
  local wid=$1
  xdotool windowfocus --sync "$wid" || fail "escape: cannot focus the window"
  xdotool keydown Escape
  wait_for 'MenuState destructor called...' "$scratch/out.txt" 50
  local seen=$?
  xdotool keyup Escape 2>/dev/null || true
  [ "$seen" -eq 0 ] || fail "escape: key ignored"
}

# Hash of the window's top 340 rows: the level only, above the pop-up boxes and
# the display (whose clock changes every second).
level_picture() {
  local wid=$1 dump="$scratch/window.xwd"
  xwd -silent -id "$wid" >"$dump" || fail "play: cannot read the window"
  # The header says where the pixels start and how long a row is.
  local header ncolors row
  header=$(od -An -t u4 --endian=big -j 0 -N 4 "$dump" | tr -d ' ')
  ncolors=$(od -An -t u4 --endian=big -j 76 -N 4 "$dump" | tr -d ' ')
  row=$(od -An -t u4 --endian=big -j 48 -N 4 "$dump" | tr -d ' ')
  tail -c +$((header + ncolors * 12 + 1)) "$dump" | head -c $((row * 340)) | md5sum
}

# Holds a key until the game has shown `line`, as a person would.
hold_until() {
  local key=$1 line=$2
  xdotool keydown "$key"
  wait_for "$line" "$scratch/out.txt" 50
  local seen=$?
  xdotool keyup "$key" 2>/dev/null || true
  [ "$seen" -eq 0 ] || fail "play: $key ignored"
}

# Play, walk, pause, resume and quit.
play_a_little() {
  local wid=$1
  also_expect=("PauseState destructor completed successfully."
    "PlayState destructor completed successfully."
    "Player destructor completed successfully."
    "Interface destructor completed successfully."
    "Camera destructor completed successfully.")
  xdotool mousemove --window "$wid" 100 330
  wait_frames 2 || fail "play: frames stopped"
  xdotool mousedown 1
  wait_for 'PlayState constructor initialized successfully...' "$scratch/out.txt" 50 ||
    fail "play: Play ignored"
  xdotool mouseup 1 2>/dev/null || true
  xdotool windowfocus --sync "$wid" || fail "play: cannot focus the window"
  wait_frames 5 || fail "play: frames stopped"
  local before after
  before=$(level_picture "$wid")
  xdotool keydown Right
  wait_frames 20
  xdotool keyup Right
  wait_frames 3 || fail "play: frames stopped"
  after=$(level_picture "$wid")
  [ "$before" != "$after" ] || fail "play: the player did not move"
  hold_until p 'PauseState constructor initialized successfully...'
  wait_for '^2$' "$scratch/out.txt" 50 || fail "play: no frame of the pause screen"
  hold_until Return 'PauseState destructor completed successfully.'
  wait_frames 3 || fail "play: the game did not resume"
  hold_until Escape 'PlayState destructor called...'
}

also_expect=()
run_case exit click_exit
run_case escape press_escape
run_case play play_a_little
echo "real window: all cases passed"
