# The two commands a newcomer needs: `make run` and `make test`.
BUILD  ?= build
JOBS   := $(shell nproc 2>/dev/null || echo 2)
WERROR ?= $(if $(CI),ON,OFF)

.PHONY: all deps configure build run test lint package clean sanitize valgrind fuzz soak bench bench-cpu \
	assets golden web web-test windows windows-test package-test fresh-test repro-test

all: build

# Each target installs the Debian packages of its own list in
# scripts/install-deps.sh (DEPS, set per target below; a target's
# prerequisites take its list). A target whose prerequisite sets a list of
# its own (web-test after web) installs its own list in its recipe: Make
# gives the prerequisite's own setting precedence.
DEPS = test
deps:
	@bash scripts/install-deps.sh $(DEPS)

configure: deps
	@cmake -S . -B $(BUILD) -DDUNGEON_WERROR=$(WERROR) -DDUNGEON_TESTS=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The game alone: no tests or tools, so a player needs only the compiler and
# SDL's development packages. A build folder the suite already uses keeps its
# tests, which are not rebuilt here.
run: DEPS = run
run: deps
	@cmake -S . -B $(BUILD) -DDUNGEON_WERROR=$(WERROR) \
	  $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DDUNGEON_TESTS=OFF) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target dungeon
	./$(BUILD)/dungeon

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The suite again with AddressSanitizer and UBSan; the first report stops the
# test that made it. Leaks owned by SDL's drivers would be listed in
# tests/lsan.supp. The tests that run the built game on a real X display (the
# real window, the package and the launcher) are left out: they run the same
# game code the headless suite checks here, and on a real display SDL's X11
# driver keeps memory LeakSanitizer cannot attribute. Valgrind covers the whole game.
SAN_BUILD := build-sanitize
SAN_ENV := ASAN_OPTIONS=halt_on_error=1:print_stacktrace=1:detect_leaks=1:strict_string_checks=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

sanitize: DEPS = sanitize
sanitize: deps
	@cmake -S . -B $(SAN_BUILD) -DDUNGEON_SANITIZE=ON -DDUNGEON_WERROR=$(WERROR) >/dev/null
	@$(SAN_ENV) cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && $(SAN_ENV) ctest --output-on-failure -j $(JOBS) -E 'RealWindow|Package|Launcher'

# One whole scripted game under memcheck (a win, the scores, a second game),
# compared with its golden transcript like in the suite.
valgrind: DEPS = valgrind
valgrind: build
	valgrind --quiet --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
		--show-leak-kinds=definite --suppressions=tests/valgrind.supp \
		./$(BUILD)/tests/golden_runner tests/golden/win.script tests/golden/win.log

# libFuzzer targets of the file readers, built with clang in their own folder:
# each replays its corpus, then fuzzes FUZZ_SECONDS.
FUZZ_BUILD   := build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_settings fuzz_collision fuzz_layers fuzz_scores

fuzz: DEPS = fuzz
fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DDUNGEON_FUZZ=ON \
		-DDUNGEON_WERROR=$(WERROR) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	@bash tests/fuzz/run.sh $(FUZZ_BUILD)/tests/fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# 300 games in one process; memory, files, textures and fonts must stay flat.
soak: build
	./$(BUILD)/tests/golden_runner tests/golden/soak.script

# Benchmarks of the world's update and drawing.
bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target bench_world
	./$(BUILD)/bench/bench_world

# The share of a core the game takes in a real window under Xvfb: on the menu
# at rest, on the pause screen and walking. Another build's program measures
# that build: make bench-cpu DUNGEON=/other/build/dungeon (its Assets beside it
# or beside its build folder, else ASSETS=...). SIZE=1600x1216 sets the window,
# SIZE=1920x1080 FULLSCREEN=1 a fullscreen game on a screen of that size.
bench-cpu: $(if $(DUNGEON),deps,build)
	bash bench/bench_cpu.sh $(or $(DUNGEON),$(BUILD)/dungeon) "$(ASSETS)" $(or $(SIZE),800x608) \
	  $(if $(FULLSCREEN),fullscreen)

# Cuts the font down from Debian's; then the asset generator, which only this
# target builds, redraws the pictures, makes the sounds and rewrites the level
# files in Assets/ (and the browser's icons and guide in web/); the browser's
# backgrounds are cut to palettes (tools/web_pictures.py); zopflipng squeezes
# the pictures (the same pixels, about a fifth smaller).
assets: DEPS = assets
assets: deps
	@cmake -S . -B $(BUILD) -DDUNGEON_TOOLS=ON -DDUNGEON_WERROR=$(WERROR) \
	  $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DDUNGEON_TESTS=OFF) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target dungeon_assetgen dungeon_levelcheck
	/usr/bin/python3 tools/font_subset.py /usr/share/fonts/opentype/terminus/terminus-bold.otb \
	  Assets/Fonts/Fixedsys.fon
	./$(BUILD)/tools/dungeon_assetgen .
	/usr/bin/python3 tools/web_pictures.py .
	find Assets web -name '*.png' -print0 | xargs -0 -P $(JOBS) -I {} zopflipng -y {} {} >/dev/null
	./$(BUILD)/tools/dungeon_levelcheck .

# A portable archive, build/dungeon-<version>-Linux-x86_64.tar.gz, by CPack,
# and the Debian package, build/dungeon-gold_<version>_amd64.deb, by
# dpkg-buildpackage from a copy of the tree (scripts/debian-package.sh). Both
# are dated by the changelog's last entry, so the same tree packs the same
# bytes. A build folder the suite already uses keeps its tests; a new one
# builds the game alone.
CHANGELOG_DATE = $(shell dpkg-parsechangelog -l debian/changelog -S Timestamp)
package: DEPS = package
package: deps
	@cmake -S . -B $(BUILD) -DDUNGEON_WERROR=$(WERROR) \
	  $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DDUNGEON_TESTS=OFF) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target dungeon
	cd $(BUILD) && SOURCE_DATE_EPOCH=$(CHANGELOG_DATE) cpack -G TGZ
	bash scripts/debian-package.sh $(BUILD)

# Two clones of HEAD in different folders, built one after the other with
# another umask, locale and time zone, must pack the same bytes
# (scripts/repro-test.sh; diffoscope shows where two differ).
# REPRO="deb tar windows web" adds the Windows zip and installer and the
# browser's files to the .deb and the tar.gz.
REPRO ?= deb tar
repro-test: DEPS = $(if $(filter windows web,$(REPRO)),repro-test-all,repro-test)
repro-test: deps
	bash scripts/repro-test.sh $(REPRO)

# Static analysis of the game code, and the layout of the C++ files changed
# since the branch left main (committed or not; every tracked one when there
# is no main to compare with). Any finding fails.
# The browser's entry point and the other systems' files of platform/ are built
# by emscripten or MinGW only (make web, make windows), so they have no place
# in the desktop build's compile commands that the analysers read.
GAME_SOURCES = $(filter-out core/WebMain.cpp, \
	$(wildcard core/*.cpp graphics/*.cpp world/*.cpp gameplay/*.cpp)) \
	platform/Platform.cpp platform/Files.cpp platform/FilesPosix.cpp platform/SystemLinux.cpp
FORMAT_BASE = $(shell git merge-base HEAD main 2>/dev/null || \
	git merge-base HEAD origin/main 2>/dev/null)
FORMAT_FILES = $(if $(FORMAT_BASE), \
	$(shell git diff --name-only --diff-filter=d $(FORMAT_BASE) -- '*.cpp' '*.h'), \
	$(shell git ls-files '*.cpp' '*.h'))
lint: DEPS = lint
lint: configure
	$(if $(strip $(FORMAT_FILES)),clang-format --dry-run --Werror $(FORMAT_FILES))
	cppcheck --enable=warning,performance,portability --std=c++20 --inline-suppr \
	  --error-exitcode=1 --quiet -I . $(GAME_SOURCES)
	@echo $(GAME_SOURCES) | xargs -n 1 -P $(JOBS) clang-tidy -p $(BUILD) --quiet

# The game in a browser: build-web/index.html with its .js, .wasm and the
# packed Assets (.data), built with Debian's emscripten against libraries
# built once from Debian's sources into ~/.cache (scripts/web-libs.sh).
# Serve the folder over HTTP to play, e.g. `python3 -m http.server -d build-web`.
# Debian's emscripten runs its tools with the first node on the PATH, which
# must find Debian's node modules.
# A build folder configured against other library builds than $$prefix (the
# cache's key changed with a recipe or a version) starts afresh: CMake would
# keep finding the old libraries it found first.
FOR_LIBS = { ! grep -s "$${prefix%/*}/" $(1)/CMakeCache.txt | grep -qv "$$prefix/\|$$prefix$$" || \
	rm -f $(1)/CMakeCache.txt; }
WEB_BUILD := build-web
web web-test: export NODE_PATH := /usr/share/nodejs
# Dated by the changelog, as the Linux packages are (the Windows linker and
# the installer's maker read it).
web web-test windows windows-test: export SOURCE_DATE_EPOCH = $(CHANGELOG_DATE)
web: DEPS = web
web: deps
	@prefix=$$(bash scripts/web-libs.sh) && $(call FOR_LIBS,$(WEB_BUILD)) && \
	emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DDUNGEON_WERROR=$(WERROR) \
	  -DCMAKE_PREFIX_PATH=$$prefix -DCMAKE_FIND_ROOT_PATH=$$prefix >/dev/null
	@cmake --build $(WEB_BUILD) -j $(JOBS)

# The browser build played in Debian's headless Chromium.
web-test: web
	@bash scripts/install-deps.sh web-test
	/usr/bin/python3 tests/web/test_web.py $(WEB_BUILD)

# The game for 64-bit Windows, cross-built with Debian's MinGW-w64 against
# libraries built once from Debian's sources into ~/.cache
# (scripts/windows-libs.sh): build-windows/dungeon-gold-<version>-win64.zip
# and build-windows/dungeon-gold-<version>-win64-setup.exe. Needs no Wine.
WIN_BUILD := build-windows
WIN_CONFIGURE = prefix=$$(bash scripts/windows-libs.sh) && $(call FOR_LIBS,$(WIN_BUILD)) && \
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DDUNGEON_WERROR=$(WERROR) \
	  -DCMAKE_PREFIX_PATH=$$prefix -DCMAKE_FIND_ROOT_PATH=$$prefix
windows: DEPS = windows
windows: deps
	@$(WIN_CONFIGURE) -DDUNGEON_TESTS=OFF >/dev/null
	@cmake --build $(WIN_BUILD) -j $(JOBS) --target windows_packages

# The same tree with the tests, run by ctest under Wine in a Wine prefix of
# the build's own (tests/wine.sh), with no X display: given one, Wine offers
# Direct3D 11, and SDL's direct3d11 renderer takes the sessions' dummy window
# (and draws nowhere) where Linux falls back to the software renderer. Then
# the zip and the installer played in a real window under Xvfb
# (tests/real_window.sh windows).
WINE_PREFIX := $(CURDIR)/$(WIN_BUILD)/wine
windows-test: windows
	@bash scripts/install-deps.sh windows-test
	@$(WIN_CONFIGURE) -DDUNGEON_TESTS=ON \
	  "-DCMAKE_CROSSCOMPILING_EMULATOR=bash;$(CURDIR)/tests/wine.sh;$(WINE_PREFIX);--test" >/dev/null
	@cmake --build $(WIN_BUILD) -j $(JOBS)
	@bash tests/wine.sh $(WINE_PREFIX) --serve
	@cd $(WIN_BUILD) && env -u DISPLAY -u WAYLAND_DISPLAY ctest --output-on-failure -j $(JOBS); \
	  status=$$?; \
	  bash ../tests/wine.sh $(WINE_PREFIX) --stop; exit $$status
	bash tests/real_window.sh windows $(WIN_BUILD)

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(WEB_BUILD) $(WIN_BUILD)

# The packages of make package checked as a distributor would
# (scripts/release-checks.sh: hardened binaries, lintian); the release archive
# unpacked and played; the menu entry's log (real_window.sh launcher_log: two
# runs at once, odd state folders); the Debian package's menu entry, listing,
# icons and launcher run with a scratch HOME; then the package installed with apt on a
# clean Debian 12 (a debootstrap root cached in ~/.cache/dungeon-gold-debian12),
# its menu entry run as a player in this machine's Xvfb, and removed. Needs
# root (sudo).
package-test: package
	@bash scripts/install-deps.sh package-test
	bash scripts/release-checks.sh $(BUILD)
	bash tests/real_window.sh archive $(BUILD)/CPackConfig.cmake
	bash tests/real_window.sh launcher_log $(CURDIR)/$(BUILD)/dungeon $(CURDIR)/Assets \
	  $(CURDIR)/scripts/dungeon-gold
	deb=$(BUILD)/dungeon-gold_$$(dpkg-parsechangelog -S Version)_amd64.deb && \
	  bash tests/real_window.sh deb $$deb && bash tests/clean_debian.sh $$deb

# The README followed by a newcomer on a minimal Debian 12 (the same cached
# root as package-test): a clean clone of the committed tree, `apt-get install
# make`, then `make test` must pass and `make run` must reach the menu on this
# machine's Xvfb and quit on Escape. Needs root (sudo).
fresh-test: DEPS = fresh-test
fresh-test: deps
	bash tests/clean_debian.sh --fresh .

# Rewrites every golden transcript from a run of its script; review the diff.
golden: build
	@for s in tests/golden/*.script; do \
	  case $$s in *soak*) continue;; esac; \
	  ./$(BUILD)/tests/golden_runner $$s $${s%.script}.log --update || exit 1; \
	done
	@git status --short tests/golden
