#!/usr/bin/env bash
# The layering check must fail on a copy of src/ given an upward include, a batch tool that
# reaches past the core, a cycle between two core folders, or Qt outside gui/, and name the
# fault each time.
set -uo pipefail
check=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

expect_caught() { # description, file to edit, line to add, text the report must hold
    rm -rf "$work/src" && cp -r "$src" "$work/src"
    echo "$3" >>"$work/src/$2"
    if out=$("$check" "$work/src" 2>&1); then
        echo "not caught: $1"
        failures=$((failures + 1))
    elif ! grep -qF "$4" <<<"$out"; then
        echo "caught without saying so: $1 (the report: $out)"
        failures=$((failures + 1))
    fi
}

rm -rf "$work/src" && cp -r "$src" "$work/src"
"$check" "$work/src" >/dev/null || { echo "the unchanged copy fails"; exit 1; }

expect_caught "core includes platform" data/modGeneral.cpp '#include "gui/platform/Twips.h"' \
    'data/modGeneral.cpp includes "gui/platform/Twips.h"'
expect_caught "a window includes the app" gui/data/frmNavigate.cpp '#include "gui/app/frmMain.h"' \
    'gui/app is a layer above gui/data'
expect_caught "the batch tool includes a window" cli/CliMain.cpp \
    '#include "gui/output/OutputPane.h"' 'the batch tool links the core alone'
expect_caught "a cycle inside the core" data/DataMatrix.h '#include "analysis/Bootstrap.h"' \
    'form a cycle'
expect_caught "the core includes Qt" analysis/Bootstrap.cpp '#include <QString>' \
    'analysis/Bootstrap.cpp includes Qt'
exit $failures
