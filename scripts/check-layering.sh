#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a layer above its own, when the includes
# between folders form a cycle, or when a file outside src/gui includes Qt. The layers, lowest
# first:
#   core      common, data, data/formats and its folders, data/import, analysis,
#             analysis/render, output
#   platform  gui/platform, the Qt layer every window uses
#   windows   gui/data, gui/analysis, gui/output
#   app       gui/app: the main window, the splash, the window registry
# The batch tool (cli) may include the core and itself, nothing else; nothing includes it.
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
cd "$src"

# folder of a path under src: "gui/data/frmNavigate.h" -> "gui/data", "data/DataMatrix.h" -> "data"
folder_of() { local d=${1%/*}; echo "$d"; }
layer_of() {
    case $1 in
        common | data | data/formats | data/formats/* | data/import | analysis | analysis/render | output)
            echo 0
            ;;
        gui/platform) echo 1 ;;
        gui/data | gui/analysis | gui/output) echo 2 ;;
        gui/app) echo 3 ;;
        cli) echo cli ;;
        *) echo unknown ;;
    esac
}

status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
while IFS= read -r file; do
    from=$(folder_of "$file")
    from_layer=$(layer_of "$from")
    while IFS= read -r header; do
        [ -n "$header" ] || continue
        to=$(folder_of "$header")
        [ "$to" != "$header" ] || continue # a header beside the file, named without a folder
        to_layer=$(layer_of "$to")
        [ "$from" = "$to" ] && continue
        echo "$from $to" >>"$edges"
        bad=
        if [ "$from_layer" = unknown ]; then
            bad="$from is no folder of the layout"
        elif [ "$to_layer" = unknown ]; then
            bad="$to is no folder of the layout"
        elif [ "$from_layer" = cli ]; then
            [ "$to_layer" = 0 ] || bad="the batch tool links the core alone"
        elif [ "$to_layer" = cli ]; then
            bad="only the batch tool includes its own headers"
        elif [ "$to_layer" -gt "$from_layer" ]; then
            bad="$to is a layer above $from"
        fi
        if [ -n "$bad" ]; then
            echo "$file includes \"$header\": $bad"
            status=1
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
    case $file in
        gui/*) ;;
        *)
            if grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
                echo "$file includes Qt: only the files under gui/ do"
                status=1
            fi
            ;;
    esac
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) | sed 's|^\./||' | sort)

# A cycle between folders: repeatedly drop the folders no remaining folder includes; whatever is
# left lies on a cycle.
cycle=$(sort -u "$edges" | awk '
    { from[NR] = $1; to[NR] = $2; n = NR; alive[$1] = 1; alive[$2] = 1 }
    END {
        do {
            changed = 0
            for (f in alive) {
                included = 0; includes = 0
                for (i = 1; i <= n; ++i) {
                    if (!(from[i] in alive) || !(to[i] in alive)) continue
                    if (to[i] == f) included = 1
                    if (from[i] == f) includes = 1
                }
                if (!included || !includes) { delete alive[f]; changed = 1 }
            }
        } while (changed)
        for (f in alive) printf "%s ", f
    }')
if [ -n "$cycle" ]; then
    echo "the includes between these folders form a cycle: $cycle"
    status=1
fi
exit $status
