#!/usr/bin/env bash
# with-fat-drives.sh PREFIX [LETTER=TYPE[:KIB[:MKFS OPTIONS|raw]] ...] -- PROGRAM [ARGS...]
#
# Runs a Windows program under Wine with fresh FAT volumes as drive letters
# ("raw": a sparse image of that size, no file system).
# The path of each drive's image is passed on as VELDIS_IMAGE_<LETTER>.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"
source "$here/fat-drives.sh"
prefix="$1"
shift
wine_prepare "$prefix"
wine_ensure_display
fatdrive_begin "$prefix"
while [ "$1" != "--" ]; do
    letter="${1%%=*}"
    IFS=: read -r type kib options <<< "${1#*=}"
    image=
    if [ -n "$kib" ]; then
        if [ "$options" = raw ]; then
            image="$FATDRIVE_DIR/$letter.img"
            truncate -s "${kib}K" "$image"
        else
            # shellcheck disable=SC2086  # the options are words for mkfs.fat
            image="$(fatdrive_image "$letter.img" "$kib" $options)"
        fi
        export "VELDIS_IMAGE_${letter^^}=$image"
    fi
    fatdrive_map "$letter" "$type" "$image"
    shift
done
shift
fatdrive_apply
status=0
"$VELDIS_WINE" "$@" 7>&- || status=$?
exit "$status"
