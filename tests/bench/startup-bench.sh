#!/usr/bin/env bash
# startup-bench.sh PREFIX VELDIS_EXE MINIMAL_EXE FIRST_PAINT: from the start
# of each program under Wine to its first painted window (blue where the
# banner or the fill begins), as first_paint.c sees it, the median of several
# starts, the wineserver kept up.
# The two programs start in turns, in the other order each round: a start
# costs about as much as the machine's other work lets it, and a drift in
# that work would otherwise fall on one program's starts only.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../support/wine-env.sh"
wine_prepare "$1"
wine_ensure_display
STARTS=15
FIRST_PAINT="$4"
"$VELDIS_WINESERVER" -p 300 2>/dev/null || true  # fails only when one already runs

# start_ms EXE TITLE: milliseconds from one start to its first painted
# window, in `took`. A program that never paints (a crash, a box in the
# way) ends the bench rather than holding it for ever.
start_ms() {
    if ! took="$(cd "$(dirname "$1")" && "$FIRST_PAINT" "$2" "$VELDIS_WINE" "$1" 2>/dev/null)"; then
        echo "startup bench: $1 showed no painted window in 20 s" >&2
        exit 1
    fi
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

veldis=() minimal=()
for round in $(seq "$STARTS"); do
    if [ $((round % 2)) -eq 1 ]; then
        start_ms "$2" Veldis && veldis+=("$took")
        start_ms "$3" Minimal && minimal+=("$took")
    else
        start_ms "$3" Minimal && minimal+=("$took")
        start_ms "$2" Veldis && veldis+=("$took")
    fi
done
echo "ROW|start-up to the first painted banner|$(median "${veldis[@]}")|ms|a minimal Win32 window|$(median "${minimal[@]}")"
