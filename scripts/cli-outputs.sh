#!/usr/bin/env bash
# Runs corvane-cli over every example and test data file and a set of usage errors, and writes
# one file per run into OUTDIR: its standard output, its standard error and its exit code. Two
# OUTDIRs written by two builds compare with `diff -r`; an empty diff means the same bytes.
#
#   scripts/cli-outputs.sh OUTDIR [CLI_BINARY]     (default: build/default/src/cli/corvane-cli)
#
# The data files are named relative to the repository root and the runs start there, so both
# builds print the same full paths when the same checkout runs them.
set -u

if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "usage: $0 OUTDIR [CLI_BINARY]" >&2
    exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath -- "${2:-$root/build/default/src/cli/corvane-cli}")
if [[ ! -x $cli ]]; then
    echo "$0: no executable at $cli" >&2
    exit 2
fi
mkdir -p -- "$1" || exit 2
outdir=$(realpath -- "$1")
scratch=$(mktemp -d)
trap 'rm -rf -- "$scratch"' EXIT
cd "$root" || exit 2

# run NAME ARGS...: one record per run. Byte counts head each part, so text without a final
# line end cannot run into the next header.
run() {
    local name=$1
    shift
    local code
    "$cli" "$@" >"$scratch/out" 2>"$scratch/err"
    code=$?
    {
        printf '=== args:'
        printf ' [%s]' "${@//$scratch/SCRATCH}"
        printf '\n=== stdout (%d bytes)\n' "$(wc -c <"$scratch/out")"
        cat "$scratch/out"
        printf '\n=== stderr (%d bytes)\n' "$(wc -c <"$scratch/err")"
        cat "$scratch/err"
        printf '\n=== exit %d\n' "$code"
    } >"$outdir/$name"
}

# run_distribution NAME ARGS...: as run, with --distribution to a scratch CSV whose content
# follows the record.
run_distribution() {
    local name=$1
    shift
    rm -f -- "$scratch/trials.csv"
    run "$name" "$@" --distribution "$scratch/trials.csv"
    {
        if [[ -f $scratch/trials.csv ]]; then
            printf '=== distribution (%d bytes)\n' "$(wc -c <"$scratch/trials.csv")"
            cat "$scratch/trials.csv"
        else
            printf '=== no distribution file\n'
        fi
    } >>"$outdir/$name"
}

effect=(--dv 2 --gv 1 --group1 1 --group2 2 --trials 200 --seed 7)

mapfile -t files < <(find examples tests/data -type f \
    ! -name '*.sh' ! -name '*.py' ! -name '*.R' | LC_ALL=C sort)
for file in "${files[@]}"; do
    tag=${file//\//_}
    for delimiter in space comma tab; do
        run "import.$tag.$delimiter" import "$file" --delimiter "$delimiter"
        run "import.$tag.$delimiter.crlf" import "$file" --delimiter "$delimiter" --crlf
        for format in text json; do
            run "descriptives.$tag.$delimiter.$format" descriptives "$file" --vars 1-3 \
                --delimiter "$delimiter" --format "$format"
            run "descriptives-names.$tag.$delimiter.$format" descriptives "$file" \
                --vars group,score --delimiter "$delimiter" --format "$format"
            run "effect-size.$tag.$delimiter.$format" effect-size "$file" "${effect[@]}" \
                --delimiter "$delimiter" --format "$format"
            run "effect-size-names.$tag.$delimiter.$format" effect-size "$file" --dv score \
                --gv group --group1 1 --group2 2 --trials 200 --seed 7 \
                --delimiter "$delimiter" --format "$format"
        done
    done
    run "descriptives-all.$tag" descriptives "$file" --vars 1-1000
    run "descriptives-crlf.$tag" descriptives "$file" --vars 1,2 --crlf
    run "effect-size-crlf.$tag" effect-size "$file" "${effect[@]}" --crlf
done

example=examples/example.txt
run effect-size.level90 effect-size $example "${effect[@]}" --level 90
run effect-size.level99.json effect-size $example "${effect[@]}" --level 99 --format json
run effect-size.level95 effect-size $example "${effect[@]}" --level=95
run effect-size.variance-of2 effect-size $example "${effect[@]}" --variance-of 2
run effect-size.variance-of2.json effect-size $example "${effect[@]}" --variance-of 2 \
    --format json
run effect-size.interval-percentile effect-size $example "${effect[@]}" --interval percentile
run effect-size.interval-bca effect-size $example "${effect[@]}" --interval bca
run effect-size.interval-bca.json effect-size $example "${effect[@]}" --interval bca --level 90 \
    --format json
run effect-size.interval-bca.sentence effect-size $example "${effect[@]}" --interval bca \
    --format sentence
run effect-size.threads1 effect-size $example "${effect[@]}" --threads 1
run effect-size.threads3.json effect-size $example "${effect[@]}" --threads 3 --format json
run effect-size.dv3 effect-size $example --dv 3 --gv 1 --group1 2 --group2 1 --trials 50 \
    --seed 18446744073709551615
run effect-size.trials1 effect-size $example "${effect[@]}" --trials 1
run effect-size.same-column effect-size $example --dv 1 --gv 1 --group1 1 --group2 2 --seed 1
run effect-size.code-text effect-size $example --dv 2 --gv 1 --group1 1a --group2 2 --seed 1
run effect-size.options-after-end effect-size --dv 2 --gv 1 --group1 1 --group2 2 --seed 3 \
    -- $example
run_distribution effect-size.distribution effect-size $example "${effect[@]}"
run_distribution effect-size.distribution.json effect-size $example "${effect[@]}" \
    --format json --level 90
run_distribution effect-size.distribution.crlf effect-size $example "${effect[@]}" --crlf
run effect-size.distribution-unwritable effect-size $example "${effect[@]}" \
    --distribution /nonexistent-folder/trials.csv
run effect-size.distribution-is-data effect-size $example "${effect[@]}" \
    --distribution $example
run effect-size.distribution-empty effect-size $example "${effect[@]}" --distribution ''
run descriptives.list descriptives $example --vars 3,1-2 --format json
run descriptives.bad-list descriptives $example --vars 3-1
run descriptives.empty-list descriptives $example --vars ''
run import.missing-file import examples/no-such-file.txt

run usage.no-args
run usage.help --help
run usage.h -h
run usage.help-word help
run usage.command-help descriptives --help
run usage.unknown-command frobnicate $example
run usage.no-file import
run usage.two-files import $example $example
run usage.empty-file import ''
run usage.unknown-option import $example --frobnicate
run usage.short-option import $example -x
run usage.bad-delimiter import $example --delimiter semicolon
run usage.delimiter-no-value import $example --delimiter
run usage.flag-with-value import $example --crlf=yes
run usage.flag-twice import $example --crlf --crlf
run usage.value-twice effect-size $example "${effect[@]}" --dv 3
run usage.missing-dv effect-size $example --gv 1 --group1 1 --group2 2
run usage.missing-group1 effect-size $example --dv 2 --gv 1 --group2 2
run usage.missing-vars descriptives $example
run usage.bad-level effect-size $example "${effect[@]}" --level 80
run usage.bad-level-text effect-size $example "${effect[@]}" --level 95%
run usage.bad-trials effect-size $example --dv 2 --gv 1 --group1 1 --group2 2 --trials 0
run usage.bad-trials-high effect-size $example --dv 2 --gv 1 --group1 1 --group2 2 \
    --trials 1000001
run usage.bad-trials-text effect-size $example --dv 2 --gv 1 --group1 1 --group2 2 --trials 6e2
run usage.bad-interval effect-size $example "${effect[@]}" --interval studentized
run usage.bad-variance-of effect-size $example "${effect[@]}" --variance-of 3
run usage.bad-seed effect-size $example --dv 2 --gv 1 --group1 1 --group2 2 --seed -1
run usage.bad-threads effect-size $example "${effect[@]}" --threads 0
run usage.bad-threads-high effect-size $example "${effect[@]}" --threads 1025
run usage.bad-format effect-size $example "${effect[@]}" --format xml
run usage.dv-zero effect-size $example --dv 0 --gv 1 --group1 1 --group2 2
run usage.gv-high effect-size $example --dv 2 --gv 1001 --group1 1 --group2 2
run usage.dv-name-no-names effect-size $example --dv score --gv 1 --group1 1 --group2 2
for option in trials level interval variance-of seed threads dv gv group1 group2 distribution \
    vars format; do
    run "usage.import-takes-no-$option" import $example "--$option" 1
done
for option in trials level interval variance-of seed threads dv gv group1 group2 \
    distribution; do
    run "usage.descriptives-takes-no-$option" descriptives $example --vars 1 "--$option" 1
done
run usage.effect-size-takes-no-vars effect-size $example "${effect[@]}" --vars 1
exit 0
