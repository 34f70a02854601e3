#!/usr/bin/env bash
# Builds the packages twice from two clones of HEAD and compares them byte
# for byte:   repro-test.sh [deb] [tar] [windows] [web]   (default: deb tar)
# The second clone lies in another folder at another depth, is cloned and
# built later, with another umask, locale and time zone. Every file must be
# the same; where one differs, diffoscope shows how. The Windows and browser
# builds reuse the library caches in ~/.cache, as every build does.
set -euo pipefail
what=("$@")
[ ${#what[@]} -gt 0 ] || what=(deb tar)
repo=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$repo" rev-parse HEAD)
if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
  echo "repro-test: comparing HEAD ($commit); the tree's uncommitted changes are not in it" >&2
fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dungeon-repro-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
start=$SECONDS

# build <clone folder> <umask> <locale> <time zone>: clones HEAD there and
# makes the packages asked for.
build() {
  local dir=$1
  (
    umask "$2"
    export LC_ALL=$3 TZ=$4
    unset SOURCE_DATE_EPOCH
    git clone -q --no-checkout "$repo" "$dir"
    git -C "$dir" checkout -q --detach "$commit"
    cd "$dir"
    local packed=false
    for w in "${what[@]}"; do
      case $w in
        deb | tar) $packed || make -s package JOBS=2 >>build.log 2>&1 && packed=true ;;
        windows) make -s windows JOBS=2 >>build.log 2>&1 ;;
        web) make -s web JOBS=2 >>build.log 2>&1 ;;
        *) echo "repro-test: nothing called $w to build" >&2; exit 2 ;;
      esac || { tail -n 40 build.log >&2; exit 1; }
    done
  )
  echo "Built $dir ($((SECONDS - start)) s)"
}

# The files each kind of package is, in a clone.
files() {
  local w
  for w in "${what[@]}"; do
    case $w in
      deb) echo build/dungeon-gold_*_amd64.deb build/dungeon-gold-dbgsym_*_amd64.deb ;;
      tar) echo build/dungeon-*-Linux-*.tar.gz ;;
      windows) echo build-windows/dungeon-gold-*-win64.zip build-windows/dungeon-gold-*-win64-setup.exe ;;
      web) echo build-web/index.html build-web/index.js build-web/index.wasm build-web/index.data ;;
    esac
  done
}

one=$scratch/one/dungeon-gold
two=$scratch/2/a/much/longer/path/to/another-clone
build "$one" 022 C Etc/UTC
sleep 2 # another second on every clock, whatever the build takes
build "$two" 007 C.UTF-8 Pacific/Kiritimati

different=0
compared=0
for f in $(cd "$one" && files); do
  [ -f "$one/$f" ] && [ -f "$two/$f" ] || { echo "MISSING: $f"; different=1; continue; }
  compared=$((compared + 1))
  if cmp -s "$one/$f" "$two/$f"; then
    echo "same: $f ($(stat -c %s "$one/$f") bytes, sha256 $(sha256sum <"$one/$f" | cut -c1-16))"
  else
    echo "DIFFERENT: $f"
    diffoscope --text - "$one/$f" "$two/$f" | head -n 200 || true
    different=1
  fi
done
echo "Compared $compared files in $((SECONDS - start)) s"
exit $different
