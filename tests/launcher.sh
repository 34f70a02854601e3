#!/usr/bin/env bash
# The dungeon-gold launcher beside the built game (the release archive's
# layout), with a scratch HOME, under its own Xvfb:
#   launcher.sh <dungeon> <Assets> <dungeon-gold>
# Ten double starts (a double-click), into a new player's folder and over links
# to a game that moved: both games of each reach their menu with all their
# data. Then a player whose bin/ is a link to a folder of their own, started
# with a relative XDG_DATA_HOME: the link stays and its scores show.
set -uo pipefail
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dungeon-launcher-XXXXXX")
screen=1024x768x24
out=$scratch/one.out
trap 'kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
source "$(dirname "$0")/x_session.sh"
fail() {
  echo "FAIL: $*"
  tail -n 5 "$scratch"/*.out "$scratch"/*.err 2>/dev/null
  exit 1
}
both_seen() { seen "$1" && grep -q -- "$1" "$scratch/two.out" 2>/dev/null; }
windows() { [ "$(xdotool search --name '^Dungeon$' | wc -l)" -ge "$1" ]; }
# The menus ended so far, in all the games' logs.
menus() { cat "$scratch"/*.out | grep -c '^MenuState destructor called'; }
menus_ended() { [ "$(menus)" -ge "$1" ]; }
# The launcher of game copy $1 started from folder $2, its log in $3.out.
start() {
  (cd "$2" && exec timeout 60 "$scratch/$1/dungeon-gold") >"$scratch/$3.out" 2>"$scratch/$3.err" &
}
# Every game window takes the keyboard in turn and is ended with Escape.
escape_all() {
  local count
  count=$(menus)
  for wid in $(xdotool search --name '^Dungeon$'); do
    count=$((count + 1))
    xdotool windowfocus --sync "$wid" keydown Escape
    poll menus_ended $count
    local reacted=$?
    xdotool keyup Escape
    [ $reacted -eq 0 ] || fail "Escape ignored"
  done
}
# Waits for the games $@, which must have shut down normally.
finish() {
  for pid in "$@"; do
    wait "$pid" || fail "exit status $?"
  done
  for log in "$scratch"/*.out; do
    [ "$(tail -n 2 "$log" | head -n 1)" = "Game shut down successfully." ] || fail "no shutdown"
  done
}

export SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER XDG_DATA_HOME
export HOME=$scratch/home
player=$HOME/.local/share/dungeon-gold

# Two copies of the game in different places: each double start but the
# first finds the links made for the other one, as after an archive moved.
# The launcher must never write into the game's data.
cp -r "$2" "$scratch/data"
data=$(find "$scratch/data" | sort)
for copy in a b; do
  mkdir "$scratch/$copy"
  cp "$3" "$scratch/$copy/dungeon-gold"
  ln -s "$1" "$scratch/$copy/dungeon"
  ln -s "$scratch/data" "$scratch/$copy/Assets"
done

for round in 1 2 3 4 5 6 7 8 9 10; do
  copy=$([ $((round % 2)) = 1 ] && echo a || echo b)
  [ $((round % 4)) != 1 ] || rm -rf "$HOME" # a new player
  start "$copy" "$scratch" one
  first=$!
  sleep "0.0$((round % 3 * 4))" # 0 to 80 ms apart
  start "$copy" "$scratch" two
  poll both_seen '^1$' || fail "round $round: a game never reached its menu"
  grep -q 'ERROR\|rror opening\|could not' "$scratch"/*.out && fail "round $round: missing data"
  poll windows 2 || fail "round $round: no two windows"
  escape_all
  finish $first $!
  [ "$(readlink "$player/Assets/Maps")" = "$scratch/$copy/Assets/Maps" ] || fail "round $round: stale link"
done
[ "$(find "$scratch/data" | sort)" = "$data" ] || fail "the game's data changed"
leftovers=("$player"/Assets/.links-*)
[ ! -e "${leftovers[0]}" ] || fail "temporary links left behind"

# The player's own score folder through a link, and a link of their own; the
# relative XDG_DATA_HOME would give an empty score folder under the start folder.
mkdir "$scratch/mine" "$scratch/elsewhere"
score=$(printf '\xc2\x01\x00\x00' | tee "$scratch/mine/scores.bin" | md5sum)
rm -r "$player/Assets/bin"
ln -s "$scratch/mine" "$player/Assets/bin"
ln -s "$scratch/mine" "$player/Assets/Notes"
rm "$scratch"/*.out
XDG_DATA_HOME=relative start a "$scratch/elsewhere" one
pid=$!
poll seen '^1$' || fail "no menu frame"
wid=$(xdotool search --sync --name '^Dungeon$' | head -n 1)
xdotool windowfocus --sync "$wid" mousemove --window "$wid" 100 395 mousedown 1
poll seen 'Info read from file successfully'
xdotool mouseup 1
seen 'Info read from file successfully: Assets\\bin\\scores.bin' || fail "the player's scores not read"
escape_all
finish $pid
[ "$(readlink "$player/Assets/bin")" = "$scratch/mine" ] || fail "the player's bin link is gone"
[ "$(readlink "$player/Assets/Notes")" = "$scratch/mine" ] || fail "the player's own link is gone"
[ "$(md5sum <"$scratch/mine/scores.bin")" = "$score" ] || fail "the score file changed"
[ -z "$(ls -A "$scratch/elsewhere")" ] || fail "a relative XDG_DATA_HOME was used"
exit 0
