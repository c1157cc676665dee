#!/usr/bin/env bash
# Builds both Windows presets and packs dist/veldis-<version>.zip (or into
# VELDIS_DIST): the PE32 and PE32+ exes, the manual with its pictures and a
# short readme. The same inputs give the same zip bytes: fixed times, modes
# and order.
set -euo pipefail
cd "$(dirname "$0")/.."
# VELDIS_BUILT=1: the presets are built already (the test command's package check).
if [ -z "${VELDIS_BUILT:-}" ]; then
    scripts/setup.sh
    for preset in win64 win32; do
        cmake --preset "$preset" >/dev/null
        cmake --build --preset "$preset" --target veldis
    done
fi

# The version the About box shows.
version="$(sed -n 's/.*"VELDIS\.EXE Ver\. \([0-9.]*\)".*/\1/p' src/res/veldis.rc)"
[ -n "$version" ] || { echo "no version in src/res/veldis.rc" >&2; exit 1; }
name="veldis-$version"
dist="${VELDIS_DIST:-$PWD/dist}"
stage="$dist/$name"
rm -rf "$stage" "$dist/$name.zip"
mkdir -p "$stage/x86" "$stage/x64" "$stage/pictures"
cp build/win32/veldis.exe "$stage/x86/veldis.exe"
cp build/win64/veldis.exe "$stage/x64/veldis.exe"
cp docs/manual/VELDIS.HTM "$stage/VELDIS.HTM"
cp docs/manual/pictures/*.png "$stage/pictures/"
sed "s/@VERSION@/$version/" docs/release-readme.txt | iconv -f UTF-8 -t CP932 |
    sed 's/$/\r/' > "$stage/README.TXT"

find "$stage" -exec touch -h -d '2000-01-01 00:00:00 UTC' {} +
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
(cd "$dist" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q "$name.zip" -@)
rm -rf "$stage"
echo "$dist/$name.zip"
