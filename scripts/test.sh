#!/usr/bin/env bash
# Builds the three presets and runs every suite (native, Win32 under Wine,
# end to end) in one CTest run, so one closing line reports them all.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in native win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
printf 'subdirs("native")\nsubdirs("win64")\n' > build/CTestTestfile.cmake
ctest --test-dir build --output-on-failure -j2
