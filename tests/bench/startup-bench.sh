#!/usr/bin/env bash
# startup-bench.sh PREFIX VELDIS_EXE MINIMAL_EXE: from the start of each
# program under Wine to its first painted window (blue where the banner or
# the fill begins), the median of several starts, the wineserver kept up.
# The two programs start in turns, in the other order each round: a start
# costs about as much as the machine's other work lets it, and a drift in
# that work would otherwise fall on one program's starts only.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../support/wine-env.sh"
wine_prepare "$1"
wine_ensure_display
STARTS=15
"$VELDIS_WINESERVER" -p 300 2>/dev/null || true  # fails only when one already runs

# painted TITLE: the window so titled is up and blue a quarter down its middle.
painted() {
    local id colour
    id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)" || return 1
    [ -n "$id" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || return 1
    colour="$(import -window "$id" -crop "1x1+$((WIDTH / 2))+$((HEIGHT / 4))" -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p')"
    read -r red green blue <<< "$colour"
    [ -n "${blue:-}" ] && [ "$red" -lt 60 ] && [ "$green" -lt 60 ] && [ "$blue" -gt 100 ]
}

# start_ms EXE TITLE: milliseconds from one start to its first painted
# window, in `took`. A program that never paints (a crash, a box in the
# way) ends the bench rather than holding it for ever.
start_ms() {
    local start pid
    start=$(date +%s%N)
    (cd "$(dirname "$1")" && exec "$VELDIS_WINE" "$1") 2>/dev/null &
    pid=$!
    until painted "$2"; do
        if [ $(($(date +%s%N) - start)) -gt 20000000000 ]; then
            kill "$pid" 2>/dev/null || true
            echo "startup bench: $1 showed no painted window in 20 s" >&2
            exit 1
        fi
        sleep 0.01
    done
    took=$((($(date +%s%N) - start) / 1000000))
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    while xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1; do sleep 0.1; done
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
