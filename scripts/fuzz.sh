#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each for its share of
# SECONDS (default 60 in all). The corpus each run grows is kept in build/fuzz/corpus/NAME,
# started from the seeds in fuzz/corpus/NAME; inputs that break a property are written to
# build/fuzz/artifacts/ and the script fails.
#   scripts/fuzz.sh [SECONDS] [TARGET...]      TARGET: classify_field import_data_file output_file
#                                              statistics_file read_workbook read_xls xml_scanner
#                                              read_packed read_utf16 read_rdata
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=(classify_field import_data_file output_file statistics_file read_workbook read_xls
  xml_scanner read_packed read_utf16 read_rdata); fi

cxx=""
for c in clang++-14 clang++; do
  if command -v "$c" >/dev/null 2>&1; then cxx=$c; break; fi
done
if [ -z "$cxx" ]; then
  echo "fuzz.sh: clang++ is needed (Debian: clang-14 libclang-rt-14-dev)" >&2
  exit 1
fi
cc=${cxx/clang++/clang}

build=build/fuzz
if [ ! -f "$build/build.ninja" ]; then
  CC=$cc CXX=$cxx cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j 2 --target "${targets[@]/#/fuzz_}"

share=$(( seconds / ${#targets[@]} ))
if [ "$share" -lt 1 ]; then share=1; fi
mkdir -p "$build/artifacts"
total=0
status=0
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t"
  log="$build/$t.log"
  # An .xls keeps its directory and workbook stream past the first 4 KiB, and FreeXL lays out
  # the grid a damaged sheet claims (up to some hundred MB) before it can be refused. FreeXL
  # also loses such grids now and then; jobs in child processes keep that from adding up.
  max_len=4096
  timeout=10
  extra=()
  if [ "$t" = read_xls ]; then
    max_len=8192
    timeout=30
    extra=(-fork=1 -ignore_ooms=0 -ignore_timeouts=0)
  fi
  # Faults of FreeXL's own that it is not ours to fix are suppressed (see the files).
  if ASAN_OPTIONS=abort_on_error=1:suppressions="$PWD/fuzz/asan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions="$PWD/fuzz/lsan.supp" \
    "$build/fuzz_$t" -max_total_time="$share" -max_len="$max_len" -timeout="$timeout" -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" "${extra[@]}" \
      "$build/corpus/$t" "fuzz/corpus/$t" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    # A run in jobs may end before its final figures; its last progress line counts too.
    if [ -z "$runs" ]; then runs=$(sed -n 's/^#\([0-9]*\): cov.*/\1/p' "$log" | tail -n 1); fi
    units=$(find "$build/corpus/$t" -type f | wc -l)
    echo "fuzz $t: ${runs:-?} executions in ${share} s, corpus of $units inputs"
    total=$(( total + ${runs:-0} ))
  else
    echo "fuzz $t: FAILED, see $log and $build/artifacts/" >&2
    tail -n 40 "$log" >&2
    status=1
  fi
done
echo "fuzz: $total executions in all"
exit $status
