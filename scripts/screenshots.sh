#!/usr/bin/env bash
# Opens every window of the program under a virtual X display (or Qt's offscreen platform when
# xvfb-run is missing) and writes a PNG of each into screenshots/.
#   scripts/screenshots.sh [build-dir] [output-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
out=${2:-screenshots}

# Every window at its default size; the analysis windows with data and reports, and the
# effect-size window with long names at its first size and made larger; the distributions
# window and a picture saved from it.
cmake --build "$build" --target corvane_screenshots corvane_analysis_screenshots \
  corvane_distribution_screenshot -- -j2
mkdir -p "$out"
for tool in corvane_screenshots corvane_analysis_screenshots corvane_distribution_screenshot; do
  program="$build/tests/gui/$tool"
  if command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$program" "$out"
  else
    QT_QPA_PLATFORM=offscreen "$program" "$out"
  fi
done
