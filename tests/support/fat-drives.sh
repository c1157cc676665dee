# Sourced: FAT volumes made by mkfs.fat, mapped to Wine drive letters through
# loop devices, and released whatever happens to the caller.
#
#   fatdrive_begin PREFIX            scratch folder, cleanup trap
#   fatdrive_image NAME KIB [mkfs.fat options...]   prints the image path
#   fatdrive_map LETTER TYPE [IMAGE] x: -> empty folder, x:: -> loop device
#   fatdrive_map_failing LETTER TYPE IMAGE   the same through a failing medium:
#                                    reads fail on the sectors IMAGE.bad lists
#   fatdrive_failing_volume NAME SINGLES     a 128 MiB FAT32 volume full of data,
#                                    a dead stretch and SINGLES bad sectors listed
#   fatdrive_apply                   drive types to the registry, server restart
#   fatdrive_end                     (also run by the trap)
#
# TYPE is what HKLM\Software\Wine\Drives takes: floppy, hd, cdrom, network, ramdisk.

FATDRIVE_LOOPS=()
FATDRIVE_LETTERS=()
FATDRIVE_TYPES=()
FATDRIVE_MOUNTS=()
FATDRIVE_SUPPORT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# A run holds the lock of its scratch folder while it lives; a folder whose
# lock is free was left by a run that was killed before its trap ran.
fatdrive_sweep_stale() {
    local dir image
    for dir in /tmp/veldis-drives-*; do
        [ -d "$dir" ] && [ "$dir" != "$FATDRIVE_DIR" ] || continue
        flock -n "$dir/owner.lock" true 2>/dev/null || continue
        for image in "$dir"/*.img "$dir"/failing-*/*.img; do
            losetup -j "$image" -O NAME -n 2>/dev/null | xargs -r -n1 losetup -d 2>/dev/null || true
        done
        for image in "$dir"/failing-*; do umount -l "$image" 2>/dev/null || true; done
        rm -rf "$dir"
    done
}

fatdrive_begin() {
    FATDRIVE_PREFIX="$1"
    FATDRIVE_DIR="$(mktemp -d /tmp/veldis-drives-XXXXXX)"
    exec 7>"$FATDRIVE_DIR/owner.lock"
    flock 7
    fatdrive_sweep_stale
    trap fatdrive_end EXIT
    trap 'exit 130' INT TERM HUP
}

fatdrive_image() {
    local image="$FATDRIVE_DIR/$1" kib="$2"
    shift 2
    # A refused format must not pass for a volume: the caller's $(...) sees this status.
    mkfs.fat -C "$@" "$image" "$kib" >/dev/null || return 1
    echo "$image"
}

fatdrive_map() {
    local letter="$1" type="$2" image="${3:-}" dev="$FATDRIVE_PREFIX/dosdevices"
    mkdir -p "$FATDRIVE_DIR/root-$letter"
    ln -sfn "$FATDRIVE_DIR/root-$letter" "$dev/$letter:"
    if [ -n "$image" ]; then
        local loop
        loop="$(losetup -f --show "$image")"
        FATDRIVE_LOOPS+=("$loop")
        ln -sfn "$loop" "$dev/$letter::"
    fi
    FATDRIVE_LETTERS+=("$letter")
    FATDRIVE_TYPES+=("$type")
}

# The dead stretch is sectors 100000 to 101999; the bad sectors alone are
# spread from 4099 on, none of them in it.
fatdrive_failing_volume() {
    local image
    image="$(fatdrive_image "$1" 131072 -F 32)" || return 1
    head -c 120M /dev/urandom > "$FATDRIVE_DIR/full.bin"
    MTOOLS_SKIP_CHECK=1 mcopy -i "$image" "$FATDRIVE_DIR/full.bin" ::/FULL.BIN
    rm "$FATDRIVE_DIR/full.bin"
    {
        echo "100000 2000"
        for k in $(seq 0 $(($2 - 1))); do echo "$((4099 + k * (250000 / $2)))"; done
    } > "$image.bad"
    echo "$image"
}

# Wine reads a loop device through the page cache, where one failed sector
# fails its whole page and the reads ahead of it, and finds a device's end by
# reading (it answers no length): Wine's drive is the FUSE file itself, which
# it reads with the program's own offsets and sizes. The loop device, doing
# direct I/O, is the same medium for readers outside Wine (ddrescue -d).
fatdrive_map_failing() {
    local letter="$1" type="$2" image="$3" mount="$FATDRIVE_DIR/failing-$1" loop
    mkdir -p "$mount"
    /usr/bin/python3 "$FATDRIVE_SUPPORT/failing_device.py" "$mount" "$image" \
        >"$FATDRIVE_DIR/failing-$1.log" 2>&1 7>&- &
    FATDRIVE_MOUNTS+=("$mount")
    for _ in $(seq 100); do
        [ -e "$mount/$(basename "$image")" ] && break
        sleep 0.1
    done
    loop="$(losetup -f --show -r --direct-io=on "$mount/$(basename "$image")")"
    FATDRIVE_LOOPS+=("$loop")
    mkdir -p "$FATDRIVE_DIR/root-$letter"
    ln -sfn "$FATDRIVE_DIR/root-$letter" "$FATDRIVE_PREFIX/dosdevices/$letter:"
    ln -sfn "$mount/$(basename "$image")" "$FATDRIVE_PREFIX/dosdevices/$letter::"
    FATDRIVE_LETTERS+=("$letter")
    FATDRIVE_TYPES+=("$type")
    FATDRIVE_LAST_LOOP="$loop"
}

fatdrive_apply() {
    local reg="$FATDRIVE_DIR/drives.reg" i
    {
        printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n'
        for i in "${!FATDRIVE_LETTERS[@]}"; do
            printf '"%s:"="%s"\r\n' "${FATDRIVE_LETTERS[$i]}" "${FATDRIVE_TYPES[$i]}"
        done
    } > "$reg"
    # The wineserver outlives this run: it must not hold the owner lock.
    "$VELDIS_WINE" regedit /S "$reg" >/dev/null 2>&1 7>&-
    "$VELDIS_WINESERVER" -k 2>/dev/null 7>&- || true
    "$VELDIS_WINESERVER" -w 2>/dev/null 7>&- || true
}

fatdrive_end() {
    local letter loop mount dev="$FATDRIVE_PREFIX/dosdevices"
    "$VELDIS_WINESERVER" -k 2>/dev/null || true
    for letter in "${FATDRIVE_LETTERS[@]}"; do
        rm -f "$dev/$letter:" "$dev/$letter::"
    done
    for loop in "${FATDRIVE_LOOPS[@]}"; do
        losetup -d "$loop" 2>/dev/null || true
    done
    for mount in "${FATDRIVE_MOUNTS[@]}"; do
        umount "$mount" 2>/dev/null || umount -l "$mount" 2>/dev/null || true
    done
    FATDRIVE_LOOPS=()
    FATDRIVE_MOUNTS=()
    FATDRIVE_LETTERS=()
    [ -n "${FATDRIVE_DIR:-}" ] && rm -rf "$FATDRIVE_DIR"
    FATDRIVE_DIR=
}
