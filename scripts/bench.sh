#!/usr/bin/env bash
# Builds and runs the benchmarks. The native one runs without sanitizers, in
# a Release build of its own; the paint benchmark runs under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target veldis_sync_bench -j2
build/bench/tests/bench/veldis_sync_bench
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target veldis_paint_bench
tests/support/wine-run.sh "$PWD/build/win64/wineprefix" build/win64/tests/bench/veldis_paint_bench.exe
cmake --build --preset win64 --target veldis_image_bench
tests/bench/image-bench.sh "$PWD/build/win64/wineprefix" "$PWD/build/win64/tests/bench/veldis_image_bench.exe"
