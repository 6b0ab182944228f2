#!/usr/bin/env bash
# Regenerates the files R, pandas and numpy write for the import table test
# (Debian: r-base-core, python3-pandas, python3-numpy).
set -euo pipefail
cd "$(dirname "$0")"
Rscript make_files.R
/usr/bin/python3 make_files.py
