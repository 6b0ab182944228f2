#!/usr/bin/env bash
# Builds the benchmarks (Release, in build/bench), writes their data with a fixed seed into a
# temporary directory, and runs ours and the peers that are installed, side by side.
#
#   scripts/bench.sh                  run everything that is installed
#   scripts/bench.sh --install-peers  first install the peers' Debian packages
#   scripts/bench.sh --no-peers       only our own benchmarks
#
# The results are printed and kept in build/bench/bench-results.txt.
set -euo pipefail

cd "$(dirname "$0")/.."
root=$PWD
build=build/bench
install_peers=0
run_peers=1
for arg in "$@"; do
  case "$arg" in
    --install-peers) install_peers=1 ;;
    --no-peers) run_peers=0 ;;
    -h|--help) sed -n '2,9p' "$0"; exit 0 ;;
    *) echo "unknown option: $arg (see --help)" >&2; exit 2 ;;
  esac
done

peer_packages=(python3-numpy python3-scipy python3-pandas r-base-core r-cran-boot r-cran-haven
  r-cran-data.table r-cran-readxl r-cran-openxlsx python3-openpyxl libxlsxwriter-dev)
if [ "$install_peers" -eq 1 ]; then
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends \
    "${peer_packages[@]}"
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BUILD_BENCH=ON >/dev/null
targets=(corvane_bench corvane_benchdata corvane-cli)
if cmake --build "$build" --target help | grep -q '^corvane_bench_pane:'; then
  targets+=(corvane_bench_pane corvane_bench_windows)
fi
cmake --build "$build" -j2 --target "${targets[@]}"

data=$(mktemp -d "${TMPDIR:-/tmp}/corvane-bench.XXXXXX")
trap 'rm -rf "$data"' EXIT
results="$root/$build/bench-results.txt"

run() {
  echo
  echo "== $1"
  shift
  "$@" 2>&1
}

# The first Python that has numpy (Debian's packages go to /usr/bin/python3, which another
# python3 on the PATH may hide).
python=""
for candidate in python3 /usr/bin/python3; do
  if command -v "$candidate" >/dev/null && "$candidate" -c 'import numpy' 2>/dev/null; then
    python=$candidate
    break
  fi
done
# One corvane-cli effect-size run on a groups file as a whole process: wall, user and system
# seconds, peak resident memory, and the first digits of the report's checksum (equal digits:
# the same report).
cli_run() {
  local label=$1 file=$2 trials=$3
  shift 3
  local out="$data/cli.out" times="$data/cli.time"
  /usr/bin/time -f '%e %U %S %M' -o "$times" "$build/src/cli/corvane-cli" effect-size "$file" \
    --dv 1 --gv 2 --group1 1 --group2 2 --trials "$trials" --seed 2026 "$@" >"$out"
  read -r wall user sys rss <"$times"
  printf 'corvane-cli %-40s %6.2f s wall %6.2f s user %5.2f s sys  peak RSS %6.1f MiB  report %s\n' \
    "$label" "$wall" "$user" "$sys" "$(awk "BEGIN { print $rss / 1024 }")" \
    "$(md5sum <"$out" | cut -c1-8)"
}
# One corvane-cli import of the same file, the yardstick of the effect-size run beside it.
cli_import() {
  local label=$1 file=$2 times="$data/cli.time"
  /usr/bin/time -f '%e %U %S %M' -o "$times" "$build/src/cli/corvane-cli" import "$file" >/dev/null
  read -r wall user sys rss <"$times"
  printf 'corvane-cli %-40s %6.2f s wall %6.2f s user %5.2f s sys  peak RSS %6.1f MiB\n' \
    "$label" "$wall" "$user" "$sys" "$(awk "BEGIN { print $rss / 1024 }")"
}
# Likert items, 100,000,000 per group (a 1 GB file, a 1.5 GiB data set): written, run against
# its import and deleted, when the disk and the memory have room for it.
big_likert() {
  local big="$data/groups_likert_100000000.txt"
  local disk mem
  disk=$(df --output=avail -B1M "$data" | tail -1)
  mem=$(awk '/^MemAvailable:/ { print int($2 / 1024) }' /proc/meminfo)
  if [ "$disk" -lt 3000 ] || [ "$mem" -lt 4000 ]; then
    echo "skipped: needs 3 GB of disk in $data and 4 GB of free memory"
    return
  fi
  "$build/bench/corvane_benchdata" discrete "$big" 100000000 likert
  cli_run "T = 2000, Likert, 100,000,000 per group" "$big" 2000
  cli_import "import, Likert, 100,000,000 per group" "$big"
  rm -f "$big"
}
has_module() { [ -n "$python" ] && "$python" -c "import $1" 2>/dev/null; }
skip() { echo; echo "== $1: skipped, $2 is not installed (scripts/bench.sh --install-peers)"; }

{
  echo "Corvane benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores," \
       "$(free -g | awk '/^Mem:/ {print $2}') GiB, load average $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "compiler: $(c++ --version | head -1)"

  "$build/bench/corvane_benchdata" files "$data"
  "$build/bench/corvane_benchdata" sav "$data/import_1000000x10.sav"
  "$build/bench/corvane_benchdata" csv "$data/import_1000000x10.csv"
  # The 200,000 x 10 sheet of numbers and a text column as three writers write it: each of
  # their runs is skipped when the writer is not installed.
  "$build/bench/corvane_benchdata" xlsx "$data/sheet_xlsxwriter.xlsx" || true
  "$build/bench/corvane_benchdata" sheet "$data/sheet_200000x11.txt"
  if command -v Rscript >/dev/null && Rscript -e 'library(openxlsx)' >/dev/null 2>&1; then
    Rscript bench/peers/write_xlsx_openxlsx.R "$data/sheet_200000x11.txt" "$data/sheet_openxlsx.xlsx"
  fi
  if has_module openpyxl; then
    "$python" -B bench/peers/write_xlsx_openpyxl.py "$data/sheet_200000x11.txt" \
      "$data/sheet_openpyxl.xlsx"
  fi
  echo "data: $(du -sh "$data" | cut -f1) in $data, seed fixed in bench/BenchData.h"

  run "core: bootstrap (T = 2000), floor loop, import, descriptives" \
    env CORVANE_BENCH_DATA="$data" "$build/bench/corvane_bench"
  run "core: one import per process, with its peak resident memory (all cores, then one)" \
    "$build/bench/corvane_benchdata" import "$data/import_1000000x10.txt"
  "$build/bench/corvane_benchdata" import "$data/import_1000000x10.txt" 1
  "$build/bench/corvane_benchdata" import "$data/import_100000x100.txt"
  "$build/bench/corvane_benchdata" import "$data/import_100000x100.txt" 1
  run "core: a table with its groups as codes 1 and 2, then as the words control and treatment" \
    "$build/bench/corvane_benchdata" import "$data/table_1000000x10_coded.txt"
  "$build/bench/corvane_benchdata" import "$data/table_1000000x10_named.txt"
  run "core: an SPSS data file, one read per process" \
    "$build/bench/corvane_benchdata" import "$data/import_1000000x10.sav"
  run "core: detected formats, one read per process (semicolons and decimal commas, a workbook)" \
    "$build/bench/corvane_benchdata" import "$data/import_1000000x10.csv"
  for writer in xlsxwriter openxlsx openpyxl; do
    if [ -f "$data/sheet_$writer.xlsx" ]; then
      echo "workbook written by $writer:"
      "$build/bench/corvane_benchdata" import "$data/sheet_$writer.xlsx"
    fi
  done
  if [ -x /usr/bin/time ]; then
    run "corvane-cli effect-size, whole process: all cores, then --threads 1" true
    cli_run "T = 2000, 100,000 per group" "$data/groups_100000.txt" 2000
    cli_run "T = 2000, 100,000 per group, --threads 1" "$data/groups_100000.txt" 2000 --threads 1
    cli_run "T = 200, 1,000,000 per group" "$data/groups_1000000.txt" 200
    cli_run "T = 200, 1,000,000 per group, --threads 1" "$data/groups_1000000.txt" 200 --threads 1
    run "corvane-cli effect-size on few distinct values (T = 2000), and the import of the file" true
    for shape in likert hundredths; do
      cli_run "T = 2000, $shape, 1,000,000 per group" "$data/groups_${shape}_1000000.txt" 2000
      cli_import "import, $shape, 1,000,000 per group" "$data/groups_${shape}_1000000.txt"
    done
    big_likert
  else
    echo; echo "== corvane-cli effect-size: skipped, /usr/bin/time is not installed"
  fi
  if [ -x "$build/bench/corvane_bench_pane" ]; then
    run "output pane (offscreen)" env QT_QPA_PLATFORM=offscreen "$build/bench/corvane_bench_pane"
    run "analysis windows (offscreen)" env QT_QPA_PLATFORM=offscreen \
      "$build/bench/corvane_bench_windows"
  else
    echo; echo "== output pane: skipped, the GUI is not built"
  fi

  if [ "$run_peers" -eq 1 ]; then
    groups=("$data/groups_1000.txt" "$data/groups_10000.txt" "$data/groups_100000.txt")
    if has_module numpy; then
      run "peer: numpy bootstrap" "$python" -B bench/peers/bootstrap_numpy.py "${groups[@]}"
      CORVANE_BENCH_TRIALS=200 "$python" -B bench/peers/bootstrap_numpy.py \
        "$data/groups_1000000.txt"
      run "peer: numpy on few distinct values, generic (T = 200) and multinomial (T = 2000)" \
        env CORVANE_BENCH_TRIALS=200 "$python" -B bench/peers/bootstrap_numpy.py \
        "$data/groups_likert_1000000.txt" "$data/groups_hundredths_1000000.txt"
      "$python" -B bench/peers/bootstrap_numpy_multinomial.py "$data/groups_likert_1000000.txt" \
        "$data/groups_hundredths_1000000.txt"
      run "peer: numpy.loadtxt" "$python" -B bench/peers/import_python.py loadtxt \
        "$data/import_1000000x10.txt"
      "$python" -B bench/peers/import_python.py loadtxt "$data/import_100000x100.txt"
    else
      skip "peer: numpy bootstrap and numpy.loadtxt" python3-numpy
    fi
    if has_module scipy; then
      run "peer: scipy.stats.bootstrap" "$python" -B bench/peers/bootstrap_scipy.py "${groups[@]}"
    else
      skip "peer: scipy.stats.bootstrap" python3-scipy
    fi
    if has_module pandas; then
      run "peer: pandas.read_csv" "$python" -B bench/peers/import_python.py pandas \
        "$data/import_1000000x10.txt"
      "$python" -B bench/peers/import_python.py pandas "$data/import_100000x100.txt"
    else
      skip "peer: pandas.read_csv" python3-pandas
    fi
    if command -v Rscript >/dev/null && Rscript -e 'library(boot)' >/dev/null 2>&1; then
      run "peer: R boot with strata" Rscript bench/peers/bootstrap_boot.R "${groups[@]}"
    else
      skip "peer: R boot" "r-base-core or r-cran-boot"
    fi
    if command -v Rscript >/dev/null && Rscript -e 'library(haven)' >/dev/null 2>&1; then
      run "peer: haven::read_sav" Rscript bench/peers/read_sav_haven.R \
        "$data/import_1000000x10.sav"
    else
      skip "peer: haven::read_sav" "r-base-core or r-cran-haven"
    fi
    if command -v Rscript >/dev/null && Rscript -e 'library(data.table)' >/dev/null 2>&1; then
      run "peer: data.table::fread, 2 threads" Rscript bench/peers/read_csv_fread.R \
        "$data/import_1000000x10.csv"
    else
      skip "peer: data.table::fread" "r-base-core or r-cran-data.table"
    fi
    if command -v Rscript >/dev/null && Rscript -e 'library(readxl)' >/dev/null 2>&1; then
      run "peer: readxl::read_excel, the workbooks of libxlsxwriter, openxlsx and openpyxl" true
      for writer in xlsxwriter openxlsx openpyxl; do
        if [ -f "$data/sheet_$writer.xlsx" ]; then
          Rscript bench/peers/read_xlsx_readxl.R "$data/sheet_$writer.xlsx"
        fi
      done
    else
      skip "peer: readxl::read_excel" "r-base-core or r-cran-readxl"
    fi
  fi
} | tee "$results"
echo
echo "Results kept in $results"
