#!/usr/bin/env bash
# scripts/run.sh [IMAGE-OR-DEVICE ...]
#
# Builds veldis.exe with the manual beside it (F1) and starts it under Wine. The drives are sample volumes
# made at first use (A: a 1.44 MB FAT12 floppy, D: FAT16, E: FAT32, F: a whole
# disk with three partitions), or the image files and block devices named
# here: floppy-sized images become A: and B:, everything else D:, E:, ... A
# whole disk (an image of a card, /dev/sdb) mapped so opens with its
# partitions. With no display it runs on an Xvfb screen,
# saves a screenshot to build/run/screenshot.png and ends.
# Drives are mapped through loop devices: run it as root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target veldis veldis_manual  # F1 opens the manual beside the exe
source tests/support/wine-env.sh
source tests/support/fat-drives.sh
source tests/support/sample-volumes.sh

prefix="$PWD/build/run/wineprefix"
samples="$PWD/build/run/drives"
headless=
[ -n "${DISPLAY:-}" ] || headless=1
wine_prepare "$prefix"
wine_browser "$prefix" netsurf
wine_ensure_display
fatdrive_begin "$prefix"

if [ $# -eq 0 ]; then
    mkdir -p "$samples"
    [ -f "$samples/a.img" ] || sample_volume "$samples/a.img" fat12
    [ -f "$samples/d.img" ] || sample_volume "$samples/d.img" fat16
    [ -f "$samples/e.img" ] || sample_volume "$samples/e.img" fat32
    [ -f "$samples/f.img" ] || sample_disk "$samples/f.img"
    set -- "$samples/a.img" "$samples/d.img" "$samples/e.img" "$samples/f.img"
fi
floppies=(a b)
disks=(d e f g h i j k l m n o p q r s t u v w x y)
for drive in "$@"; do
    size="$(blockdev --getsize64 "$drive" 2>/dev/null || stat -c %s "$drive")"
    if [ ! -b "$drive" ] && [ "$size" -le 2949120 ] && [ ${#floppies[@]} -gt 0 ]; then
        fatdrive_map "${floppies[0]}" floppy "$drive"
        echo "${floppies[0]^^}: $drive (floppy)"
        floppies=("${floppies[@]:1}")
    else
        fatdrive_map "${disks[0]}" hd "$drive"
        echo "${disks[0]^^}: $drive (hard disk)"
        disks=("${disks[@]:1}")
    fi
done
fatdrive_apply

if [ -z "$headless" ]; then
    "$VELDIS_WINE" build/win64/veldis.exe 7>&-
    exit 0
fi
echo "No display: running on Xvfb $DISPLAY"
"$VELDIS_WINE" build/win64/veldis.exe 7>&- &
for _ in $(seq 100); do
    xdotool search --name '^Veldis$' >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 2
import -window root build/run/screenshot.png
echo "Screenshot: build/run/screenshot.png"
