#!/usr/bin/env bash
# package.sh PE32-IMPORTS: scripts/release.sh twice gives the same zip, which
# holds the PE32 and PE32+ exes (system DLLs only), the manual with every
# picture it shows, and the readme.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d /tmp/veldis-package-XXXXXX)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export VELDIS_BUILT=1
first="$(VELDIS_DIST="$work/1" "$root/scripts/release.sh" | tail -n 1)"
second="$(VELDIS_DIST="$work/2" "$root/scripts/release.sh" | tail -n 1)"
cmp "$first" "$second" || fail "two runs gave different zips"
echo "ok: two runs give the same $(basename "$first")"

name="$(basename "$first" .zip)"
pictures="$(sed -n 's/.*<img src="\(pictures\/[a-z-]*\.png\)".*/\1/p' "$root/docs/manual/VELDIS.HTM" | sort -u)"
expected="$( (printf '%s\n' README.TXT VELDIS.HTM x64/veldis.exe x86/veldis.exe; echo "$pictures") |
    sed "s|^|$name/|" | LC_ALL=C sort)"
listing="$(unzip -Z1 "$first" | LC_ALL=C sort)"
[ "$listing" = "$expected" ] || fail "the zip holds:"$'\n'"$listing"$'\n'"expected:"$'\n'"$expected"
echo "ok: the zip holds the two exes, the manual, its $(wc -l <<< "$pictures") pictures and the readme"

unzip -q "$first" -d "$work/unpacked"
"$root/tests/e2e/executables.sh" "$work/unpacked/$name/x64/veldis.exe" \
    "$work/unpacked/$name/x86/veldis.exe" "$1"
# A build stamps no link time, so building the same sources again gives the same exes.
for exe in x64 x86; do
    headers="$(x86_64-w64-mingw32-objdump -p "$work/unpacked/$name/$exe/veldis.exe")"
    grep -q '^Time/Date.*1970' <<< "$headers" || fail "$exe/veldis.exe carries its link time"
done
echo "ok: neither exe carries its link time"
