#!/usr/bin/env bash
# Every real-window check: the game as a player gets it, in a real X window
# under its own Xvfb, driven with xdotool through SDL's real keyboard and mouse.
#   real_window.sh <target> <dungeon> <Assets> [<dungeon-gold>]  for game, play,
#     sizes, scaled, launcher and launcher_log
#   real_window.sh archive <CPackConfig.cmake> | deb <package.deb> |
#     windows <build-windows>   (make package-test, make windows-test)
#   real_window.sh together <dungeon> <Assets> <dungeon-gold> <target>...  those
#     targets side by side, each with its own Xvfb (they mostly wait on the
#     games), each line shown after its target's name.
# Each target is a function <target>_target below, described there; its screen
# and patience are set in the table before the X session starts.
#
# Sourced (by bench/bench_cpu.sh and tests/clean_debian.sh), only the X session
# starts: the caller sets `scratch`, `out` (the game's narration), `screen`
# (default 1600x1216x24) and `patience` (poll's tries of 20 ms; default 500).
# Xvfb's process is $xvfb; DISPLAY is set once it is up.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
sourced=$([[ "${BASH_SOURCE[0]}" != "$0" ]] && echo 1)
if [ -z "$sourced" ] && [ "$1" = together ]; then
  game=("$2" "$3" "$4")
  shift 4
  logs=$(mktemp -d "${TMPDIR:-/tmp}/dungeon-together-XXXXXX")
  pids=() status=0
  for target; do bash "$0" "$target" "${game[@]}" >"$logs/$target" 2>&1 & pids+=($!); done
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
  for target; do sed "s/^/$target: /" "$logs/$target"; done
  rm -rf "$logs"
  exit $status
fi
if [ -z "$sourced" ]; then
  set -uo pipefail
  target=$1
  shift
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/dungeon-window-XXXXXX")
  [ -d "$scratch" ] || { echo "FAIL: no scratch folder"; exit 1; }
  out=$scratch/out.txt
  exe=./dungeon   # started in the game's folder
  status=0        # the exit status of a game ended normally
  case $target in
  sizes) screen=16400x100x24 ;; # wider than SDL makes any window
  scaled) screen=1920x1080x24 ;;
  launcher | launcher_log) screen=1024x768x24 ;;
  windows) patience=1500 ;; # Wine is slow to start a program: 30 s
  esac
  trap 'cleanup_target 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
fi

# Servers started side by side pick their displays one at a time, each once
# the one before has taken its own.
exec {xlock}>"${TMPDIR:-/tmp}/dungeon-xvfb.lock"
flock "$xlock"
Xvfb -displayfd 3 -screen 0 "${screen:-1600x1216x24}" -nolisten tcp 3>"$scratch/display" \
  >/dev/null 2>&1 {xlock}>&- &
xvfb=$!

# Fails, showing the ends of the narration and of the files $show names.
fail() {
  echo "FAIL: $*"
  tail -n 20 "$out" ${show:-} 2>/dev/null
  exit 1
}
# Retries a command until it succeeds, for up to $patience tries.
poll() {
  local i
  for ((i = 0; i < ${patience:-500}; i++)); do
    "$@" && return 0
    read -rt 0.02 -u "$nap" || : # a sleep without starting a process
  done
  return 1
}
# Polls read the narration many times a second, so each read is one process
# at most (a Windows game's lines, which end in CRs, take two: see crlf).
exec {nap}<> <(:) # a pipe nothing writes to: reads on it time out
seen() {
  [ -f "$out" ] && if [ -n "${crlf:-}" ]; then tr -d '\r' <"$out" | grep -q -- "$1"; else
    grep -q -- "$1" "$out"
  fi
}
# The game narrates the size of its screen queue after every step.
frames() { grep -c "^[0-9]\+"$'\r'"\?$" "$out"; }
more_frames() { [ "$(frames)" -ge "$1" ]; }
wait_frames() { poll more_frames $(($(frames) + $1)) || fail "frames stopped"; }
# Input acts while held: a key (hold key Escape ...) or the mouse button (hold
# mouse 1 ...) is held until the game narrates $3 (or the command $3... holds).
hold() {
  xdotool "$1down" "$2"
  if [ $# -gt 3 ]; then poll "${@:3}"; else poll seen "$3"; fi
  local reacted=$?
  xdotool "$1up" "$2"
  [ $reacted -eq 0 ] || fail "$1 $2 ignored"
}
# Clicks at ($1, $2) of the window $wid until the game narrates $3.
click() {
  xdotool mousemove --window "$wid" "$1" "$2"
  wait_frames 2
  hold mouse 1 "$3"
}
# Waits for the game's first frame and its window, which takes the keyboard;
# $1 prefixes the failure.
at_menu() {
  poll seen '^1$' || fail "${1:-}no menu frame"
  wid=$(xdotool search --sync --onlyvisible --name '^Dungeon$' | head -n 1)
  xdotool windowfocus --sync "$wid"
}
# The narration $1 (default $out) ends as a game shut down normally does.
shut_down() { [ "$(tr -d '\r' <"${1:-$out}" | tail -n 2 | head -n 1)" = "Game shut down successfully." ]; }
# The game started last ($pid) ended with status $status (or $2, default 0)
# and shut down normally.
finish() {
  wait "$pid"
  local got=$? want=${2:-${status:-0}}
  [ $got -eq "$want" ] || fail "$1: exit status $got"
  [ "$want" != 0 ] || shut_down || fail "$1: no shutdown"
}
# Escape ends the game, which finishes as above; $1 names the run.
quit() {
  hold key Escape 'Game shut down successfully.'
  finish "$1"
}

poll test -s "$scratch/display" || fail "no X display"
exec {xlock}>&-
export DISPLAY=":$(head -n 1 "$scratch/display")"
unset WAYLAND_DISPLAY
[ -z "$sourced" ] || return 0

# Starts the game (program $exe, or command $2) in folder $1 and waits for the
# menu and its window.
launch() {
  (cd "$1" && exec timeout 120 ${2:-$exe}) >"$out" 2>"$scratch/err.txt" &
  pid=$!
  at_menu
}
# The folder $1 (named $2) holds the files $3... and an empty Assets/bin: a
# player's scores and choices are never shipped.
ships() {
  local dir=$1 what=$2 f
  shift 2
  for f; do [ -e "$dir/$f" ] || fail "$what lacks $f"; done
  [ -d "$dir/Assets/bin" ] && [ -z "$(ls -A "$dir/Assets/bin")" ] ||
    fail "$what has no empty Assets/bin: $(ls -A "$dir/Assets/bin")"
}
# Launches the copied game with game.ini's window settings $1.
launch_with() { echo "Dungeon $1" >"$game/Assets/ini/game.ini" && launch "$game"; }
shot() { wait_frames 3 && xwd -silent -id "$wid" >"$scratch/$1.xwd"; }
# Compares two pictures, each an xwd dump or a PNG: `same` pixel for pixel,
# `double` the second the first at 2 x, `scaled` the second (its drawn part)
# the first scaled smoothly to its size.
pictures() {
  /usr/bin/python3 - "$@" <<'PY'
import struct, sys
from PIL import Image, ImageChops, ImageStat
def load(path):  # an xwd dump of 32-bit pixels, or a PNG, as an RGB picture
    data = open(path, "rb").read()
    if data[:4] == b"\x89PNG":
        return Image.open(path).convert("RGB")
    f = struct.unpack(">25I", data[:100])
    w, h, line = f[4], f[5], f[12]
    return Image.frombytes("RGBX", (w, h), data[f[0] + f[19] * 12:], "raw", "BGRX", line).convert("RGB")
how, one, two = sys.argv[1], load(sys.argv[2]), load(sys.argv[3])
if how == "same":
    assert one.size == two.size and one.tobytes() == two.tobytes(), "pixels differ"
elif how == "double":
    assert (one.size, two.size) == ((800, 608), (1600, 1216)), (one.size, two.size)
    assert two.tobytes() == one.resize(two.size, Image.NEAREST).tobytes(), "not the 1 x picture at 2 x"
else:
    box = two.point(lambda v: 255 if v > 0 else 0).getbbox()
    drawn = two.crop(box)
    # Scaled as the game scales: to the next whole multiple by nearest
    # neighbour, then smoothly to the size drawn.
    k = -(-drawn.width // one.width)
    one = one.resize((one.width * k, one.height * k), Image.NEAREST)
    diff = ImageChops.difference(drawn, one.resize(drawn.size, Image.BILINEAR)).convert("L")
    mean = ImageStat.Stat(diff).mean[0]
    # A row of the menu's words lost to the scaling stands out as a row far off.
    rows = [ImageStat.Stat(diff.crop((0, y, diff.width, y + 1))).mean[0] for y in range(diff.height)]
    print("drawn %d x %d at (%d, %d), mean difference %.2f, worst row %.2f"
          % (drawn.width, drawn.height, box[0], box[1], mean, max(rows)))
    assert how != "full" or (drawn.width >= 1400 and drawn.height >= 1060), "drawn area too small"
    # Measured: 0.4 to 1.0 on average, rows at most 6.3 (1.5 x under Wine,
    # 1.78 x, 0.875 x, 0.86 x); the same picture scaled by nearest neighbour
    # gives rows of 19 to 26, and one moved by a pixel 3.7 on average at 1.5 x.
    assert mean < 1.5 and max(rows) < 12, "the picture is not the menu scaled"
PY
}
# A copy of the built game ($1) and its Assets ($2) in the scratch folder.
copy_game() {
  game=$scratch/game
  mkdir -p "$game"
  cp -r "$2" "$game/Assets"
  find "$game/Assets/bin" -mindepth 1 -delete # a player's scores and choices stay theirs
  ln -s "$1" "$game/dungeon"
}
# A scratch home for the launcher; $player is the folder it makes there.
scratch_home() { export HOME=$scratch/home && unset XDG_DATA_HOME && player=$HOME/.local/share/dungeon-gold; }
unset SDL_VIDEODRIVER

game_target() {
  copy_game "$@"
  launch_with "800 608 0"
  [[ "$(xprop -id "$wid" _NET_WM_ICON)" == *"Icon (64 x 64)"* ]] || fail "the window has no icon"
  # The class the desktop ties to the menu entry, whose StartupWMClass names it.
  class=$(sed -n 's/^StartupWMClass=//p' "$here"/../packaging/*.desktop)
  [ "$(xprop -id "$wid" WM_CLASS)" = "WM_CLASS(STRING) = \"$class\", \"$class\"" ] ||
    fail "the window's class is not the menu entry's \"$class\""
  shot one
  # F11 on this screen, which has no window manager to cover it: the whole
  # screen shows the menu at 2 x; F11 again, the window is back as it was.
  xdotool key F11
  wait_frames 3
  xwd -silent -root >"$scratch/screen.xwd"
  pictures double "$scratch/one.xwd" "$scratch/screen.xwd" || fail "F11: the screen is not the menu at 2 x"
  xdotool key F11
  shot back
  [[ "$(xdotool getwindowgeometry "$wid")" == *"Position: 400,304 "*"Geometry: 800x608"* ]] ||
    fail "F11 again: the window is not back: $(xdotool getwindowgeometry "$wid")"
  pictures same "$scratch/one.xwd" "$scratch/back.xwd" || fail "F11 again: not the menu"
  click 100 515 'MenuState destructor called...'
  finish "F11 and back, Exit at 1 x"
  rm "$game/Assets/bin/preferences.txt" # F11 is remembered over game.ini's choice
  # A 2 x window and fullscreen show the 1 x menu doubled, and Exit works there.
  for flags in "1600 1216 0" "800 608 1"; do
    launch_with "$flags"
    shot two
    pictures double "$scratch/one.xwd" "$scratch/two.xwd" || fail "$flags: not the menu at 2 x"
    click 268 1038 'MenuState destructor called...'
    finish "Exit at $flags"
  done
}

play_target() {
  copy_game "$@"
  # A walk changes the level's top rows, above the pop-ups and the ticking display.
  level_picture() { xwd -silent -id "$wid" | tail -c 2000000 | head -c 800000 | md5sum; }
  launch_with "800 608 0"
  click 100 330 'PlayState constructor initialized successfully...'
  wait_frames 5
  local before
  before=$(level_picture)
  xdotool keydown Right
  wait_frames 20
  xdotool keyup Right
  wait_frames 3
  [ "$before" != "$(level_picture)" ] || fail "the player did not move"
  # Another window takes the keyboard during play: the game pauses.
  xclock &
  local clock=$!
  xdotool windowfocus "$(xdotool search --sync --class xclock | head -n 1)"
  poll seen 'PauseState constructor called...' || fail "focus lost but no pause"
  kill $clock
  xdotool windowfocus --sync "$wid"
  hold key Return 'PauseState destructor completed successfully.'
  wait_frames 3
  quit play

  # Started without standard error, or without both output streams: the X
  # connection must not take their numbers, or a library's diagnostics written
  # there hang the game. It reaches the menu and ends on Escape all the same.
  for closed in "2>&-" ">&- 2>&-"; do
    (cd "$game" && eval "exec timeout 30 ./dungeon >$out $closed") &
    pid=$!
    wid=$(timeout 20 xdotool search --sync --name '^Dungeon$' | head -n 1)
    [ -n "$wid" ] || fail "$closed: no window"
    [ "$closed" != "2>&-" ] || poll seen '^1$' || fail "$closed: no menu frame"
    xdotool windowfocus --sync "$wid" keydown Escape
    poll eval '! kill -0 $pid 2>/dev/null'
    xdotool keyup Escape
    wait "$pid" || fail "$closed: exit status $?"
  done
}

sizes_target() {
  copy_game "$@"
  # Settings, the line naming the size used, the window's size.
  for row in "4000 3000|Window size reduced to fit the desktop: 160 x 100|160x100" \
    "99999 1|Game window of 16400 x 100 could not be created, using 800 x 608.|800x608"; do
    IFS='|' read -r size line geometry <<<"$row"
    launch_with "$size 0"
    grep -qxF "$line" "$out" || fail "$size: no line \"$line\""
    [[ "$(xdotool getwindowgeometry "$wid")" == *"Geometry: $geometry"* ]] || fail "$size: not $geometry"
    quit "$size"
  done
}

scaled_target() {
  # The 1 x menu filling a 1920 x 1080 screen (1.78 x) and in windows of 700 x
  # 532 and 688 x 523 (0.875 x, 0.86 x): each shot is the 1 x shot scaled to
  # the size drawn, and a click on Scores placed by that scale reaches it.
  copy_game "$@"
  launch_with "800 608 0"
  shot one
  quit "1 x"
  for row in "800 608 1|full|1920|1080" "700 532 0|small|700|532" "688 523 0|smaller|688|523"; do
    IFS='|' read -r flags name width height <<<"$row"
    launch_with "$flags"
    shot "$name"
    pictures "$name" "$scratch/one.xwd" "$scratch/$name.xwd" || fail "$flags: not the menu scaled"
    # The centre of the Scores button (166, 395 at 1 x) at the scale drawn,
    # the picture centred in the window.
    read -r x y < <(python3 -c "
s = min($width / 800, $height / 608)
print(round(($width - int(800 * s)) // 2 + 166 * s), round(($height - int(608 * s)) // 2 + 395 * s))")
    click "$x" "$y" 'ScoresState constructor called...'
    quit "$flags"
  done
}

archive_target() {
  cpack --config "$1" -G TGZ -B "$scratch/pack" >"$scratch/cpack.log" 2>&1 &&
    tar -xzf "$scratch"/pack/dungeon-*-Linux-*.tar.gz -C "$scratch" || fail "cannot pack and unpack"
  game=$(ls -d "$scratch"/dungeon-*/ | head -n 1)
  ships "$game" archive README.md dungeon-gold Assets/Fonts/LICENSE-Terminus.txt Assets/Maps/collisionMap.map
  launch "$game"
  seen 'ERROR\|could not' && fail "the game could not load its data"
  quit archive
}

deb_target() {
  local deb root=$scratch/root
  deb=$(realpath "$1")
  dpkg-deb -x "$deb" "$root" || fail "cannot unpack $deb"
  lintian "$deb" >"$out" 2>&1 || fail "lintian finds errors"
  desktop-file-validate "$root"/usr/share/applications/*.desktop >"$out" || fail "bad menu entry"
  # The software centres' listing names the menu entry, and every icon size is there.
  appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$out" ||
    fail "bad AppStream listing"
  local entry
  entry=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' \
    "$root"/usr/share/metainfo/*.metainfo.xml)
  [ -f "$root/usr/share/applications/$entry" ] || fail "the listing names no menu entry"
  for size in 16 24 32 48 64 128 256; do
    [ -f "$root/usr/share/icons/hicolor/${size}x$size/apps/dungeon-gold.png" ] || fail "no $size px icon"
  done
  local launcher=$root/usr/games/dungeon-gold
  scratch_home
  launch "$scratch" "$launcher"
  seen 'ERROR\|could not' && fail "the game could not load its data"
  click 100 515 'MenuState destructor called...'
  finish "deb, Exit"
  [ -d "$player/Assets/bin" ] && [ ! -L "$player/Assets/bin" ] || fail "no bin/ of the player's own"
  local score
  score=$(printf '\xc2\x01\x00\x00' | tee "$player/Assets/bin/scores.bin" | md5sum)
  ln -s "$scratch/gone" "$player/Assets/Gone"
  launch "$scratch" "$launcher"
  click 100 395 'Info read from file successfully'
  quit "deb, Scores"
  [ "$(md5sum <"$player/Assets/bin/scores.bin")" = "$score" ] || fail "the score file changed"
  [ ! -L "$player/Assets/Gone" ] || fail "a stale link stayed"
  # A folder that is a file, no home at all, a score file linked to nothing:
  # one line on stderr, a failure status, and the player's files untouched.
  mkdir -p "$scratch/file" "$scratch/dangling/dungeon-gold/Assets/bin"
  echo mine >"$scratch/file/dungeon-gold"
  ln -s "$scratch/gone" "$scratch/dangling/dungeon-gold/Assets/bin/scores.bin"
  for bad in "XDG_DATA_HOME=$scratch/file" "-u HOME" "XDG_DATA_HOME=$scratch/dangling"; do
    env $bad timeout 10 "$launcher" >"$out" 2>&1 && fail "$bad: started"
    [ "$(wc -l <"$out")" = 1 ] || fail "$bad: not one line"
  done
  [ "$(cat "$scratch/file/dungeon-gold")" = mine ] || fail "the player's file changed"
  [ -L "$scratch/dangling/dungeon-gold/Assets/bin/scores.bin" ] || fail "the player's link is gone"
}

# The dungeon-gold launcher beside the built game (the release archive's
# layout), with a scratch HOME. launcher: double starts (a double-click) and
# the player's own folders; launcher_log: --log-to-state, the menu entry's.
launcher_target() {
  out=$scratch/one.out
  show="$scratch/*.out $scratch/*.err"
  both_seen() { seen "$1" && grep -q -- "$1" "$scratch/two.out" 2>/dev/null; }
  windows() { [ "$(xdotool search --name '^Dungeon$' | wc -l)" -ge "$1" ]; }
  # The menus ended so far, in all the games' logs.
  menus() { cat "$scratch"/*.out | grep -c '^MenuState destructor called'; }
  menus_ended() { [ "$(menus)" -ge "$1" ]; }
  # The launcher of game copy $1 started from folder $2 (with options $4...),
  # its output in $3.out.
  start() {
    (cd "$2" && exec timeout 60 "$scratch/$1/dungeon-gold" "${@:4}") >"$scratch/$3.out" 2>"$scratch/$3.err" &
  }
  # Every game window takes the keyboard in turn and is ended with Escape.
  escape_all() {
    local count wid
    count=$(menus)
    for wid in $(xdotool search --name '^Dungeon$'); do
      xdotool windowfocus --sync "$wid"
      hold key Escape menus_ended $((++count))
    done
  }
  # Waits for the games $@, which must have shut down normally.
  finish_all() {
    for pid in "$@"; do wait "$pid" || fail "exit status $?"; done
    for log in "$scratch"/*.out; do shut_down "$log" || fail "no shutdown"; done
  }
  export SDL_AUDIODRIVER=dummy
  scratch_home

  # Two copies of the game in different places: each double start but the
  # first finds the links made for the other one, as after an archive moved.
  # The launcher must never write into the game's data.
  cp -r "$2" "$scratch/data"
  find "$scratch/data/bin" -mindepth 1 -delete
  local data
  data=$(find "$scratch/data" | sort)
  for copy in a b; do
    mkdir "$scratch/$copy"
    cp "$3" "$scratch/$copy/dungeon-gold"
    ln -s "$1" "$scratch/$copy/dungeon"
    ln -s "$scratch/data" "$scratch/$copy/Assets"
  done
  if [ "$target" = launcher ]; then
    # Rounds alternate the copies; the first and the fourth have a new player;
    # the two starts are 0, 40, 0 and 80 ms apart.
    for round in 1 2 3 4; do
      copy=$([ $((round % 2)) = 1 ] && echo a || echo b)
      [ $((round % 3)) != 1 ] || rm -rf "$HOME" # a new player
      start "$copy" "$scratch" one
      first=$!
      sleep "0.0$((round % 2 ? 0 : round * 2))"
      start "$copy" "$scratch" two
      poll both_seen '^1$' || fail "round $round: a game never reached its menu"
      grep -q 'ERROR\|rror opening\|could not' "$scratch"/*.out && fail "round $round: missing data"
      poll windows 2 || fail "round $round: no two windows"
      escape_all
      finish_all $first $!
      [ "$(readlink "$player/Assets/Maps")" = "$scratch/$copy/Assets/Maps" ] || fail "round $round: stale link"
    done
    [ "$(find "$scratch/data" | sort)" = "$data" ] || fail "the game's data changed"
    ! compgen -G "$player/Assets/.links-*" >/dev/null || fail "temporary links left behind"
    [ -f "$player/Assets/ini/game.ini" ] && [ ! -L "$player/Assets/ini/game.ini" ] &&
      [ ! -L "$player/Assets/ini" ] || fail "the settings file is not the player's own copy"
    cmp -s "$player/Assets/ini/game.ini" "$scratch/data/ini/game.ini" || fail "the settings copy differs"
    ! compgen -G "$player/Assets/ini/.copy-*" >/dev/null || fail "temporary copies left behind"

    # The player's own score folder through a link, and a link of their own; the
    # relative XDG_DATA_HOME would give an empty score folder under the start folder.
    mkdir "$scratch/mine" "$scratch/elsewhere"
    local score
    score=$(printf '\xc2\x01\x00\x00' | tee "$scratch/mine/scores.bin" | md5sum)
    rm -r "$player/Assets/bin"
    ln -s "$scratch/mine" "$player/Assets/bin"
    ln -s "$scratch/mine" "$player/Assets/Notes"
    rm "$scratch"/*.out
    XDG_DATA_HOME=relative start a "$scratch/elsewhere" one
    pid=$!
    at_menu
    click 100 395 'Info read from file successfully'
    seen 'Info read from file successfully: Assets\\bin\\scores.bin' || fail "the player's scores not read"
    escape_all
    finish_all $pid
    [ "$(readlink "$player/Assets/bin")" = "$scratch/mine" ] || fail "the player's bin link is gone"
    [ "$(readlink "$player/Assets/Notes")" = "$scratch/mine" ] || fail "the player's own link is gone"
    [ "$(md5sum <"$scratch/mine/scores.bin")" = "$score" ] || fail "the score file changed"
    [ -z "$(ls -A "$scratch/elsewhere")" ] || fail "a relative XDG_DATA_HOME was used"
  else
    # A player folder as the rounds above leave it (this half runs on its own).
    mkdir -p "$player/Assets" "$scratch/elsewhere"
    # Two runs from the menu entry, with a relative XDG_STATE_HOME (ignored):
    # nothing on standard output, each narration in its log. Before the first,
    # the settings folder is a link; before the second, the player edits the
    # copy that replaced it.
    local state=$HOME/.local/state/dungeon-gold
    rm -rf "$player/Assets/ini"
    ln -s "$scratch/a/Assets/ini" "$player/Assets/ini" # as an older launcher linked it
    for run in 1 2; do
      rm -f "$scratch"/*.out
      out=$state/last-run.log
      XDG_STATE_HOME=relative start a "$scratch/elsewhere" one --log-to-state
      pid=$!
      at_menu "run $run: "
      quit "run $run"
      [ ! -s "$scratch/one.out" ] || fail "run $run: narration on standard output"
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
    local try first second
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
  fi
}
launcher_log_target() { launcher_target "$@"; }

# The Windows build as a player gets it, under Wine: the zip unpacked into a
# scratch folder, then the installer run silently in a scratch Wine prefix.
windows_target() {
  build=$(cd "$1" && pwd)
  crlf=1
  wine_in() { bash "$here/wine.sh" "$@"; }
  # Games run under the Wine prefix $1 from now on.
  use_prefix() { prefix=$1 exe="bash $here/wine.sh $1 ./dungeon.exe" && wine_in "$1"; }
  cleanup_target() { wine_in "$build/wine" --stop && wine_in "$scratch/prefix" --stop; }
  # Under Wine a click in a game's first seconds can be lost: it is made again
  # every half second until the game narrates $3, for up to 30 s.
  click() {
    local i
    for ((i = 0; i < 60; i++)); do
      xdotool mousemove --window "$wid" "$1" "$2" click 1
      sleep 0.5
      seen "$3" && return 0
    done
    fail "click at ($1, $2) ignored"
  }
  # The narration without CRs, frame counts (folded in the transcripts), the
  # session's own reports, and the line of a missing accelerated renderer
  # (headless sessions never have one; a real window under Wine has Direct3D).
  narration() {
    tr -d '\r' <"$1" | grep -v -e '^\([0-9]\+ x \)\?[0-9]\+$' -e '^#> ' \
      -e '^Accelerated renderer unavailable, using the software renderer\.$'
  }
  same_as() {
    diff -u <(narration "$here/golden/$1.log") <(narration "$out") >"$scratch/diff.txt" ||
      { head -40 "$scratch/diff.txt"; fail "$2: the narration differs from $1.log"; }
  }
  export SDL_AUDIODRIVER=dummy # every run here is silent

  local zip setup
  zip=$(ls "$build"/dungeon-gold-*-win64.zip) || fail "no zip"
  setup=$(ls "$build"/dungeon-gold-*-win64-setup.exe) || fail "no installer"
  unzip -q "$zip" -d "$scratch/zip" || fail "cannot unzip"
  game=$(ls -d "$scratch"/zip/dungeon-gold-*/)
  ships "$game" "the zip" dungeon.exe README.md licenses/libsdl2.copyright licenses/Terminus-font.txt \
    Assets/Fonts/Fixedsys.fon Assets/Maps/collisionMap.map
  use_prefix "$build/wine"

  # Start-up, Play, Escape during play.
  launch "$game"
  click 100 330 'PlayState constructor initialized successfully...'
  wait_frames 5
  quit "Play, Escape"
  same_as play_escape "Play, Escape"

  # F11: Windows' own video driver resizes the window to the whole screen, the
  # menu drawn at 2 x: Exit is clicked there (see golden.window in CMakeLists).
  launch "$game"
  xdotool key F11
  # Placed as well as sized, or the click may land where the window was.
  window_size() { xdotool getwindowgeometry "$wid" | grep -o '[0-9]*x[0-9]*$'; }
  whole_screen() { [[ "$(xdotool getwindowgeometry "$wid")" == *"Position: 0,0 "*"1600x1216"* ]]; }
  poll whole_screen || fail "F11: the window is $(xdotool getwindowgeometry "$wid")"
  click 268 1038 'MenuState destructor called...'
  finish "F11, Exit"
  # The player's choice of fullscreen is kept beside the scores, for the next
  # start; the runs below want a window again.
  tr -d '\r' <"$game/Assets/bin/preferences.txt" | grep -qx 'fullscreen on' || fail "F11 not remembered"
  rm "$game/Assets/bin/preferences.txt"

  # Without game.ini.
  mv "$game/Assets/ini/game.ini" "$scratch/game.ini"
  (cd "$game" && exec timeout 60 $exe) >"$out" 2>&1 &
  pid=$! && finish "no game.ini" 1
  same_as no_settings "no game.ini"
  mv "$scratch/game.ini" "$game/Assets/ini/game.ini"

  # The records of scores_bytes.script (10, 13, 26, 0x0d0a0d0a), bytes a
  # text-mode file would turn or stop at, shown as the headless session draws
  # them; it runs without the X display, as in ctest: with it, SDL's direct3d11
  # renderer takes the session's dummy window and draws nowhere.
  printf '\x0a\x00\x00\x00\x0d\x00\x00\x00\x1a\x00\x00\x00\x0a\x0d\x0a\x0d' >"$game/Assets/bin/scores.bin"
  for script in scores_bytes menu_exit; do # the pictures scores.png and menu.png
    env -u DISPLAY bash "$here/wine.sh" "$prefix" "$build/tests/golden_runner.exe" \
      "$here/golden/$script.script" --pictures "$scratch/pictures" >/dev/null 2>&1 ||
      fail "no headless $script picture"
  done
  # SDL's software renderer, as in the session: Direct3D samples the stretched
  # score lines a little differently.
  SDL_RENDER_DRIVER=software launch "$game"
  click 100 395 'Info read from file successfully'
  shot scores
  quit "Scores"
  same_as scores_bytes "Scores"
  pictures same "$scratch/scores.xwd" "$scratch/pictures/scores.png" || fail "the Scores screen differs"

  # The installer, silently, into a fresh prefix of its own.
  use_prefix "$scratch/prefix"
  wine_in "$prefix" "$setup" /S || fail "the installer failed"
  local user_dir installed link
  user_dir=$(ls -d "$prefix"/drive_c/users/*/AppData | grep -v '/Public/' | head -n 1)
  installed="$user_dir/Local/Programs/Dungeon Gold"
  link="$user_dir/Roaming/Microsoft/Windows/Start Menu/Programs/Dungeon Gold.lnk"
  ships "$installed" "the installed game" dungeon.exe Uninstall.exe Assets/Fonts/Fixedsys.fon licenses/libsdl2.copyright
  [ -e "$link" ] || fail "no Start-menu shortcut"
  local uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\DungeonGold'
  wine_in "$prefix" reg query "$uninstall_key" /v UninstallString >/dev/null 2>&1 ||
    fail "no entry in the installed programs"

  # Started from cmd with its output redirected to a file: the narration goes
  # there, and no log. As the Start menu starts it, with no standard handles
  # (`start` keeps its own): no console window (titled with the program's
  # path), and last-run.log holds the same narration.
  local logs="$user_dir/Local/Dungeon Gold" names stdout=$scratch/stdout.txt
  out=$installed/narration.txt
  (cd "$installed" && exec timeout 120 bash "$here/wine.sh" "$prefix" cmd /c 'dungeon.exe >narration.txt') </dev/null &
  pid=$!
  at_menu "redirected by cmd: "
  seen 'ERROR\|could not' && fail "the installed game could not load its data"
  quit "redirected by cmd"
  [ ! -e "$logs" ] || fail "redirected by cmd: a log written too"
  mv "$out" "$stdout"
  out=$logs/last-run.log
  (cd / && exec timeout 120 bash "$here/wine.sh" "$prefix" start /wait /unix "$link") >"$scratch/start.txt" 2>&1 &
  pid=$!
  at_menu "Start menu: "
  names=$(for w in $(xdotool search --onlyvisible --name .); do xdotool getwindowname "$w"; done | sort -u)
  [ "$names" = Dungeon ] || fail "Start menu: other windows: $names"
  quit "Start menu"
  [ ! -s "$scratch/start.txt" ] || fail "Start menu: narration on start's output"
  cmp -s <(narration "$stdout") <(narration "$out") || fail "last-run.log is not the narration"
  rm -r "$logs"

  # At a display scaling of 150 % (144 DPI, read when Wine starts), the
  # window is game.ini's size in pixels, showing the 1 x menu scaled.
  wine_in "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
    fail "cannot set 144 DPI"
  wine_in "$prefix" --stop
  echo "Dungeon 1200 912 0" >"$installed/Assets/ini/game.ini"
  out=$scratch/out.txt
  SDL_RENDER_DRIVER=software launch "$installed"
  [ "$(window_size)" = 1200x912 ] || fail "144 DPI: the window is $(window_size)"
  shot dpi
  quit "144 DPI"
  pictures dpi "$scratch/pictures/menu.png" "$scratch/dpi.xwd" || fail "144 DPI: not the menu scaled"

  # A GUI program (no console window from the Start menu) whose manifest
  # declares its DPI awareness.
  [[ "$(x86_64-w64-mingw32-objdump -p "$game/dungeon.exe")" == *"(Windows GUI)"* ]] || fail "not GUI"
  grep -aq '<dpiAwareness[^>]*>PerMonitorV2, PerMonitor<' "$game/dungeon.exe" || fail "no DPI awareness"
  # The player's scores, preferences and edited settings outlive a reinstall
  # and the uninstaller, byte for byte.
  printf '\xc2\x01\x00\x00' >"$installed/Assets/bin/scores.bin"
  echo "sound off" >"$installed/Assets/bin/preferences.txt"
  echo "Dungeon 640 480 0" >"$installed/Assets/ini/game.ini"
  player_files() { (cd "$installed" && md5sum Assets/bin/* Assets/ini/game.ini); }
  local kept left
  kept=$(player_files)
  wine_in "$prefix" "$setup" /S || fail "the reinstall failed"
  [ "$(player_files)" = "$kept" ] || fail "the reinstall changed the player's files"
  wine_in "$prefix" "$installed/Uninstall.exe" /S || fail "the uninstaller failed"
  # The uninstaller runs from a copy of itself: wait for it to end.
  WINEPREFIX=$prefix wineserver -w
  left=$(cd "$installed" && find . -type f | sort | tr '\n' ' ')
  [ "$left" = "./Assets/bin/preferences.txt ./Assets/bin/scores.bin ./Assets/ini/game.ini " ] ||
    fail "the uninstaller left: $left"
  [ "$(player_files)" = "$kept" ] || fail "the uninstaller changed the player's files"
  [ ! -e "$link" ] || fail "the shortcut stayed"
  wine_in "$prefix" reg query "$uninstall_key" >/dev/null 2>&1 && fail "the uninstall entry stayed"
}

declare -F "${target}_target" >/dev/null || { echo "unknown target: $target"; exit 2; }
"${target}_target" "$@"
echo "$target: passed"
