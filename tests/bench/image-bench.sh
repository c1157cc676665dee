#!/usr/bin/env bash
# image-bench.sh PREFIX BENCH_EXE: the image save and restore benchmarks on
# 128 MiB FAT32 volumes on loop devices (run as root), X: of 262144 sectors
# and Y: of 262139 (a prime), beside dd of the same device, and a Find through
# X: beside its reads alone. Prints table rows.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../support/wine-env.sh"
source "$here/../support/fat-drives.sh"
wine_prepare "$1"
wine_ensure_display
fatdrive_begin "$1"
image="$(fatdrive_image x.img 131072 -F 32)"
prime="$FATDRIVE_DIR/y.img"
truncate -s $((262139 * 512)) "$prime"
mkfs.fat -F 32 -g 1/1 "$prime" >/dev/null  # sized by the file, no track rounding: a prime count
fatdrive_map x hd "$image"
fatdrive_map y hd "$prime"
fatdrive_apply
device="$(losetup -j "$image" -O NAME -n)"
copy="$FATDRIVE_DIR/copy.img"
dd if="$device" of="$copy" bs=1M status=none  # also brings the device into the page cache
dd if="$(losetup -j "$prime" -O NAME -n)" of=/dev/null bs=1M status=none  # and this one

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
seconds() { printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)); }
mib_per_second() { echo $(($(stat -c %s "$image") * 1000 / $1 >> 20)); }  # of X: read in $1 ms
read_ms="$(best_ms dd if="$device" of="$copy" bs=1M status=none)"
drop_ms="$(best_ms dd if="$device" of=/dev/null bs=1M status=none)"
write_ms="$(best_ms dd if="$copy" of="$device" bs=1M conv=notrunc status=none)"
figures="$(VELDIS_BENCH_IMAGE="Z:${copy//\//\\}" "$VELDIS_WINE" "$2" 7>&-)"
figure() { sed -n "s/^FIGURE|$1|$2|//p" <<< "$figures" | cut -d'|' -f"$3"; }
printf 'ROW|image save, 128 MiB volume|%s|s|dd bs=1M from the device into a file|%s\n' \
    "$(figure X save 1)" "$(seconds "$read_ms")"
printf 'ROW|image restore, its write pass, 128 MiB volume|%s|s|dd bs=1M from the file onto the device|%s\n' \
    "$(figure X writes 1)" "$(seconds "$write_ms")"
printf 'ROW|image save, %s sectors (a prime)|%s|s|the same save of %s sectors|%s\n' \
    "$(figure Y sectors 1)" "$(figure Y save 1)" "$(figure X sectors 1)" "$(figure X save 1)"
printf 'ROW|image restore with its check, 128 MiB volume|%s|s|its write pass alone|%s\n' \
    "$(figure X restore 1)" "$(figure X writes 1)"
for run in "save reads|save" "restore writes|restore"; do
    printf 'ROW|device transfers per GiB, %s, prime count|%s||the same, 262144 sectors|%s\n' \
        "${run%|*}" "$(figure Y "${run#*|}" 2)" "$(figure X "${run#*|}" 2)"
done
printf 'ROW|held reads of run chunks, 128 MiB volume|%s|MiB/s|dd bs=1M from the device to nothing|%s\n' \
    "$(figure X reads 1)" "$(mib_per_second "$drop_ms")"
printf 'ROW|Find, 16 bytes not on the 128 MiB volume|%s|MiB/s|its held reads alone|%s\n' \
    "$(figure X search 1)" "$(figure X reads 1)"
printf 'ROW|first sector shown and painted, from an image file|%s|ms|from the drive of the same volume|%s\n' \
    "$(figure X open-image 1)" "$(figure X open-drive 1)"
