#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the game need.
# Quick and silent when everything is already there.
set -euo pipefail

# The browser build compiles SDL and its libraries from Debian's source
# packages (scripts/web-libs.sh), which apt finds through this entry.
src_list=/etc/apt/sources.list.d/dungeon-gold-src.sources
src_entry='Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg'

packages=(
  cmake g++ make pkg-config
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev
  libgtest-dev libbenchmark-dev
  xvfb xdotool x11-apps x11-utils
  dpkg-dev lintian desktop-file-utils
  cppcheck clang-tidy clang-format
  clang libclang-rt-14-dev valgrind
  emscripten chromium chromium-driver python3-selenium python3-pil
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
new_source=false
if [ "$(cat "$src_list" 2>/dev/null)" != "$src_entry" ]; then new_source=true; fi
[ ${#missing[@]} -eq 0 ] && ! $new_source && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
if $new_source; then
  echo "Adding Debian's source packages to apt: $src_list"
  echo "$src_entry" | $sudo tee "$src_list" >/dev/null
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
