#!/usr/bin/env bash
# Regenerates the delimited-text dialect files (Debian: r-base-core, python3-pandas).
set -euo pipefail
cd "$(dirname "$0")"
Rscript make_files.R
/usr/bin/python3 make_files.py
/usr/bin/python3 make_notes_above_table.py
