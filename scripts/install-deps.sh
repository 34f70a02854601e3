#!/usr/bin/env bash
# Installs the Debian packages that a make target needs: building and running
# the game, testing it, the browser and Windows builds, the analysers. Quick
# and silent when everything is already there.
set -euo pipefail

# The browser and Windows builds compile SDL and its libraries from Debian's
# source packages (scripts/lib-sources.txt), which apt finds through a deb-src
# entry written beside the machine's own: the same archives, suites,
# components and key as its deb entries.
src_list=/etc/apt/sources.list.d/dungeon-gold-src.sources
src_entry() {
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    # deb822 stanzas; a line that starts with white space continues a field.
    awk '
      function flush() {
        if (types ~ /(^| )deb( |$)/ && enabled != "no" && uris != "") {
          printf "%sTypes: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n", sep, uris, suites, comps
          if (key != "") printf "Signed-By: %s\n", key
          sep = "\n"
        }
        types = uris = suites = comps = key = enabled = field = ""
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[ \t]/ { if (field == "signed-by:") key = key "\n" $0; next }
      {
        field = tolower($1); value = $0; sub(/^[^:]*:[ \t]*/, "", value)
        if (field == "types:") types = value
        else if (field == "uris:") uris = value
        else if (field == "suites:") suites = value
        else if (field == "components:") comps = value
        else if (field == "signed-by:") key = value
        else if (field == "enabled:") enabled = tolower(value)
      }
      END { flush() }' /etc/apt/sources.list.d/debian.sources
  elif [ -f /etc/apt/sources.list ]; then
    # One-line entries: deb [options] URI suite components...
    awk '
      $1 == "deb" {
        key = ""; i = 2
        if ($2 ~ /^\[/) {
          for (; i <= NF; i++) {
            o = $i; gsub(/[][]/, "", o)
            if (o ~ /^signed-by=/) key = substr(o, 11)
            if ($i ~ /\]$/) { i++; break }
          }
        }
        comps = $(i + 2); for (j = i + 3; j <= NF; j++) comps = comps " " $j
        printf "%sTypes: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n", sep, $i, $(i + 1), comps
        if (key != "") printf "Signed-By: %s\n", key
        sep = "\n"
      }' /etc/apt/sources.list
  fi
}

# One list per make target: each target installs what it needs and no more.
#   install-deps.sh <target>   (run when none is given)
target=${1:-run}
run=(cmake g++ make pkg-config libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev)
# The suite: GoogleTest, the benchmark library, the real-window tests' X server
# and tools, and what the package tests check the packages with.
test=("${run[@]}" libgtest-dev libbenchmark-dev xvfb xdotool x11-apps x11-utils
  python3 python3-pil dpkg-dev lintian desktop-file-utils appstream)
# The browser and Windows builds compile their libraries from Debian's sources
# (apt-get source needs dpkg-dev and the deb-src entry below).
web=(cmake g++ make pkg-config dpkg-dev emscripten brotli)
windows=(cmake g++ make pkg-config dpkg-dev g++-mingw-w64-x86-64-posix nsis zip python3-pil)
case $target in
  run) packages=("${run[@]}") ;;
  # The asset generator's sound encoder (libvorbis), the font subsetter and
  # the font package it cuts from, and the pictures' squeezer.
  assets) packages=("${run[@]}" libvorbis-dev python3-fonttools fonts-terminus-otb zopfli python3-pil) ;;
  test | sanitize) packages=("${test[@]}") ;;
  lint) packages=("${test[@]}" cppcheck clang-tidy clang-format) ;;
  valgrind) packages=("${test[@]}" valgrind) ;;
  fuzz) packages=("${test[@]}" clang libclang-rt-14-dev) ;;
  # The Debian package built as a distribution builds it.
  package) packages=("${run[@]}" dpkg-dev debhelper) ;;
  # Its binaries' hardening checked (devscripts' hardening-check, and blhc on
  # the build's compile lines), and the clean Debian 12 it is installed on.
  package-test) packages=("${test[@]}" debhelper devscripts blhc debootstrap) ;;
  # Two builds compared, and where they differ shown.
  repro-test) packages=("${run[@]}" dpkg-dev debhelper diffoscope-minimal) ;;
  repro-test-all) packages=("${run[@]}" dpkg-dev debhelper diffoscope-minimal "${web[@]}" "${windows[@]}") ;;
  # A clean root of its own, where the README's commands install the rest.
  fresh-test) packages=(make git debootstrap xvfb xdotool x11-utils) ;;
  web) packages=("${web[@]}") ;;
  web-test) packages=("${web[@]}" chromium chromium-driver python3-selenium python3-pil) ;;
  windows) packages=("${windows[@]}") ;;
  # Wine to test with, GoogleTest's sources to build for Windows, and an X
  # server for the zip and the installer played in a real window.
  windows-test) packages=("${windows[@]}" wine wine64 googletest xvfb xdotool x11-apps x11-utils unzip) ;;
  *)
    echo "install-deps.sh: no package list for \"$target\"" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
new_source=false
stale_lists=false
case $target in
  web | web-test | windows | windows-test | repro-test-all)
    entry=$(src_entry)
    if [ -z "$entry" ]; then
      echo "No deb entry in /etc/apt/sources.list.d/debian.sources or /etc/apt/sources.list" \
        "to derive Debian's source packages from." >&2
      exit 1
    fi
    if [ "$(cat "$src_list" 2>/dev/null)" != "$entry" ]; then new_source=true; fi
    # The libraries are built at the newest versions the archive offers: lists
    # older than a day may not know of a security update.
    if [ -z "$(find /var/lib/apt/lists -maxdepth 1 -name '*_source_Sources*' -mmin -1440)" ]; then
      stale_lists=true
    fi
    ;;
esac
[ ${#missing[@]} -eq 0 ] && ! $new_source && ! $stale_lists && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
if $new_source; then
  echo "Adding Debian's source packages to apt: $src_list"
  echo "$entry" | $sudo tee "$src_list" >/dev/null
fi
export DEBIAN_FRONTEND=noninteractive
# Another install running (a second make, the system's own updates) is waited for.
lock=(-o DPkg::Lock::Timeout=600)
$sudo apt-get "${lock[@]}" update -qq
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get "${lock[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
