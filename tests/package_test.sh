#!/usr/bin/env bash
# The release archive, as a player gets it: unpacked into a scratch folder, it
# holds the game, its Assets (without scores), the README and the licences,
# and the game runs from there to the menu and out again.
#
# Usage: package_test.sh <CPackConfig.cmake>
set -uo pipefail

config=$1
scratch_name=dungeon-package
# shellcheck source=tests/xvfb_lib.sh
source "$(dirname "$0")/xvfb_lib.sh"

cpack --config "$config" -G TGZ -B "$scratch/pack" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack failed"; }
archive=$(ls "$scratch"/pack/dungeon-*-Linux-*.tar.gz 2>/dev/null | head -n 1)
[ -n "$archive" ] || fail "no archive"
echo "archive: $(basename "$archive"), $(stat -c %s "$archive") bytes"
mkdir -p "$scratch/player"
tar -xzf "$archive" -C "$scratch/player" || fail "cannot unpack"
game=$(ls -d "$scratch"/player/dungeon-*/ | head -n 1)

for f in dungeon README.md Assets/ini/game.ini Assets/Fonts/Fixedsys.fon \
  Assets/Fonts/LICENSE-Terminus.txt Assets/Maps/collisionMap.map Assets/bin; do
  [ -e "$game/$f" ] || fail "archive lacks $f"
done
[ ! -e "$game/Assets/bin/scores.bin" ] || fail "archive ships a score file"

(cd "$game" && exec timeout 60 ./dungeon) >"$scratch/out.txt" 2>"$scratch/err.txt" &
pid=$!
wait_for '^1$' "$scratch/out.txt" 300 || fail "no menu frame"
grep -q 'ERROR\|could not' "$scratch/out.txt" && fail "the game could not load its data"
wid=$(xdotool search --sync --name '^Dungeon$' | head -n 1)
[ -n "$wid" ] || fail "no window"
xdotool windowfocus --sync "$wid" || fail "cannot focus the window"
xdotool keydown Escape
wait_for 'Game shut down successfully.' "$scratch/out.txt" 50
seen=$?
xdotool keyup Escape 2>/dev/null || true
[ "$seen" -eq 0 ] || fail "Escape ignored"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
echo "package: ok"
