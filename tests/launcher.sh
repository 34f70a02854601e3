#!/usr/bin/env bash
# The dungeon-gold launcher beside the built game (the release archive's
# layout), with a scratch HOME, under its own Xvfb:
#   launcher.sh <dungeon> <Assets> <dungeon-gold>
# Ten double starts (a double-click), into a new player's folder and over links
# to a game that moved: both games of each reach their menu with all their
# data and a settings file of the player's own. Then a player whose bin/ is a
# link to a folder of their own, started with a relative XDG_DATA_HOME: the
# link stays and its scores show. Last, --log-to-state (the menu entry's): the
# narration goes to the state folder, the run before kept; the settings file
# linked by an older launcher becomes a copy, and an edited one is kept; the
# log's own faults with a stand-in game.
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
[ -f "$player/Assets/ini/game.ini" ] && [ ! -L "$player/Assets/ini/game.ini" ] &&
  [ ! -L "$player/Assets/ini" ] || fail "the settings file is not the player's own copy"
cmp -s "$player/Assets/ini/game.ini" "$scratch/data/ini/game.ini" || fail "the settings copy differs"
leftovers=("$player"/Assets/ini/.copy-*)
[ ! -e "${leftovers[0]}" ] || fail "temporary copies left behind"

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

# Two runs from the menu entry, with a relative XDG_STATE_HOME (ignored):
# nothing on standard output, each narration in its log. Before the first,
# the settings folder is a link as an older launcher left it; before the
# second, the player has edited the copy that replaced it.
state=$HOME/.local/state/dungeon-gold
rm -r "$player/Assets/ini"
ln -s "$scratch/a/Assets/ini" "$player/Assets/ini" # as an older launcher linked it
for run in 1 2; do
  rm -f "$scratch"/*.out
  out=$state/last-run.log
  (cd "$scratch/elsewhere" && XDG_STATE_HOME=relative exec timeout 60 \
    "$scratch/a/dungeon-gold" --log-to-state) >"$scratch/one.out" 2>"$scratch/one.err" &
  pid=$!
  poll seen '^1$' || fail "run $run: no menu frame in $out"
  wid=$(xdotool search --sync --name '^Dungeon$' | head -n 1)
  xdotool windowfocus --sync "$wid"
  hold key Escape 'MenuState destructor called'
  wait $pid || fail "run $run: exit status $?"
  [ ! -s "$scratch/one.out" ] || fail "run $run: narration on standard output"
  [ "$(tail -n 2 "$out" | head -n 1)" = "Game shut down successfully." ] || fail "run $run: no shutdown in $out"
  [ -f "$player/Assets/ini/game.ini" ] && [ ! -L "$player/Assets/ini" ] ||
    fail "run $run: the settings folder is still a link"
  [ $run = 2 ] || echo "Dungeon 640 480 0" >"$player/Assets/ini/game.ini"
done
[ "$(cat "$player/Assets/ini/game.ini")" = "Dungeon 640 480 0" ] || fail "the player's settings were replaced"
grep -q '^1$' "$state/previous-run.log" || fail "the run before was not kept"
[ "$(find "$scratch/data" | sort)" = "$data" ] || fail "the game's data changed"
[ -z "$(ls -A "$scratch/elsewhere")" ] || fail "a relative XDG_STATE_HOME was used"
# The log is the launcher's own matter, so a stand-in game that narrates its
# process's number shows it fast: two starts at once (20 times) each keep a
# whole log; an unusable state folder, or an odd or dangling last-run.log,
# never stops the game nor is followed.
mkdir "$scratch/c" && cp "$3" "$scratch/c/dungeon-gold" && ln -s "$scratch/data" "$scratch/c/Assets"
printf '#!/bin/sh\necho "run $$"\nsleep 0.1\necho "end $$"\n' >"$scratch/c/dungeon"
chmod +x "$scratch/c/dungeon"
whole() { [ "$(cat "$state/$1-run.log")" = "$(printf 'run %s\nend %s' "$2" "$2")" ]; }
for try in $(seq 20); do
  "$scratch/c/dungeon-gold" --log-to-state 2>>"$scratch/c.err" & first=$!
  "$scratch/c/dungeon-gold" --log-to-state 2>>"$scratch/c.err" & second=$!
  wait $first && wait $second || fail "try $try: a launcher failed"
  { whole last $first && whole previous $second; } || { whole last $second && whole previous $first; } ||
    fail "try $try: a run's log is not whole"
done
[ ! -s "$scratch/c.err" ] || fail "the launchers complained"
ln -sfT "$scratch/victim" "$state/last-run.log"
"$scratch/c/dungeon-gold" --log-to-state & wait $! && whole last $! && [ ! -e "$scratch/victim" ] ||
  fail "a dangling last-run.log was followed"
rm "$state/last-run.log" && mkdir "$state/last-run.log"
"$scratch/c/dungeon-gold" --log-to-state & wait $! && whole last $! || fail "a folder last-run.log stopped it"
XDG_STATE_HOME=$scratch/c/dungeon "$scratch/c/dungeon-gold" --log-to-state >"$scratch/c.out" 2>"$scratch/c.err"
[ "$(grep -c run "$scratch/c.out")$(wc -l <"$scratch/c.err")" = 11 ] || fail "an unusable state folder"
exit 0
