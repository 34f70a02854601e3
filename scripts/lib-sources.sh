# Sourced by scripts/web-libs.sh and scripts/windows-libs.sh: the source
# packages the libraries are built from (scripts/lib-sources.txt), each at the
# newest version Debian's archive offers now (a security update included),
# and fetching them from there.

# The newest version of source package $1 that apt knows and the archive
# serves (its .dsc is fetched to be sure), or nothing. When the newest listed
# cannot be fetched (a mirror without the security archive's pool), the next
# is taken, loudly: that build lacks the newer version's fixes.
newest_version() {
  local v i j probe listed=()
  probe=$(mktemp -d)
  mapfile -t listed < <(apt-cache showsrc --only-source "$1" 2>/dev/null |
    sed -n 's/^Version: //p' | sort -u)
  # Newest first, by Debian's ordering.
  for ((i = 0; i < ${#listed[@]}; i++)); do
    for ((j = i + 1; j < ${#listed[@]}; j++)); do
      if dpkg --compare-versions "${listed[j]}" gt "${listed[i]}"; then
        v=${listed[i]} listed[i]=${listed[j]} listed[j]=$v
      fi
    done
  done
  for v in "${listed[@]}"; do
    if (cd "$probe" && apt-get source -qq --download-only --dsc-only --only-source "$1=$v") \
      >/dev/null 2>&1; then
      [ "$v" = "${listed[0]}" ] || echo "WARNING: the archive lists $1 ${listed[0]} but does" \
        "not serve it; building $v, without the newer version's fixes" >&2
      echo "$v"
      break
    fi
  done
  rm -rf "$probe"
}

# sources: name=version, in build order. The versions name the library
# caches, so a new version in the archive builds them afresh.
sources=()
while read -r name; do
  version=$(newest_version "$name")
  if [ -z "$version" ]; then
    echo "The archive serves no source package $name (is the deb-src entry of" \
      "scripts/install-deps.sh there, and apt-get update run?)" >&2
    exit 1
  fi
  sources+=("$name=$version")
done < <(grep -v '^[[:space:]]*\(#\|$\)' "$(dirname "${BASH_SOURCE[0]}")/lib-sources.txt")
echo "Library sources: ${sources[*]}" >&2

# Fetches every source package into the current folder, unpacked.
fetch_sources() {
  local pin name version
  for pin in "${sources[@]}"; do
    name=${pin%%=*}
    version=${pin#*=}
    echo "Fetching the source of $name $version" >&2
    apt-get source -qq --only-source "$name=$version" >/dev/null 2>"$name.log" ||
      { cat "$name.log" >&2; exit 1; }
  done
}

# Sets prefix (where the libraries go) to <$1>/<a key of the versions, $2 (the
# compiler's own words) and the recipes: this file and the script that sources
# it, so a changed build option builds afresh>. When a complete build is
# there, prints it and ends the script; otherwise empties the prefix and a
# work folder beside it, enters the work folder and fetches the sources into it.
use_cache() {
  local root=$1 key
  key=$( (printf '%s\n' "${sources[@]}" "$2" && cat "${BASH_SOURCE[0]}" "$0") | sha256sum | cut -c1-16)
  prefix=$root/$key
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
  fi
  start=$SECONDS
  work=$root/work-$key
  rm -rf "$work" "$prefix"
  mkdir -p "$work" "$prefix"
  cd "$work"
  fetch_sources
}

# Configures, builds and installs the CMake project in $1 into $prefix, as a
# static Release build in its folder $1/build-$build_name; the configure
# command is the array cmake_configure, the options after $1 are the project's.
jobs=2
cmake_lib() {
  local src=$1
  shift
  echo "Building $(basename "$src")" >&2
  "${cmake_configure[@]}" -S "$src" -B "$src/build-$build_name" -G "Unix Makefiles" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_FIND_ROOT_PATH="$prefix" "$@" >"$src.configure.log" 2>&1 ||
    { tail -n 40 "$src.configure.log" >&2; exit 1; }
  cmake --build "$src/build-$build_name" -j "$jobs" >"$src.build.log" 2>&1 ||
    { tail -n 40 "$src.build.log" >&2; exit 1; }
  cmake --install "$src/build-$build_name" >>"$src.build.log" 2>&1 ||
    { tail -n 40 "$src.build.log" >&2; exit 1; }
}

# SDL2_ttf on the FreeType and SDL2_mixer on the SDL2 built before (sdl_hints
# names it), alike for every target.
build_ttf_and_mixer() {
  cmake_lib "$(tree libsdl2-ttf)" "${sdl_hints[@]}" \
    -DFREETYPE_LIBRARY="$prefix/lib/libfreetype.a" \
    -DFREETYPE_INCLUDE_DIRS="$prefix/include/freetype2" \
    -DSDL2TTF_VENDORED=OFF -DSDL2TTF_SAMPLES=OFF -DSDL2TTF_HARFBUZZ=OFF
  # The sounds are Ogg Vorbis, decoded by the mixer's own stb_vorbis (part of
  # its source): no codec library to build.
  cmake_lib "$(tree libsdl2-mixer)" "${sdl_hints[@]}" \
    -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF \
    -DSDL2MIXER_MP3=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_WAVPACK=OFF \
    -DSDL2MIXER_WAVE=ON
}

# Copies the licences beside the libraries, removes the work folder, marks
# the build complete, says how long it took, and prints the prefix.
finish_cache() {
  copy_licenses "$prefix/share/licenses"
  rm -rf "$work"
  touch "$prefix/.complete"
  echo "Built the libraries for $1 in $((SECONDS - start)) s" >&2
  echo "$prefix"
}

# The unpacked source tree of a package, by its folder name (name-upstreamversion).
tree() { find "$PWD" -maxdepth 1 -type d -name "$1-[0-9]*" | head -n 1; }

# Copies each library's Debian copyright file to $1/<name>.copyright.
copy_licenses() {
  local pin
  mkdir -p "$1"
  for pin in "${sources[@]}"; do
    cp "$(tree "${pin%%=*}")/debian/copyright" "$1/${pin%%=*}.copyright"
  done
}
