#!/usr/bin/env bash
# Regenerates the files R, pandas, numpy and ReadStat write for the import tests
# (Debian: r-base-core, r-cran-haven, python3-pandas, python3-numpy, libreadstat-dev).
set -euo pipefail
cd "$(dirname "$0")"
Rscript make_files.R
/usr/bin/python3 make_files.py
writer=$(mktemp)
trap 'rm -f "$writer"' EXIT
g++ -std=c++20 -O1 -o "$writer" write_stat_files.cpp -lreadstat
"$writer"
