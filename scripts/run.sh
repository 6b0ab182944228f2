#!/usr/bin/env bash
# Starts the desktop program from a build directory.
set -euo pipefail
build=${1:-build/default}
exec "$build/src/corvane"
