# Sourced by the tests that play the built game in a real X window under their
# own Xvfb, driven with xdotool as a player would: real_window.sh,
# launcher.sh and windows_window.sh. Before sourcing, a script sets
#   scratch  its scratch folder (the X display's number is kept there)
#   out      the file the game's narration goes to
#   screen   the screen's geometry (default 1600x1216x24)
#   patience how long poll waits, in 20 ms tries (default 500: 10 s)
# and it starts Xvfb, whose process is $xvfb, with DISPLAY set once it is up.
# The narration is read without CRs, so a Windows game's reads alike.

Xvfb -displayfd 3 -screen 0 "${screen:-1600x1216x24}" -nolisten tcp 3>"$scratch/display" \
  >/dev/null 2>&1 &
xvfb=$!

fail() {
  echo "FAIL: $*"
  tail -n 20 "$out" 2>/dev/null
  exit 1
}
# Retries a command until it succeeds, for up to $patience tries.
poll() {
  local i
  for ((i = 0; i < ${patience:-500}; i++)); do
    "$@" && return 0
    sleep 0.02
  done
  return 1
}
seen() { [ -f "$out" ] && tr -d '\r' <"$out" | grep -q -- "$1"; }
# The game narrates the size of its screen queue after every step.
frames() { tr -d '\r' <"$out" | grep -c '^[0-9]\+$'; }
more_frames() { [ "$(frames)" -ge "$1" ]; }
wait_frames() { poll more_frames $(($(frames) + $1)) || fail "frames stopped"; }
# Input acts while held: a key (hold key Escape ...) or the mouse button (hold
# mouse 1 ...) is held until the game narrates $3.
hold() {
  xdotool "$1down" "$2"
  poll seen "$3"
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

poll test -s "$scratch/display" || fail "no X display"
export DISPLAY=":$(head -n 1 "$scratch/display")"
unset WAYLAND_DISPLAY
