# The browser build: the same game library with core/WebMain.cpp as its entry
# point, linked into build-web/index.html, .js and .wasm, with the Assets
# packed into index.data. Only the game: the tests and tools run on the desktop.

# The page is downloaded before it plays, so the code is built for size, with
# link-time optimisation (binaryen's wasm-opt then runs at the same level).
# -DDUNGEON_WEB_OPTIMIZE=-O3 builds for speed instead, to compare.
set(DUNGEON_WEB_OPTIMIZE -Oz CACHE STRING "Optimisation level of the browser build")
string(REPLACE "-O3" "${DUNGEON_WEB_OPTIMIZE}" CMAKE_CXX_FLAGS_RELEASE "${CMAKE_CXX_FLAGS_RELEASE}")
target_compile_options(dungeon_game PRIVATE -flto)

add_executable(dungeon_web core/WebMain.cpp)
target_compile_options(dungeon_web PRIVATE -flto)
target_link_libraries(dungeon_web PRIVATE dungeon_game)
dungeon_warnings(dungeon_web)
set_target_properties(dungeon_web PROPERTIES OUTPUT_NAME index SUFFIX .html
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

set(WEB_SHELL ${PROJECT_SOURCE_DIR}/web/shell.html)
file(GLOB_RECURSE WEB_ASSETS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/Assets/*
  ${PROJECT_SOURCE_DIR}/web/GameState/*)
target_link_options(dungeon_web PRIVATE
  -flto
  -sALLOW_MEMORY_GROWTH=1
  # Smaller: the compact allocator (the game allocates little once it
  # plays), and only the browser's page as a home, without Node.js's or a
  # shell's start-up.
  -sMALLOC=emmalloc
  -sENVIRONMENT=web
  # Debian's emscripten cannot run its HTML minifier; the page is small anyway.
  -sMINIFY_HTML=0
  -sEXPORTED_RUNTIME_METHODS=FS
  # SDL's audio calls helpers of emscripten by name; emscripten's own SDL
  # port asks for them, a build of SDL outside it has to. (A file, as a "$"
  # does not survive CMake's link script.)
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${PROJECT_SOURCE_DIR}/web/sdl-helpers.txt
  # The saved folder's own storage in IndexedDB, merged with other tabs'.
  "SHELL:--pre-js ${PROJECT_SOURCE_DIR}/web/storage.js"
  "SHELL:--shell-file ${WEB_SHELL}"
  # The stored scores and preferences come from IndexedDB, never from the
  # package: nothing of Assets/bin is packed.
  "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/Assets@/Assets"
  "SHELL:--exclude-file */Assets/bin/*"
  # The browser's own backgrounds: in palette form, a quarter of the
  # download, and a guide that names the touch controls beside the keys.
  "SHELL:--exclude-file */Assets/GameState/*_background.png"
  "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/web/GameState@/Assets/GameState")
set_property(TARGET dungeon_web APPEND PROPERTY LINK_DEPENDS ${WEB_SHELL}
  ${PROJECT_SOURCE_DIR}/web/storage.js ${WEB_ASSETS})

# Beside the page: the manifest and icons that make it an installable app,
# the service worker that keeps its files for offline play, named after a
# hash of them so that a new build replaces the old cache, and every served
# file compressed once with gzip and brotli for a host that serves them so.
find_program(BROTLI brotli REQUIRED)
find_program(GZIP gzip REQUIRED)
add_custom_command(TARGET dungeon_web POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/web -DOUT=${CMAKE_BINARY_DIR}
    -DBROTLI=${BROTLI} -DGZIP=${GZIP} -P ${PROJECT_SOURCE_DIR}/web/Finish.cmake
  VERBATIM)
set_property(TARGET dungeon_web APPEND PROPERTY LINK_DEPENDS
  ${PROJECT_SOURCE_DIR}/web/sw.js ${PROJECT_SOURCE_DIR}/web/manifest.webmanifest
  ${PROJECT_SOURCE_DIR}/web/Finish.cmake)

# The libraries' licences go with the page, beside the game's and the font's.
foreach(prefix ${CMAKE_PREFIX_PATH})
  file(GLOB WEB_LICENSES ${prefix}/share/licenses/*.copyright)
  file(COPY ${WEB_LICENSES} DESTINATION ${CMAKE_BINARY_DIR}/licenses)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/licenses/dungeon-gold.txt COPYONLY)
configure_file(${PROJECT_SOURCE_DIR}/Assets/Fonts/LICENSE-Terminus.txt
  ${CMAKE_BINARY_DIR}/licenses/Terminus-font.txt COPYONLY)
