#!/usr/bin/env bash
# image-bench.sh PREFIX BENCH_EXE: the image save benchmark on a 128 MiB FAT32
# volume on a loop device (run as root), beside dd of the same device.
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
dd if="$device" of=/dev/null bs=18432 status=none  # every pass reads from the page cache
start=$(date +%s%N)
dd if="$device" of=/dev/null bs=18432 status=none
ms=$((($(date +%s%N) - start) / 1000000))
printf 'dd bs=18432:      %d.%03d s\n' $((ms / 1000)) $((ms % 1000))
"$VELDIS_WINE" "$2" 7>&-
