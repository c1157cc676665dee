#!/usr/bin/env bash
# wine-run.sh PREFIX PROGRAM [ARGS...]: runs a Windows program under Wine in the
# test environment (the emulator CTest uses for the Win32 suites).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"
prefix="$1"
shift
wine_prepare "$prefix"
wine_ensure_display
exec "$VELDIS_WINE" "$@"
