#!/usr/bin/env bash
# Regenerates the packed and UTF-16 files of the packed-file tests
# (Debian: python3-pandas, r-base-core, r-cran-data.table).
set -euo pipefail
cd "$(dirname "$0")"
/usr/bin/python3 make_packed.py
Rscript make_packed.R
