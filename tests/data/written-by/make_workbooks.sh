#!/usr/bin/env bash
# Regenerates the workbooks of the spreadsheet import tests (Debian: libxlsxwriter-dev,
# r-cran-openxlsx, python3-openpyxl, python3-pandas, python3-odf, python3-xlwt).
set -euo pipefail
cd "$(dirname "$0")"
writer=$(mktemp)
trap 'rm -f "$writer"' EXIT
cc -Wall -o "$writer" write_workbooks.c $(pkg-config --cflags --libs xlsxwriter)
"$writer"
Rscript make_workbooks.R
/usr/bin/python3 make_workbooks.py
