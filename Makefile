# The two commands a newcomer needs: `make run` and `make test`.
BUILD  ?= build
JOBS   := $(shell nproc 2>/dev/null || echo 2)
WERROR ?= $(if $(CI),ON,OFF)

.PHONY: all deps configure build run test lint package clean sanitize valgrind fuzz soak assets

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DDUNGEON_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/dungeon

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite again with AddressSanitizer and UBSan; the first report stops
# the test that made it. Leaks owned by SDL's drivers would be listed in
# tests/lsan.supp.
SAN_BUILD := build-sanitize
SAN_ENV := ASAN_OPTIONS=halt_on_error=1:print_stacktrace=1:detect_leaks=1:strict_string_checks=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0
# The tests that run the game on a real X display (under Xvfb).
SAN_X11_TESTS := ^(RealWindow|Package)[.]

sanitize: deps
	@cmake -S . -B $(SAN_BUILD) -DDUNGEON_SANITIZE=ON -DDUNGEON_WERROR=$(WERROR) >/dev/null
	@$(SAN_ENV) cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && $(SAN_ENV) ctest --output-on-failure -j $(JOBS) -E '$(SAN_X11_TESTS)'
	@# On a real X display SDL's X11 driver loads some of its libraries at run
	@# time and unloads them in SDL_Quit, so LeakSanitizer cannot name the owner
	@# of the little they keep (nor suppress it): there the game runs with every
	@# other check but the leak check. Leaks of the game's own code are covered
	@# by the headless suite above and by valgrind.
	cd $(SAN_BUILD) && $(SAN_ENV) ASAN_OPTIONS=halt_on_error=1:print_stacktrace=1:detect_leaks=0 \
		ctest --output-on-failure -R '$(SAN_X11_TESTS)' --no-tests=ignore

# One whole scripted game under memcheck (win, scores, menu, loss, exit).
VG_BUILD := build-valgrind

valgrind: deps
	@cmake -S . -B $(VG_BUILD) -DDUNGEON_WERROR=$(WERROR) >/dev/null
	@cmake --build $(VG_BUILD) -j $(JOBS) --target dungeon_scripted_game
	valgrind --quiet --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
		--show-leak-kinds=definite --suppressions=tests/valgrind.supp \
		./$(VG_BUILD)/tests/dungeon_scripted_game

# libFuzzer targets of the file readers, built with clang in their own folder.
FUZZ_BUILD   := build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_settings fuzz_collision fuzz_layers fuzz_scores

fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DDUNGEON_FUZZ=ON \
		-DDUNGEON_WERROR=$(WERROR) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	@bash tests/fuzz/run.sh $(FUZZ_BUILD)/tests/fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# 300 games in one process; built by `make test`, not run by it.
soak: build
	./$(BUILD)/tests/dungeon_soak

# Redraws the pictures and rewrites the level files in Assets/ with the asset
# generator, which only this target builds.
assets: deps
	@cmake -S . -B $(BUILD) -DDUNGEON_TOOLS=ON -DDUNGEON_WERROR=$(WERROR) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target dungeon_assetgen
	./$(BUILD)/tools/dungeon_assetgen .

# A portable archive: build/dungeon-<version>-Linux-x86_64.tar.gz
package: build
	cd $(BUILD) && cpack -G TGZ

# Static analysis of the game code; any finding fails.
GAME_SOURCES = $(wildcard core/*.cpp graphics/*.cpp world/*.cpp gameplay/*.cpp)
lint: configure
	cppcheck --enable=warning,performance,portability --std=c++20 --inline-suppr \
	  --error-exitcode=1 --quiet -I . $(GAME_SOURCES)
	clang-tidy -p $(BUILD) --quiet $(GAME_SOURCES)

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(VG_BUILD) $(FUZZ_BUILD)
