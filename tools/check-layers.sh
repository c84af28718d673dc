#!/usr/bin/env bash
# Includes point one way: framework (and the resources) -> platform -> model
# -> compress -> the window folders (catalogs, preview, fourup, stills,
# timeline, docwindow, appearance, framework/gui) -> app. A file may include
# headers of its own layer and the layers below it, never above. The core
# (framework without its gui folder, platform, model, compress) does not
# include Qt Widgets either, so that it builds and runs without a display.
#
# Usage: tools/check-layers.sh [SOURCE_DIR [QT_WIDGETS_INCLUDE_DIR]]
# Prints every include that breaks a rule; fails when there is one.
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
widgets=${2:-}
cd "$root"

# The layer of a path inside the tree; nothing for folders outside the
# layers (tests, fuzz, bench, tools).
layer() {
    case "$1" in
        framework/gui/*) echo 4 ;;
        framework/* | resources/*) echo 0 ;;
        platform/*) echo 1 ;;
        model/*) echo 2 ;;
        compress/*) echo 3 ;;
        catalogs/* | preview/* | fourup/* | stills/* | timeline/* | docwindow/* | appearance/*) echo 4 ;;
        app/*) echo 5 ;;
    esac
}

names=(framework platform model compress "window folders" app)
problems=0
while IFS= read -r file; do
    own=$(layer "$file")
    [ -n "$own" ] || continue
    while IFS=: read -r line header; do
        theirs=$(layer "$header")
        if [ -n "$theirs" ] && [ "$theirs" -gt "$own" ]; then
            echo "$file:$line: includes $header: ${names[$own]} may not include ${names[$theirs]}"
            problems=$((problems + 1))
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
             sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
    if [ "$own" -le 3 ] && [ -n "$widgets" ] && [ -d "$widgets" ]; then
        while IFS=: read -r line header; do
            if [ -e "$widgets/${header#QtWidgets/}" ]; then
                echo "$file:$line: includes <$header>: the core does not use Qt Widgets"
                problems=$((problems + 1))
            fi
        done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file" |
                 sed 's/^\([0-9]*\):.*<\([^>]*\)>.*/\1:\2/')
    fi
done < <(find framework resources platform model compress catalogs preview fourup stills timeline docwindow \
              appearance app -type f \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | sort)

if [ "$problems" -gt 0 ]; then
    echo "$problems include(s) point the wrong way" >&2
    exit 1
fi
echo "includes point one way"
