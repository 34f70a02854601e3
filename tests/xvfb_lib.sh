# Shared by the tests that run the built game in a real X window: a scratch
# folder, our own Xvfb on a free display, and waiting on the game's output.
# The caller sets `scratch_name` before sourcing.

scratch=$(mktemp -d "${TMPDIR:-/tmp}/${scratch_name:-dungeon-window}-XXXXXX")
xvfb_pid=""

cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  if [ -f "$scratch/out.txt" ]; then
    echo "--- last output:"
    tail -n 30 "$scratch/out.txt"
  fi
  exit 1
}

# Polls until `grep -q PATTERN FILE` holds, at most `tenths` tenths of a second.
wait_for() {
  local pattern=$1 file=$2 tenths=$3
  for ((i = 0; i < tenths * 5; i++)); do
    grep -q -- "$pattern" "$file" 2>/dev/null && return 0
    sleep 0.02
  done
  return 1
}

# Waits until the game has printed `count` more frame lines than it had.
wait_frames() {
  local count=$1 start
  start=$(grep -c '^[0-9]\+$' "$scratch/out.txt")
  for ((i = 0; i < 100; i++)); do
    [ "$(grep -c '^[0-9]\+$' "$scratch/out.txt")" -ge $((start + count)) ] && return 0
    sleep 0.1
  done
  return 1
}

# Our own X server on a free display; Xvfb picks the number itself.
exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
wait_for '[0-9]' "$scratch/display" 100 || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$scratch/display")"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER

