#!/usr/bin/env bash
# image-bench.sh PREFIX BENCH_EXE: the image save and restore benchmarks on a
# 128 MiB FAT32 volume on a loop device (run as root), beside dd of the same
# device. Prints table rows.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../support/wine-env.sh"
source "$here/../support/fat-drives.sh"
wine_prepare "$1"
wine_ensure_display
fatdrive_begin "$1"
image="$(fatdrive_image x.img 131072 -F 32)"
fatdrive_map x hd "$image"
fatdrive_apply
device="$(losetup -j "$image" -O NAME -n)"
copy="$FATDRIVE_DIR/copy.img"
dd if="$device" of="$copy" bs=18432 status=none  # also brings the device into the page cache

# best_ms COMMAND...: the best of three runs, in milliseconds.
best_ms() {
    local best=999999999 start ms
    for _ in 1 2 3; do
        start=$(date +%s%N)
        "$@"
        ms=$((($(date +%s%N) - start) / 1000000))
        [ "$ms" -lt "$best" ] && best=$ms
    done
    echo "$best"
}
read_ms="$(best_ms dd if="$device" of=/dev/null bs=18432 status=none)"
write_ms="$(best_ms dd if="$copy" of="$device" bs=18432 conv=notrunc status=none)"
figures="$("$VELDIS_WINE" "$2" 7>&-)"
grep '^ROW|' <<< "$figures"
figure() { sed -n "s/^FIGURE|$1|//p" <<< "$figures"; }
printf 'ROW|image save, 128 MiB volume|%s|s|dd bs=18432 reading the device|%d.%03d\n' \
    "$(figure save)" $((read_ms / 1000)) $((read_ms % 1000))
printf 'ROW|image restore, 128 MiB volume|%s|s|dd bs=18432 writing the device|%d.%03d\n' \
    "$(figure restore)" $((write_ms / 1000)) $((write_ms % 1000))
