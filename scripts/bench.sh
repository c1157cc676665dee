#!/usr/bin/env bash
# Builds and runs the benchmarks and prints one table: each figure beside its
# baseline from the same run, and their ratio. The native one runs without
# sanitizers, in a Release build of its own; the others under Wine; the image
# runs on a loop device (run as root).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >&2
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target veldis_sync_bench veldis_partition_bench veldis_search_bench -j2 >&2
cc -O2 -Wall -Wextra -Werror -o build/bench/first-paint tests/bench/first_paint.c -lX11 >&2
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target veldis veldis_paint_bench veldis_image_bench veldis_minimal_window >&2
prefix="$PWD/build/win64/wineprefix"
bench="$PWD/build/win64/tests/bench"

rows="$(
    build/bench/tests/bench/veldis_sync_bench --benchmark_format=csv 2>/dev/null |
        awk -F, '{gsub(/"/, "", $1)} $1 == "bareMemcmp" {bare = $3} $1 == "syncCompare" {sync = $3}
                 END {printf "ROW|syncBuffers(Compare), 18432 bytes|%.1f|ns|memcmp of the same bytes|%.1f\n", sync, bare}'
    build/bench/tests/bench/veldis_partition_bench --benchmark_format=csv 2>/dev/null |
        awk -F, '{gsub(/"/, "", $1); split($1, name, "/")}
                 name[1] == "partitionList" {list[name[2]] = $3}
                 name[1] == "sectorsOneByOne" {read[name[2]] = $3; sectors[name[2]] = $NF}
                 END {printf "ROW|partition list, GPT of 128 entries|%.1f|us|its %d sectors read one by one|%.1f\n",
                             list["gpt128"], sectors["gpt128"], read["gpt128"]
                      printf "ROW|partition list, MBR with 100 EBRs|%.1f|us|its %d sectors read one by one|%.1f\n",
                             list["chain100"], sectors["chain100"], read["chain100"]}'
    build/bench/tests/bench/veldis_search_bench --benchmark_format=csv 2>/dev/null |
        awk -F, '{gsub(/"/, "", $1)} $1 ~ /^search\// {cpu[substr($1, 8)] = $4}
                 END {printf "ROW|Find matcher, text in either case, zero bytes|%.2f|ms per 128 MiB (CPU)|the exact matcher, 16 bytes|%.2f\n", cpu["2/0"], cpu["0/0"]
                      printf "ROW|Find matcher, UTF-16 in either case, zero bytes|%.2f|ms per 128 MiB (CPU)|the exact matcher, 16 bytes|%.2f\n", cpu["3/0"], cpu["0/0"]
                      printf "ROW|Find matcher, text in either case, letters throughout|%.2f|ms per 128 MiB (CPU)|the exact matcher, the same text|%.2f\n", cpu["2/1"], cpu["1/1"]
                      printf "ROW|Find matcher, UTF-16 in either case, letters throughout|%.2f|ms per 128 MiB (CPU)|the exact matcher, the same text|%.2f\n", cpu["3/1"], cpu["1/1"]}'
    tests/support/wine-run.sh "$prefix" "$bench/veldis_paint_bench.exe" | grep '^ROW|'
    tests/bench/image-bench.sh "$prefix" "$bench/veldis_image_bench.exe" | grep '^ROW|'
    tests/bench/startup-bench.sh "$prefix" "$PWD/build/win64/veldis.exe" "$bench/veldis_minimal_window.exe" \
        "$PWD/build/bench/first-paint"
)"
awk -F'|' 'BEGIN {
        printf "| %s | %s | %s | %s |\n|---|---:|---|---:|\n", "measured", "figure", "baseline", "ratio"
    }
    {
        printf "| %s | %s %s | %s: %s %s | %.2f |\n", $2, $3, $4, $5, $6, $4, ($6 > 0 ? $3 / $6 : 0)
    }' <<< "$rows"
