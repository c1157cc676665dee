#!/usr/bin/env bash
# include_layers.sh SRC: every include in SRC points down the layers, and no
# two units (a .cpp with its .h) include each other, directly or around a circle.
set -euo pipefail
cd "$1"

# Lowest first; folders of one rank may include each other, circles aside.
declare -A RANK=([platform]=0 [res]=0 [disk]=1 [volume]=2 [editor]=3 [image]=4 [driveinfo]=4 [search]=4 [app]=5)

failures=0
edges=()
while IFS= read -r line; do
    file="${line%%:*}"
    target="$(sed -n 's/^[0-9]*:#include "\(.*\)".*/\1/p' <<< "${line#*:}")"
    from="${file%%/*}" to="${target%%/*}"
    for folder in "$from" "$to"; do
        [ -n "${RANK[$folder]+set}" ] || { echo "FAIL: $file: '$folder' has no layer" >&2; exit 1; }
    done
    if [ "${RANK[$to]}" -gt "${RANK[$from]}" ]; then
        echo "FAIL: $file includes $target, a layer above it" >&2
        failures=$((failures + 1))
    fi
    unit="${file%.*}" used="${target%.*}"
    [ "$unit" = "$used" ] || edges+=("$used $unit")
done < <(grep -rn --include='*.cpp' --include='*.h' '^#include "' . | sed 's#^\./##')

if ! printf '%s\n' "${edges[@]}" | tsort >/dev/null 2>"${TMPDIR:-/tmp}/include-loop.$$"; then
    echo "FAIL: units include each other in a circle:" >&2
    cat "${TMPDIR:-/tmp}/include-loop.$$" >&2
    failures=$((failures + 1))
fi
rm -f "${TMPDIR:-/tmp}/include-loop.$$"
[ "$failures" = 0 ] || exit 1
echo "ok: ${#edges[@]} includes between units, all pointing down, no circle"
