# Thin wrapper over the CMake presets.
PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: deps configure build run test clean

deps:
	@scripts/install-deps.sh

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

run: build
	scripts/run.sh $(BUILD_DIR)

test: build
	ctest --preset $(PRESET)

clean:
	rm -rf build
