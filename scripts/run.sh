#!/usr/bin/env bash
# Starts the desktop program from a build directory.
set -euo pipefail
build=${1:-build/default}
program="$build/src/corvane"
if [ ! -x "$program" ]; then
  echo "No program at $program: build it first with 'make build'." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display to show the program on: run 'xvfb-run make run', or 'make run' from a desktop session." >&2
  exit 1
fi
exec "$program"
