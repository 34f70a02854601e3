#!/usr/bin/env bash
# The built game in a real X window under its own Xvfb, driven with xdotool as a
# player would, with SDL's real keyboard and mouse:
#   real_window.sh game <dungeon> <Assets>: Exit clicked at 1 x, and in a 2 x window
#     and fullscreen whose menu is the 1 x one scaled; Play, a walk, focus lost;
#     started without standard error, and without both output streams
#   real_window.sh sizes <dungeon> <Assets>: on a screen 16400 x 100, a window too
#     large for it is fitted, and one SDL still refuses falls back to 800 x 608
#   real_window.sh scaled <dungeon> <Assets>: on a 1920 x 1080 screen, the menu
#     fills it at 1.78 x, and windows of 700 x 532 and 688 x 523 show it
#     whole below 1 x; clicks land on the right button
#   real_window.sh package <CPackConfig.cmake>: the release archive run and left
#   real_window.sh deb <CPackConfig.cmake>: the Debian package unpacked, its launcher
#     run with a scratch HOME: the player's folder, a score file shown and kept
set -uo pipefail
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dungeon-window-XXXXXX")
out=$scratch/out.txt
# A screen wider than SDL makes any window, for the window sizes.
screen=1600x1216x24
[ "$1" != sizes ] || screen=16400x100x24
[ "$1" != scaled ] || screen=1920x1080x24
trap 'kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
source "$(dirname "$0")/x_session.sh"

# Starts the game (or command $2) in folder $1 and waits for the menu and its window.
launch() {
  (cd "$1" && exec timeout 60 "${2:-./dungeon}") >"$out" 2>"$scratch/err.txt" &
  pid=$!
  poll seen '^1$' || fail "no menu frame"
  wid=$(xdotool search --sync --name '^Dungeon$' | head -n 1)
  xdotool windowfocus --sync "$wid"
}
finish() {
  wait "$pid" || fail "$1: exit status $?"
  [ "$(tail -n 2 "$out" | head -n 1)" = "Game shut down successfully." ] || fail "$1: no shutdown"
}

unset SDL_VIDEODRIVER

if [ "$1" = package ]; then
  cpack --config "$2" -G TGZ -B "$scratch/pack" >"$scratch/cpack.log" 2>&1 &&
    tar -xzf "$scratch"/pack/dungeon-*-Linux-*.tar.gz -C "$scratch" || fail "cannot pack and unpack"
  game=$(ls -d "$scratch"/dungeon-*/ | head -n 1)
  for f in README.md dungeon-gold Assets/Fonts/LICENSE-Terminus.txt Assets/Maps/collisionMap.map Assets/bin; do
    [ -e "$game/$f" ] || fail "archive lacks $f"
  done
  [ ! -e "$game/Assets/bin/scores.bin" ] || fail "archive ships a score file"
  launch "$game"
  seen 'ERROR\|could not' && fail "the game could not load its data"
  hold key Escape 'Game shut down successfully.'
  finish package
  exit 0
fi

if [ "$1" = deb ]; then
  cpack --config "$2" -G DEB -B "$scratch/pack" >"$scratch/cpack.log" 2>&1 &&
    dpkg-deb -x "$scratch"/pack/dungeon-gold_*_amd64.deb "$scratch/root" || fail "cannot pack and unpack"
  lintian "$scratch"/pack/dungeon-gold_*_amd64.deb >"$out" 2>&1 || fail "lintian finds errors"
  desktop-file-validate "$scratch"/root/usr/share/applications/*.desktop >"$out" || fail "bad menu entry"
  # The software centres' listing names the menu entry, and every icon size is there.
  appstreamcli validate --no-net "$scratch"/root/usr/share/metainfo/*.metainfo.xml >"$out" ||
    fail "bad AppStream listing"
  entry=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' \
    "$scratch"/root/usr/share/metainfo/*.metainfo.xml)
  [ -f "$scratch/root/usr/share/applications/$entry" ] || fail "the listing names no menu entry"
  for size in 16 24 32 48 64 128 256; do
    [ -f "$scratch/root/usr/share/icons/hicolor/${size}x$size/apps/dungeon-gold.png" ] ||
      fail "no $size px icon"
  done
  launcher=$scratch/root/usr/games/dungeon-gold
  export HOME=$scratch/home
  unset XDG_DATA_HOME
  player=$HOME/.local/share/dungeon-gold
  launch "$scratch" "$launcher"
  seen 'ERROR\|could not' && fail "the game could not load its data"
  click 100 515 'MenuState destructor called...'
  finish "deb, Exit"
  [ -d "$player/Assets/bin" ] && [ ! -L "$player/Assets/bin" ] || fail "no bin/ of the player's own"
  score=$(printf '\xc2\x01\x00\x00' | tee "$player/Assets/bin/scores.bin" | md5sum)
  ln -s "$scratch/gone" "$player/Assets/Gone"
  launch "$scratch" "$launcher"
  click 100 395 'Info read from file successfully'
  hold key Escape 'Game shut down successfully.'
  finish "deb, Scores"
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
  exit 0
fi

cp -r "$3" "$scratch/Assets"
ln -s "$2" "$scratch/dungeon"
settings() { echo "Dungeon $1" >"$scratch/Assets/ini/game.ini"; }
shot() { wait_frames 3 && xwd -silent -id "$wid" >"$scratch/$1.xwd"; }

if [ "$1" = scaled ]; then
  # The 1 x picture, then the same menu filling a 1920 x 1080 screen (1.78 x)
  # and in windows of 700 x 532 and 688 x 523 (0.875 x and 0.86 x): each shot
  # must match the 1 x picture scaled to the size it is drawn at, and a click
  # on Scores, placed by that scale, must reach the scores screen.
  scores_at() { # the centre of the Scores button at scale $1, offset ($2, $3)
    python3 -c "print(round($2 + 166 * $1), round($3 + 395 * $1))"
  }
  settings "800 608 0"
  launch "$scratch"
  shot one
  hold key Escape 'Game shut down successfully.'
  finish "1 x"
  for row in "800 608 1|full|1920|1080" "700 532 0|small|700|532" "688 523 0|smaller|688|523"; do
    IFS='|' read -r flags name width height <<<"$row"
    settings "$flags"
    launch "$scratch"
    shot "$name"
    read -r scale left top < <(python3 -c "
s = min($width / 800, $height / 608)
w, h = int(800 * s), int(608 * s)
print(s, ($width - w) // 2, ($height - h) // 2)")
    /usr/bin/python3 - "$scratch/one.xwd" "$scratch/$name.xwd" "$name" <<'PY' || fail "$flags: not the menu scaled"
import struct, sys
from PIL import Image, ImageChops, ImageStat
def load(path):  # an xwd dump of 32-bit pixels as an RGB picture
    data = open(path, "rb").read()
    f = struct.unpack(">25I", data[:100])
    w, h, line = f[4], f[5], f[12]
    return Image.frombytes("RGBX", (w, h), data[f[0] + f[19] * 12:], "raw", "BGRX", line).convert("RGB")
one, shot, name = load(sys.argv[1]), load(sys.argv[2]), sys.argv[3]
box = shot.point(lambda v: 255 if v > 0 else 0).getbbox()
drawn = shot.crop(box)
expected = one.resize(drawn.size, Image.BILINEAR)
diff = ImageChops.difference(drawn, expected).convert("L")
mean = ImageStat.Stat(diff).mean[0]
# A row of the menu's words lost to the scaling stands out as a row far off.
rows = [ImageStat.Stat(diff.crop((0, y, diff.width, y + 1))).mean[0] for y in range(diff.height)]
print("%s: drawn %d x %d at (%d, %d), mean difference %.2f, worst row %.2f"
      % (name, drawn.width, drawn.height, box[0], box[1], mean, max(rows)))
assert name != "full" or (drawn.width >= 1400 and drawn.height >= 1060), "drawn area too small"
# Measured: 0.7 to 1.4 on average, rows at most 15; the same picture scaled
# by nearest neighbour gives 2.7 to 3.5 and rows of 23 to 30, and one moved
# by a pixel 2.6 to 6.9.
assert mean < 2 and max(rows) < 20, "the picture is not the menu scaled"
PY
    read -r x y < <(scores_at "$scale" "$left" "$top")
    click "$x" "$y" 'ScoresState constructor called...'
    hold key Escape 'Game shut down successfully.'
    finish "$flags"
  done
  exit 0
fi

if [ "$1" = sizes ]; then
  # Settings, the line naming the size used, the window's size.
  for row in "4000 3000|Window size reduced to fit the desktop: 133 x 100|133x100" \
    "99999 1|Game window of 16400 x 1 could not be created, using 800 x 608.|800x608"; do
    IFS='|' read -r size line geometry <<<"$row"
    settings "$size 0"
    launch "$scratch"
    grep -qxF "$line" "$out" || fail "$size: no line \"$line\""
    [[ "$(xdotool getwindowgeometry "$wid")" == *"Geometry: $geometry"* ]] || fail "$size: not $geometry"
    hold key Escape 'Game shut down successfully.'
    finish "$size"
  done
  exit 0
fi

settings "800 608 0"
launch "$scratch"
[[ "$(xprop -id "$wid" _NET_WM_ICON)" == *"Icon (64 x 64)"* ]] || fail "the window has no icon"
# The class the desktop ties to the menu entry, whose StartupWMClass names it.
class=$(sed -n 's/^StartupWMClass=//p' "$(dirname "$0")"/../packaging/*.desktop)
[ "$(xprop -id "$wid" WM_CLASS)" = "WM_CLASS(STRING) = \"$class\", \"$class\"" ] ||
  fail "the window's class is not the menu entry's \"$class\""
shot one
click 100 515 'MenuState destructor called...'
finish "Exit at 1 x"
for flags in "1600 1216 0" "800 608 1"; do
  settings "$flags"
  launch "$scratch"
  shot two
  python3 - "$scratch/one.xwd" "$scratch/two.xwd" <<'PY' || fail "$flags: not the menu at 2 x"
import struct, sys
def load(path):  # width, height, bytes per line and pixels of an xwd dump
    data = open(path, "rb").read()
    f = struct.unpack(">25I", data[:100])
    return f[4], f[5], f[12], data[f[0] + f[19] * 12:]
w, h, line, one = load(sys.argv[1])
W, H, LINE, two = load(sys.argv[2])
assert (w, h, W, H) == (800, 608, 1600, 1216), (w, h, W, H)
for y in range(H):
    row = one[(y // 2) * line:(y // 2) * line + 4 * w]
    wide = b"".join(row[i:i + 4] * 2 for i in range(0, len(row), 4))
    assert two[y * LINE:y * LINE + 4 * W] == wide, "row %d differs" % y
PY
  click 268 1038 'MenuState destructor called...'
  finish "Exit at $flags"
done

# A walk changes the level's top rows, above the pop-ups and the ticking display.
level_picture() { xwd -silent -id "$wid" | tail -c 2000000 | head -c 800000 | md5sum; }
settings "800 608 0"
launch "$scratch"
click 100 330 'PlayState constructor initialized successfully...'
wait_frames 5
before=$(level_picture)
xdotool keydown Right
wait_frames 20
xdotool keyup Right
wait_frames 3
[ "$before" != "$(level_picture)" ] || fail "the player did not move"
# Another window takes the keyboard during play: the game pauses.
xclock &
clock=$!
xdotool windowfocus "$(xdotool search --sync --class xclock | head -n 1)"
poll seen 'PauseState constructor called...' || fail "focus lost but no pause"
kill $clock
xdotool windowfocus --sync "$wid"
hold key Return 'PauseState destructor completed successfully.'
wait_frames 3
hold key Escape 'PlayState destructor called...'
finish play

# Started without standard error, or without both output streams: the X
# connection must not take their numbers, or a library's diagnostics written
# there hang the game. It reaches the menu and ends on Escape all the same.
for closed in "2>&-" ">&- 2>&-"; do
  (cd "$scratch" && eval "exec timeout 30 ./dungeon >$out $closed") &
  pid=$!
  wid=$(timeout 20 xdotool search --sync --name '^Dungeon$' | head -n 1)
  [ -n "$wid" ] || fail "$closed: no window"
  [ "$closed" != "2>&-" ] || poll seen '^1$' || fail "$closed: no menu frame"
  xdotool windowfocus --sync "$wid" keydown Escape
  poll eval '! kill -0 $pid 2>/dev/null'
  xdotool keyup Escape
  wait "$pid" || fail "$closed: exit status $?"
done
