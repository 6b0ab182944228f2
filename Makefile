# Thin wrapper over the CMake presets.
PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: deps configure build run display test test-asan fuzz format-check clean

deps:
	@scripts/install-deps.sh

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

run: display build
	scripts/run.sh $(BUILD_DIR)

# Checked before the build, so that a machine without a display learns it at once, in one line.
display:
ifeq ($(strip $(DISPLAY)$(WAYLAND_DISPLAY)$(QT_QPA_PLATFORM)),)
	$(error No display to show Corvane on: run 'xvfb-run make run', or 'make run' from a desktop session)
endif

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

# Every C++ file laid out as .clang-format says; lists the files that are not.
format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format-14 --dry-run --Werror

# Short libFuzzer runs of every target (clang needed); FUZZ_SECONDS in all.
FUZZ_SECONDS ?= 60
fuzz:
	scripts/fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf build
