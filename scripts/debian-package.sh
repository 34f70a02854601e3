#!/usr/bin/env bash
# Builds the Debian package the way a distribution does, from a copy of the
# source tree (what git tracks, and new files it does not ignore), so that
# neither the build folders nor a player's scores get in:
#   debian-package.sh <output folder>
# dpkg-buildpackage -us -uc -b runs in <output folder>/debian/dungeon-gold-<version>/;
# the .deb (and its debug symbols) are moved to <output folder>.
set -euo pipefail
out=$(mkdir -p "$1" && cd "$1" && pwd)
cd "$(dirname "$0")/.."
version=$(dpkg-parsechangelog -S Version)
work=$out/debian
tree=$work/dungeon-gold-$version
rm -rf "$work"
mkdir -p "$tree"
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
  tar --null -T - -cf - | tar -xf - -C "$tree"
(cd "$tree" && dpkg-buildpackage -us -uc -b >"$work/build.log" 2>&1) ||
  { tail -n 40 "$work/build.log" >&2; exit 1; }
for deb in "$work"/*.deb; do
  mv -f "$deb" "$out/"
  echo "Built $out/${deb##*/}"
done
