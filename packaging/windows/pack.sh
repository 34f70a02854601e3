#!/usr/bin/env bash
# Packs the Windows build: the zip (dungeon.exe stripped, beside Assets\
# with an empty bin\ folder, the README and licenses\) and the per-user installer
# made from the same files with Debian's makensis.
#   pack.sh <dungeon.exe> <dungeon.ico> <source dir> <libraries prefix> <version> <output dir>
set -euo pipefail
exe=$1 icon=$2 src=$3 prefix=$4 version=$5 out=$6
name=dungeon-gold-$version-win64
work=$out/pack
stage=$work/$name
rm -rf "$work"
mkdir -p "$stage/licenses"

x86_64-w64-mingw32-strip -o "$stage/dungeon.exe" "$exe"
cp -r "$src/Assets" "$stage/Assets"
# Assets\bin is the player's (scores, preferences): it ships empty, whatever
# a developer's own games left in it.
rm -rf "$stage/Assets/bin" && mkdir "$stage/Assets/bin"
cp "$src/README.md" "$stage/README.md"

# The licences of everything in the program and its data: the game's own,
# the libraries built from Debian's sources, the MinGW-w64 and GCC run-time
# code linked statically, and the font.
cp "$src/LICENSE" "$stage/licenses/dungeon-gold.txt"
cp "$prefix"/share/licenses/*.copyright "$stage/licenses/"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/licenses/mingw-w64.copyright"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licenses/gcc-runtime.copyright"
cp "$src/Assets/Fonts/LICENSE-Terminus.txt" "$stage/licenses/Terminus-font.txt"

# The same bytes from any clone, umask, locale and time zone: modes of their
# own, every date the changelog's (zip stores local time), names in one order.
export LC_ALL=C TZ=UTC
: "${SOURCE_DATE_EPOCH:=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Timestamp)}"
export SOURCE_DATE_EPOCH
chmod -R u=rwX,go=rX "$stage"
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
zip_file=$out/$name.zip
rm -f "$zip_file"
(cd "$work" && find "$name" | sort | zip -q -X -@ "$zip_file")

# The installer installs, and its uninstaller removes, exactly the staged
# files, but for the settings the player may edit: installed only where there
# are none yet (a reinstall or an upgrade keeps the player's), and left by the
# uninstaller, as the scores and preferences are.
player=./Assets/ini/game.ini
files=$work/files.nsh
{
  echo '!macro InstallFiles'
  (cd "$stage" && find . -type d | sort) | while read -r dir; do
    rel=${dir#.}
    rel=${rel#/}
    echo "  SetOutPath \"\$INSTDIR${rel:+\\${rel//\//\\}}\""
    (cd "$stage/$dir" && find . -maxdepth 1 -type f | sort) | while read -r f; do
      file="  File \"$stage${rel:+/$rel}/${f#./}\""
      if [ "./${rel:+$rel/}${f#./}" = "$player" ]; then
        printf '  SetOverwrite off\n%s\n  SetOverwrite on\n' "$file"
      else
        echo "$file"
      fi
    done
  done
  echo '!macroend'
  echo '!macro UninstallFiles'
  (cd "$stage" && find . -type f | sort | grep -vxF "$player") | while read -r f; do
    f=${f#./}
    echo "  Delete \"\$INSTDIR\\${f//\//\\}\""
  done
  # Deepest folders first; one that still holds a player's file stays.
  (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r dir; do
    dir=${dir#./}
    echo "  RMDir \"\$INSTDIR\\${dir//\//\\}\""
  done
  echo '!macroend'
} >"$files"

makensis -V2 -NOCD -DVERSION="$version" -DFILES="$files" -DICON="$icon" \
  -DOUTFILE="$out/$name-setup.exe" -DSIZE_KB="$(du -sk "$stage" | cut -f1)" \
  "$src/packaging/windows/installer.nsi"
echo "Packed $zip_file ($(du -k "$zip_file" | cut -f1) KiB) and $out/$name-setup.exe ($(du -k "$out/$name-setup.exe" | cut -f1) KiB)"
