#!/usr/bin/env bash
# startup-bench.sh PREFIX VELDIS_EXE MINIMAL_EXE: from the start of each
# program under Wine to its first painted window (blue where the banner or
# the fill begins), the median of several starts, the wineserver kept up.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../support/wine-env.sh"
wine_prepare "$1"
wine_ensure_display
STARTS=7
"$VELDIS_WINESERVER" -p 300

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

# median_start EXE TITLE: milliseconds, the median of STARTS starts.
median_start() {
    local times=() start pid
    for _ in $(seq "$STARTS"); do
        start=$(date +%s%N)
        (cd "$(dirname "$1")" && exec "$VELDIS_WINE" "$1") 2>/dev/null &
        pid=$!
        until painted "$2"; do sleep 0.01; done
        times+=($((($(date +%s%N) - start) / 1000000)))
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        while xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1; do sleep 0.1; done
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((STARTS + 1) / 2))p"
}

veldis="$(median_start "$2" Veldis)"
minimal="$(median_start "$3" Minimal)"
echo "ROW|start-up to the first painted banner|$veldis|ms|a minimal Win32 window|$minimal"
