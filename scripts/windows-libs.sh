#!/usr/bin/env bash
# Builds the libraries the Windows build links (zlib, libpng, FreeType, SDL2
# with SDL2main, SDL2_image, SDL2_ttf, SDL2_mixer) as static libraries for
# 64-bit Windows from the same Debian source packages as the browser
# build (scripts/lib-sources.txt), with Debian's MinGW-w64 cross compiler and
# the toolchain file cmake/mingw-w64.cmake.
#
# They are built once into a folder outside the clone, named after the
# versions and the compiler's, so later builds and CI runs on the same machine
# reuse them. Prints that folder (the prefix to link against) on standard
# output; progress goes to standard error.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/scripts/lib-sources.sh"
toolchain=$repo/cmake/mingw-w64.cmake
host=x86_64-w64-mingw32

compiler="$($host-g++-posix --version | head -n 1) $(dpkg-query -W -f='${Version}' \
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev 2>/dev/null | tr '\n' ' ')"
use_cache "${DUNGEON_WINDOWS_CACHE:-$HOME/.cache/dungeon-gold-windows}" "$compiler"

cmake_configure=(cmake -DCMAKE_TOOLCHAIN_FILE="$toolchain")
build_name=win64

# Debian's zlib tree has no win32/ folder (nor its makefile): zlib's own
# configure builds the static library when told the host.
zlib=$(tree zlib)
echo "Building $(basename "$zlib")" >&2
(cd "$zlib" && CHOST=$host CC=$host-gcc-posix ./configure --static --prefix="$prefix" >"$zlib.log" 2>&1 &&
  make -j "$jobs" libz.a >>"$zlib.log" 2>&1 && make install >>"$zlib.log" 2>&1) ||
  { tail -n 40 "$zlib.log" >&2; exit 1; }
zlib_hints=(-DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a")

cmake_lib "$(tree libpng1.6)" "${zlib_hints[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
  -DPNG_TESTS=OFF -DSKIP_INSTALL_PROGRAMS=ON

cmake_lib "$(tree freetype)" "${zlib_hints[@]}" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
  -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON

# SDL2main too: it gives the console program the entry point Windows calls.
cmake_lib "$(tree libsdl2)" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF

# PNG through libpng, as everywhere else, not Windows' imaging component.
sdl_hints=(-DSDL2_DIR="$prefix/lib/cmake/SDL2")
cmake_lib "$(tree libsdl2-image)" "${sdl_hints[@]}" "${zlib_hints[@]}" \
  -DPNG_LIBRARY="$prefix/lib/libpng16.a" -DPNG_PNG_INCLUDE_DIR="$prefix/include" \
  -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_DEPS_SHARED=OFF \
  -DSDL2IMAGE_BACKEND_WIC=OFF -DSDL2IMAGE_BACKEND_STB=OFF -DSDL2IMAGE_PNG=ON \
  -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_BMP=OFF -DSDL2IMAGE_GIF=OFF -DSDL2IMAGE_JPG=OFF \
  -DSDL2IMAGE_JXL=OFF -DSDL2IMAGE_LBM=OFF -DSDL2IMAGE_PCX=OFF -DSDL2IMAGE_PNM=OFF \
  -DSDL2IMAGE_QOI=OFF -DSDL2IMAGE_SVG=OFF -DSDL2IMAGE_TGA=OFF -DSDL2IMAGE_TIF=OFF \
  -DSDL2IMAGE_WEBP=OFF -DSDL2IMAGE_XCF=OFF -DSDL2IMAGE_XPM=OFF -DSDL2IMAGE_XV=OFF

build_ttf_and_mixer

# The licences travel with the libraries.
finish_cache "Windows"
