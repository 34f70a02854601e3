#!/usr/bin/env bash
# The packages of make package checked as a distributor checks them:
#   release-checks.sh <build folder>
# The game in the .deb and in the release archive: hardened (devscripts'
# hardening-check) and stripped; then lintian --pedantic on the .deb, where
# any error or warning fails and the remaining notes are listed.
# Two of hardening-check's checks are left out, as they cannot pass here:
# control-flow protection, because Debian 12's C start-up files carry no
# IBT/SHSTK marks, so no program linked on it is marked; and fortified calls,
# because the game is built fortified (-D_FORTIFY_SOURCE=3) but makes no
# libc call whose buffer size the compiler can know (its reads and copies go
# through buffers sized at run time), so there is nothing to fortify.
# lintian notes the latter as hardening-no-fortify-functions. Instead, blhc
# reads every compile and link line of both builds (the Debian build's log;
# the archive's compile database and link line) for the flags themselves:
# fortification, the stack protector, format checks, RELRO and BIND_NOW.
set -euo pipefail
build=$1
version=$(dpkg-parsechangelog -l "$(dirname "$0")/../debian/changelog" -S Version)
deb=$build/dungeon-gold_${version}_amd64.deb
archive=$(ls "$build"/dungeon-*-Linux-*.tar.gz)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dungeon-release-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

dpkg-deb -x "$deb" "$scratch/deb"
tar -xzf "$archive" -C "$scratch"
for game in "$scratch"/deb/usr/libexec/dungeon-gold/dungeon "$scratch"/dungeon-*/dungeon; do
  hardening-check --nocfprotection --nofortify "$game" || fail "$game is not hardened"
  file "$game" | grep -q ', stripped' || fail "$game is not stripped"
done

blhc --bindnow "$build/debian/build.log" || fail "the Debian build misses hardening flags"
{
  # blhc takes the architecture from dpkg-buildpackage's first lines.
  echo "dpkg-buildpackage: info: host architecture $(dpkg --print-architecture)"
  python3 -c 'import json, sys
for entry in json.load(open(sys.argv[1])):
    if "/dungeon_game.dir/" in entry["command"] or "/dungeon.dir/" in entry["command"]:
        print(entry["command"])' "$build/compile_commands.json"
  cat "$build/CMakeFiles/dungeon.dir/link.txt"
} >"$scratch/archive-build.log"
blhc --bindnow "$scratch/archive-build.log" || fail "the archive's build misses hardening flags"

status=0
lintian --pedantic --display-info --display-experimental --fail-on error,warning "$deb" \
  >"$scratch/lintian.txt" 2>&1 || status=$?
grep -v 'running with root privileges' "$scratch/lintian.txt" || true
[ "$status" = 0 ] || fail "lintian finds errors or warnings in $deb"
echo "Release checks passed: $deb, $archive"
