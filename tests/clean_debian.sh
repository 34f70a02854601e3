#!/usr/bin/env bash
# A clean Debian 12, as a player or a newcomer gets it:
#   clean_debian.sh <dungeon-gold_*.deb>
#   clean_debian.sh --fresh <repository>
# A minimal root made with debootstrap (kept under ~/.cache, with the .debs apt
# fetches, so a later run downloads nothing) is copied to a scratch folder and
# shares this machine's Xvfb through its socket. Needs root, for chroot.
# With a package: `apt install ./the.deb` finds every run-time dependency in
# Debian's archive; the menu entry's command, run as a player, reaches the menu
# (narrated into the player's state folder) and leaves by Exit; `apt remove`
# leaves nothing of the game under /usr.
# With --fresh: a clean clone of the committed tree, as the README tells a
# newcomer: `apt-get install make`, `make test` passes, `make run` reaches the
# menu and quits on Escape.
set -uo pipefail
fresh=false
[ "$1" != --fresh ] || { fresh=true && shift; }
target=$(readlink -f -- "$1")
if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=HOME,TMPDIR bash "$0" $($fresh && echo --fresh) "$target"
fi
cache=${DUNGEON_DEBIAN_CACHE:-$HOME/.cache/dungeon-gold-debian12}
mirror=http://deb.debian.org/debian
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dungeon-debian-XXXXXX")
root=$scratch/root
out=$root/home/player/.local/state/dungeon-gold/last-run.log
screen=1024x768x24
mounts=()
cleanup() {
  kill $xvfb 2>/dev/null
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}"
  done
  # Never through a mount that is still there: it would reach the host's files.
  if findmnt -rn -o TARGET | grep -q "^$scratch/"; then
    echo "left $scratch in place: something is still mounted there" >&2
  else
    rm -rf --one-file-system "$scratch"
  fi
}
trap cleanup EXIT
source "$(dirname "$0")/real_window.sh"
show="$scratch/*.log"
step() { echo "== $1 ($((SECONDS - start)) s)"; }
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
bind() {
  mkdir -p "$2" && mount --bind "$1" "$2" && mounts+=("$2") || fail "cannot mount $1 on $2"
}
start=$SECONDS

if [ ! -e "$cache/root/etc/dungeon-gold-root" ]; then
  step "making a Debian 12 root in $cache/root"
  rm -rf --one-file-system "$cache/root.new"
  mkdir -p "$cache"
  debootstrap --variant=minbase bookworm "$cache/root.new" "$mirror" >"$scratch/debootstrap.log" 2>&1 ||
    fail "debootstrap failed"
  cat >"$cache/root.new/etc/apt/sources.list" <<LIST
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
LIST
  cp /etc/resolv.conf "$cache/root.new/etc/resolv.conf"
  chroot "$cache/root.new" apt-get update -qq >"$scratch/update.log" 2>&1 || fail "apt-get update failed"
  chroot "$cache/root.new" useradd --create-home --shell /bin/sh player || fail "no player account"
  rm -f "$cache/root.new"/var/cache/apt/archives/*.deb
  touch "$cache/root.new/etc/dungeon-gold-root"
  mv -T "$cache/root.new" "$cache/root"
fi

step "copying the root"
cp -a "$cache/root" "$root" || fail "cannot copy the root"
mkdir -p "$cache/archives/partial"
bind "$cache/archives" "$root/var/cache/apt/archives"
bind /proc "$root/proc"

if $fresh; then
  # The game reaches this machine's Xvfb through its abstract socket; the
  # socket folder stays the root's own, for the Xvfb the suite starts there.
  bind /dev/shm "$root/dev/shm"
  git clone -q --no-hardlinks "$target" "$root/root/dungeon" || fail "cannot clone $target"
  step "apt-get install make"
  { in_root apt-get update -qq && in_root apt-get install -y -qq --no-install-recommends make; } \
    >"$scratch/make.log" 2>&1 || fail "apt-get install make failed"
  step "make test"
  in_root env HOME=/root sh -c 'cd /root/dungeon && make test' >"$scratch/test.log" 2>&1 ||
    fail "make test failed: $(grep -A 30 'tests passed\|rror' "$scratch/test.log" | tail -n 40)"
  grep -E 'tests passed|Total Test time' "$scratch/test.log"
  step "make run"
  out=$scratch/run.log
  in_root env HOME=/root DISPLAY="$DISPLAY" sh -c 'cd /root/dungeon && timeout 120 make run' \
    >"$out" 2>&1 &
  pid=$!
  patience=6000 at_menu "make run: "
  hold key Escape 'Game shut down successfully.'
  wait "$pid" || fail "make run: exit status $?"
  step "done"
  exit 0
fi

bind /tmp/.X11-unix "$root/tmp/.X11-unix"
deb=$target
cp "$deb" "$root/tmp/" || fail "cannot copy $deb"
name=${deb##*/}

step "apt install ./$name"
# Lists older than the archive name files it no longer has: they are renewed
# once, and the install tried again.
install() { in_root apt-get install -y --no-install-recommends "./tmp/$name" >"$scratch/install.log" 2>&1; }
install || { in_root apt-get update -qq >"$scratch/update.log" 2>&1 && install; } || fail "apt install ./$name failed"
sed -n '/^The following NEW packages/,/^[0-9]* upgraded/p' "$scratch/install.log"
grep -E '^(Need to get|After this operation)' "$scratch/install.log"

step "the menu entry's command, as a player"
command=$(sed -n 's/^Exec=//p' "$root"/usr/share/applications/*.desktop)
[ -n "$command" ] || fail "no command in the menu entry"
# The command is words without quotes: the menu entry's validity is checked
# by desktop-file-validate in the suite.
# shellcheck disable=SC2086
chroot --userspec=player:player "$root" env -i HOME=/home/player PATH=/usr/games:/usr/bin:/bin \
  DISPLAY="$DISPLAY" SDL_AUDIODRIVER=dummy timeout 60 $command \
  >"$scratch/player.log" 2>&1 &
pid=$!
at_menu
[ ! -s "$scratch/player.log" ] || fail "the launcher wrote to standard output or error"
grep -q 'ERROR\|could not\|rror opening' "$out" && fail "the game could not load its data"
click 100 515 'MenuState destructor called...'
finish "Exit"

step "apt remove dungeon-gold"
in_root apt-get remove -y dungeon-gold >"$scratch/remove.log" 2>&1 || fail "apt remove failed"
left=$(find "$root/usr" -iname '*dungeon*')
[ -z "$left" ] || fail "left under /usr: $left"
step "done"
exit 0
