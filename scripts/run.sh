#!/usr/bin/env bash
# Builds veldis.exe and starts it under Wine (on an Xvfb screen when there is
# no display), in a Wine prefix of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target veldis
source tests/support/wine-env.sh
wine_prepare "$PWD/build/run/wineprefix"
wine_ensure_display
echo "Starting veldis.exe on display $DISPLAY"
exec "$VELDIS_WINE" build/win64/veldis.exe
