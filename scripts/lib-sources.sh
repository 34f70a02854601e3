# Sourced by scripts/web-libs.sh and scripts/windows-libs.sh: the pinned source
# packages (scripts/lib-sources.txt) and fetching them from Debian's archive.

# sources: the pins, name=version, in build order.
mapfile -t sources < <(grep -v '^[[:space:]]*\(#\|$\)' "$(dirname "${BASH_SOURCE[0]}")/lib-sources.txt")

# Fetches every pinned source package into the current folder, unpacked.
fetch_sources() {
  local pin name version
  for pin in "${sources[@]}"; do
    name=${pin%%=*}
    version=${pin#*=}
    if ! apt-cache showsrc --only-source "$name" 2>/dev/null | grep -x "Version: $version" >/dev/null; then
      echo "The archive has no source package $name $version (is the deb-src entry" \
        "of scripts/install-deps.sh there, and apt-get update run?); update the pin" \
        "in scripts/lib-sources.txt to a version it offers." >&2
      exit 1
    fi
    echo "Fetching the source of $name $version" >&2
    apt-get source -qq --only-source "$name=$version" >/dev/null 2>"$name.log" ||
      { cat "$name.log" >&2; exit 1; }
  done
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
