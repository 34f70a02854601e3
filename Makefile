# The two commands a newcomer needs: `make run` and `make test`.
BUILD  ?= build
JOBS   := $(shell nproc 2>/dev/null || echo 2)
WERROR ?= $(if $(CI),ON,OFF)

.PHONY: all deps configure build run test clean

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

clean:
	rm -rf $(BUILD)
