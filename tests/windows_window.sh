#!/usr/bin/env bash
# The Windows build as a player gets it, under Wine in a real X window (its own
# Xvfb), driven with xdotool:
#   - the zip unpacked into a scratch folder: start-up, the menu, Play and
#     Escape narrate what the golden transcripts hold (line ends aside, and the
#     frame counts, which depend on timing) and end with status 0; F11 fills
#     the screen and the buttons work at 2 x; without game.ini, the same lines as on Linux and status 1; a score file whose
#     records hold the bytes 0a, 0d and 1a shows on the Scores screen
#     exactly as the headless session draws it (golden.scores_bytes, the
#     same on Linux);
#   - the installer run silently in a scratch Wine prefix: the installed game
#     reaches its menu from its own folder, and from its Start-menu shortcut
#     (the block "a Windows program"); the silent uninstaller leaves only the
#     player's files.
#   windows_window.sh <build-windows>
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dungeon-windows-XXXXXX")
[ -d "$scratch" ] || { echo "FAIL: no scratch folder"; exit 1; }
out=$scratch/out.txt
wine_in() { bash "$here/wine.sh" "$@"; }
cleanup() {
  wine_in "$build/wine" --stop
  wine_in "$scratch/prefix" --stop
  kill $xvfb 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
# Wine is slow to start a program: 30 s before a wait gives up.
patience=1500
source "$here/x_session.sh"

# Starts dungeon.exe in folder $1 under Wine prefix $2 and waits for the menu.
launch() {
  (cd "$1" && exec timeout 120 bash "$here/wine.sh" "$2" ./dungeon.exe) >"$out" 2>"$scratch/err.txt" &
  pid=$!
  poll seen '^1$' || fail "no menu frame"
  wid=$(xdotool search --sync --onlyvisible --name '^Dungeon$' | head -n 1)
  xdotool windowfocus --sync "$wid"
}
# Under Wine a click in the first seconds of a game can be lost (the same
# click a few seconds later is not): it is made again, every half second,
# until the game narrates $3, for up to 30 s.
click() {
  local i
  for ((i = 0; i < 60; i++)); do
    xdotool mousemove --window "$wid" "$1" "$2" click 1
    sleep 0.5
    seen "$3" && return 0
  done
  fail "click at ($1, $2) ignored"
}
finish() {
  wait "$pid"
  local status=$?
  [ $status -eq "$2" ] || fail "$1: exit status $status"
}
# The narration without CRs, frame counts (runs of them are folded in the
# transcripts), the session's own reports, and the line of a missing
# accelerated renderer: the headless sessions never have one, a real window
# under Wine has Direct3D.
narration() {
  tr -d '\r' <"$1" | grep -v -e '^\([0-9]\+ x \)\?[0-9]\+$' -e '^#> ' \
    -e '^Accelerated renderer unavailable, using the software renderer\.$'
}
same_as() {
  diff -u <(narration "$here/golden/$1.log") <(narration "$out") >"$scratch/diff.txt" ||
    { cat "$scratch/diff.txt" | head -40; fail "$2: the narration differs from $1.log"; }
}

unset SDL_VIDEODRIVER SDL_AUDIODRIVER
# Every run here is silent.
export SDL_AUDIODRIVER=dummy

zip=$(ls "$build"/dungeon-gold-*-win64.zip) || fail "no zip"
setup=$(ls "$build"/dungeon-gold-*-win64-setup.exe) || fail "no installer"
unzip -q "$zip" -d "$scratch/zip" || fail "cannot unzip"
game=$(ls -d "$scratch"/zip/dungeon-gold-*/)
for f in dungeon.exe README.md licenses/libsdl2.copyright licenses/Terminus-font.txt \
  Assets/Fonts/Fixedsys.fon Assets/Maps/collisionMap.map Assets/bin; do
  [ -e "$game/$f" ] || fail "the zip lacks $f"
done
[ ! -e "$game/Assets/bin/scores.bin" ] || fail "the zip ships a score file"
wine_in "$build/wine"

# Start-up, Play, Escape during play.
launch "$game" "$build/wine"
click 100 330 'PlayState constructor initialized successfully...'
wait_frames 5
hold key Escape 'Game shut down successfully.'
finish "Play, Escape" 0
same_as play_escape "Play, Escape"

# F11: Windows' own video driver resizes the window to the whole screen
# (1600 x 1216 here), and the menu is drawn at 2 x: Exit is clicked there. (The headless sessions'
# dummy driver cannot show this on Windows: see tests/CMakeLists.txt.)
launch "$game" "$build/wine"
xdotool key F11
window_size() { xdotool getwindowgeometry "$wid" | grep -o '[0-9]*x[0-9]*$'; }
whole_screen() { [ "$(window_size)" = 1600x1216 ]; }
poll whole_screen || fail "F11: the window is $(window_size)"
click 268 1038 'MenuState destructor called...'
finish "F11, Exit" 0
# The player's choice of fullscreen is kept beside the scores, for the next
# start; the runs below want a window again.
tr -d '\r' <"$game/Assets/bin/preferences.txt" | grep -qx 'fullscreen on' || fail "F11 not remembered"
rm "$game/Assets/bin/preferences.txt"

# Without game.ini.
mv "$game/Assets/ini/game.ini" "$scratch/game.ini"
(cd "$game" && timeout 60 bash "$here/wine.sh" "$build/wine" ./dungeon.exe) >"$out" 2>&1
status=$?
[ $status -eq 1 ] || fail "no game.ini: exit status $status"
same_as no_settings "no game.ini"
mv "$scratch/game.ini" "$game/Assets/ini/game.ini"

# The records of scores_bytes.script (10, 13, 26, 0x0d0a0d0a): bytes a
# text-mode file would turn or stop at. The screen must show the picture the
# headless session draws (the same on Linux: golden.scores_bytes).
printf '\x0a\x00\x00\x00\x0d\x00\x00\x00\x1a\x00\x00\x00\x0a\x0d\x0a\x0d' >"$game/Assets/bin/scores.bin"
# (Without the X display, as in ctest: with it, SDL's direct3d11 renderer
# takes the session's dummy window and draws nowhere.)
env -u DISPLAY bash "$here/wine.sh" "$build/wine" "$build/tests/golden_runner.exe" \
  "$here/golden/scores_bytes.script" --pictures "$scratch/pictures" >/dev/null 2>&1 ||
  fail "no headless Scores picture"
# SDL's software renderer, as in the session: Direct3D samples the stretched
# score lines a little differently.
export SDL_RENDER_DRIVER=software
launch "$game" "$build/wine"
click 100 395 'Info read from file successfully'
wait_frames 3
xwd -silent -id "$wid" >"$scratch/scores.xwd"
hold key Escape 'Game shut down successfully.'
finish "Scores" 0
unset SDL_RENDER_DRIVER
same_as scores_bytes "Scores"
/usr/bin/python3 - "$scratch/scores.xwd" "$scratch/pictures/scores.png" <<'PY' || fail "the Scores screen differs"
import struct, sys
from PIL import Image
data = open(sys.argv[1], "rb").read()
f = struct.unpack(">25I", data[:100])
w, h, line = f[4], f[5], f[12]
pixels = data[f[0] + f[19] * 12:]
shown = Image.frombuffer("RGBX", (w, h), pixels, "raw", "BGRX", line, 1).convert("RGB")
drawn = Image.open(sys.argv[2]).convert("RGB")
assert shown.size == drawn.size, (shown.size, drawn.size)
assert shown.tobytes() == drawn.tobytes(), "pixels differ"
PY

# The installer, silently, into a fresh prefix of its own.
wine_in "$scratch/prefix"
wine_in "$scratch/prefix" "$setup" /S || fail "the installer failed"
user_dir=$(ls -d "$scratch"/prefix/drive_c/users/*/AppData | grep -v '/Public/' | head -n 1)
installed="$user_dir/Local/Programs/Dungeon Gold"
link="$user_dir/Roaming/Microsoft/Windows/Start Menu/Programs/Dungeon Gold.lnk"
for f in dungeon.exe Uninstall.exe Assets/Fonts/Fixedsys.fon licenses/libsdl2.copyright; do
  [ -e "$installed/$f" ] || fail "not installed: $f"
done
[ -d "$installed/Assets/bin" ] || fail "no Assets\\bin installed"
[ -e "$link" ] || fail "no Start-menu shortcut"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\DungeonGold'
wine_in "$scratch/prefix" reg query "$uninstall_key" /v UninstallString >/dev/null 2>&1 ||
  fail "no entry in the installed programs"
launch "$installed" "$scratch/prefix"
seen 'ERROR\|could not' && fail "the installed game could not load its data"
hold key Escape 'Game shut down successfully.'
finish "installed game" 0

# --- Begin: a Windows program, as the Start menu starts it ---
# A GUI program with a manifest declaring its DPI awareness. Started with
# its output redirected (every run above), it narrates there, not into the
# log. Started from the Start-menu shortcut (no standard handles), at a
# display scaling of 150 % (144 DPI), with an edited game.ini asking for
# 1200 x 912: no console window, the narration in last-run.log, the window
# 1200 x 912 pixels showing the headless 1 x menu scaled. M there saves the
# preferences; they, the scores and game.ini outlive a reinstall and the
# uninstaller, byte for byte.
[[ "$(x86_64-w64-mingw32-objdump -p "$game/dungeon.exe")" == *"(Windows GUI)"* ]] || fail "not GUI"
grep -aq '<dpiAwareness[^>]*>PerMonitorV2, PerMonitor<' "$game/dungeon.exe" || fail "no DPI awareness"
logs="$user_dir/Local/Dungeon Gold"
[ ! -e "$logs/last-run.log" ] || fail "redirected, the game narrated into last-run.log"
env -u DISPLAY bash "$here/wine.sh" "$build/wine" "$build/tests/golden_runner.exe" \
  "$here/golden/menu_exit.script" --pictures "$scratch/pictures" >/dev/null 2>&1 || fail "no headless menu"
wine_in "$scratch/prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wine_in "$scratch/prefix" --stop
echo "Dungeon 1200 912 0" >"$installed/Assets/ini/game.ini"
out=$logs/last-run.log
(cd / && SDL_RENDER_DRIVER=software exec timeout 120 bash "$here/wine.sh" "$scratch/prefix" start /wait /unix "$link") \
  </dev/null >/dev/null 2>&1 &
pid=$!
poll seen '^1$' || fail "Start menu: no menu frame in last-run.log"
wid=$(xdotool search --sync --onlyvisible --name '^Dungeon$' | head -n 1)
names=$(for w in $(xdotool search --onlyvisible --name .); do xdotool getwindowname "$w"; done | sort -u)
[ "$names" = Dungeon ] || fail "Start menu: other windows: $names"
[ "$(window_size)" = 1200x912 ] || fail "144 DPI: the window is $(window_size)"
wait_frames 3
xwd -silent -id "$wid" >"$scratch/dpi.xwd"
xdotool windowfocus --sync "$wid" key m
poll test -s "$installed/Assets/bin/preferences.txt" || fail "M: no preferences saved"
hold key Escape 'Game shut down successfully.'
finish "Start menu" 0
seen 'Game Initialized successfully...' || fail "no start-up in last-run.log"
/usr/bin/python3 - "$scratch/dpi.xwd" "$scratch/pictures/menu.png" <<'PY' || fail "144 DPI: not the menu scaled"
import struct, sys
from PIL import Image, ImageChops, ImageStat
data = open(sys.argv[1], "rb").read()
f = struct.unpack(">25I", data[:100])
shot = Image.frombytes("RGBX", (f[4], f[5]), data[f[0] + f[19] * 12:], "raw", "BGRX", f[12]).convert("RGB")
diff = ImageChops.difference(shot, Image.open(sys.argv[2]).convert("RGB").resize(shot.size, Image.BILINEAR))
rows = [ImageStat.Stat(diff.crop((0, y, diff.width, y + 1)).convert("L")).mean[0] for y in range(diff.height)]
print("144 DPI: mean difference %.2f, worst row %.2f" % (sum(rows) / len(rows), max(rows)))
assert sum(rows) / len(rows) < 2 and max(rows) < 20
PY
printf '\xc2\x01\x00\x00' >"$installed/Assets/bin/scores.bin"
player_files() { (cd "$installed" && md5sum Assets/bin/* Assets/ini/game.ini); }
kept=$(player_files)
wine_in "$scratch/prefix" "$setup" /S || fail "the reinstall failed"
[ "$(player_files)" = "$kept" ] || fail "the reinstall changed the player's files"
# --- End: a Windows program, as the Start menu starts it ---

wine_in "$scratch/prefix" "$installed/Uninstall.exe" /S || fail "the uninstaller failed"
# The uninstaller runs from a copy of itself: wait for it to end.
WINEPREFIX=$scratch/prefix wineserver -w
left=$(cd "$installed" && find . -type f | sort | tr '\n' ' ')
[ "$left" = "./Assets/bin/preferences.txt ./Assets/bin/scores.bin ./Assets/ini/game.ini " ] ||
  fail "the uninstaller left: $left"
[ "$(player_files)" = "$kept" ] || fail "the uninstaller changed the player's files"
[ ! -e "$link" ] || fail "the shortcut stayed"
wine_in "$scratch/prefix" reg query "$uninstall_key" >/dev/null 2>&1 && fail "the uninstall entry stayed"
echo "Windows zip and installer: passed"
exit 0
