# Thin wrapper over the CMake presets.
PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: deps configure build run test test-asan fuzz clean

deps:
	@scripts/install-deps.sh

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

run: build
	scripts/run.sh $(BUILD_DIR)

# The whole suite on the normal build, then again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
test: build
	ctest --preset $(PRESET)
ifeq ($(PRESET),default)
	$(MAKE) --no-print-directory test-asan
endif

test-asan:
	$(MAKE) --no-print-directory PRESET=asan build
	ctest --preset asan

# Short libFuzzer runs of every target (clang needed); FUZZ_SECONDS in all.
FUZZ_SECONDS ?= 60
fuzz:
	scripts/fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf build
