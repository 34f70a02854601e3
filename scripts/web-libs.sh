#!/usr/bin/env bash
# Builds the libraries the browser build links (zlib, libpng, FreeType, SDL2,
# SDL2_image, SDL2_ttf, SDL2_mixer) for WebAssembly from Debian's own source
# packages, with Debian's emscripten. Emscripten's ports would download them,
# and nothing but Debian's archive is reachable.
#
# They are built once into a folder outside the clone, named after the
# versions below and the compiler's, so later builds and CI runs on the same
# machine reuse them. Prints that folder (the prefix to link against) on
# standard output; progress goes to standard error.
set -euo pipefail

# The source packages and their versions, shared with the Windows build.
source "$(dirname "$0")/lib-sources.sh"

# Debian's emscripten runs its JavaScript tools with whichever node is first
# on the PATH; Debian's own modules (acorn) must be found by any of them.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

emcc_version=$(emcc -dumpversion)
use_cache "${DUNGEON_WEB_CACHE:-$HOME/.cache/dungeon-gold-web}" "emcc $emcc_version"

# Built for size: the page is downloaded before it plays, and the libraries
# are most of its code. -Oz in place of the Release build's -O3.
cmake_configure=(emcmake cmake "-DCMAKE_C_FLAGS_RELEASE=-Oz -DNDEBUG"
  "-DCMAKE_CXX_FLAGS_RELEASE=-Oz -DNDEBUG")
build_name=wasm

zlib=$(tree zlib)
echo "Building $(basename "$zlib")" >&2
(cd "$zlib" && CFLAGS=-Oz emconfigure ./configure --static --prefix="$prefix" >"$zlib.log" 2>&1 &&
  emmake make -j "$jobs" libz.a >>"$zlib.log" 2>&1 && emmake make install >>"$zlib.log" 2>&1) ||
  { tail -n 40 "$zlib.log" >&2; exit 1; }
zlib_hints=(-DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a")

cmake_lib "$(tree libpng1.6)" "${zlib_hints[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
  -DPNG_TESTS=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DSKIP_INSTALL_PROGRAMS=ON

# FreeType reads the game's one font, a bitmap font in an OpenType (sfnt)
# file: of its font drivers only TrueType's and the sfnt tables', with the
# smooth renderer and the glyph names, and no TrueType bytecode interpreter
# (bitmaps have no hints). The other drivers, the auto-hinter and the
# interpreter were a sixth of the .wasm the game never called.
freetype=$(tree freetype)
cat >"$freetype/include/freetype/config/ftmodule.h" <<'MODULES'
FT_USE_MODULE( FT_Driver_ClassRec, tt_driver_class )
FT_USE_MODULE( FT_Module_Class, sfnt_module_class )
FT_USE_MODULE( FT_Renderer_Class, ft_smooth_renderer_class )
FT_USE_MODULE( FT_Module_Class, psnames_module_class )
MODULES
sed -i 's|^#define TT_CONFIG_OPTION_BYTECODE_INTERPRETER|/* & */|' \
  "$freetype/include/freetype/config/ftoption.h"
cmake_lib "$freetype" "${zlib_hints[@]}" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
  -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON

cmake_lib "$(tree libsdl2)" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
  -DSDL_PTHREADS=OFF -DSDL_THREADS=OFF

sdl_hints=(-DSDL2_DIR="$prefix/lib/cmake/SDL2")
cmake_lib "$(tree libsdl2-image)" "${sdl_hints[@]}" "${zlib_hints[@]}" \
  -DPNG_LIBRARY="$prefix/lib/libpng16.a" -DPNG_PNG_INCLUDE_DIR="$prefix/include" \
  -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_DEPS_SHARED=OFF \
  -DSDL2IMAGE_BACKEND_STB=OFF -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_BMP=OFF \
  -DSDL2IMAGE_GIF=OFF -DSDL2IMAGE_JPG=OFF -DSDL2IMAGE_JXL=OFF -DSDL2IMAGE_LBM=OFF \
  -DSDL2IMAGE_PCX=OFF -DSDL2IMAGE_PNM=OFF -DSDL2IMAGE_QOI=OFF -DSDL2IMAGE_SVG=OFF \
  -DSDL2IMAGE_TGA=OFF -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF -DSDL2IMAGE_XCF=OFF \
  -DSDL2IMAGE_XPM=OFF -DSDL2IMAGE_XV=OFF

build_ttf_and_mixer

# The licences travel with the libraries.
finish_cache "the browser"
