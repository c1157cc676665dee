#!/usr/bin/env bash
# image-bench.sh PREFIX BENCH_EXE: the image save and restore benchmarks on
# 128 MiB FAT32 volumes on loop devices (run as root), X: of 262144 sectors
# and Y: of 262139 (a prime), beside dd of the same device, and a Find through
# X: beside its reads alone, the Finds of text in either case and of UTF-16
# beside the exact one; a 64 MiB file saved from the FAT32 volume W:
# beside mcopy's copy of it; the checksums of X: beside sha256sum of its
# device; the save of F:, a 128 MiB volume failing at chosen sectors,
# beside ddrescue -d -r1 of the same medium, with the same bytes and map. The
# program's runs and dd's take turns, seven rounds after one not
# timed, and each row gives their median. Prints table rows.
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
# W: a FAT32 volume holding one 64 MiB file, saved as a file beside mcopy's
# copy of it from the same device.
files="$(fatdrive_image w.img 98304 -F 32)"
head -c 64M /dev/urandom > "$FATDRIVE_DIR/big.bin"
MTOOLS_SKIP_CHECK=1 mcopy -i "$files" "$FATDRIVE_DIR/big.bin" ::/BIG.BIN
# F: a FAT32 volume full of data whose reads fail on a dead stretch of 2,000
# sectors and on 50 bad sectors alone.
failing="$(fatdrive_failing_volume f.img 50)"
fatdrive_map_failing f hd "$failing"
failing_device="$FATDRIVE_LAST_LOOP"
failing_file="$FATDRIVE_DIR/failing-f/f.img"  # what Wine reads as F:
fatdrive_map x hd "$image"
fatdrive_map y hd "$prime"
fatdrive_map w hd "$files"
fatdrive_apply
device="$(losetup -j "$image" -O NAME -n)"
prime_device="$(losetup -j "$prime" -O NAME -n)"
files_device="$(losetup -j "$files" -O NAME -n)"
copy="$FATDRIVE_DIR/copy.img"
ROUNDS=7

# Linux drops a block device's page cache when its last opener closes it, so
# each run, the program's or dd's, would start from a cold device, read
# through the loop device's worker from its backing file, at a speed the
# machine's load decides. Held open here, the devices stay warm throughout.
exec {hold_x}<"$device" {hold_y}<"$prime_device" {hold_w}<"$files_device"

# The program stays up beside this script and answers one line per command
# (see image_bench_win32.cpp), so its runs and dd's take turns on the same
# warm caches, and no run of it pays for a fresh process.
coproc BENCH { VELDIS_BENCH_IMAGE="Z:${copy//\//\\}" "$VELDIS_WINE" "$2"; } 7>&- {hold_x}<&- {hold_y}<&- {hold_w}<&-
bench_pid=$BENCH_PID bench_out=${BENCH[0]} bench_in=${BENCH[1]}

# ask COMMAND: the program's answer, its fields in `answer`.
ask() {
    printf '%s\n' "$1" >&"$bench_in"
    local line
    IFS= read -r -t 600 -u "$bench_out" line || { echo "image bench: no answer to $1" >&2; exit 1; }
    IFS='|' read -r -a answer <<< "${line%$'\r'}"  # the C runtime ends its lines in CR LF
    [ "${answer[0]}" = "${1%% *}" ] || { echo "image bench: $1: ${answer[*]}" >&2; exit 1; }
}

# Each timed step starts with nothing left to write back: the file the step
# before wrote would otherwise go to the disk while this one runs, and slow
# whichever step came second.
settle() { sync; }

# timed_dd dd-ARGUMENTS...: microseconds, in `took`.
timed_dd() {
    local start
    start=$(date +%s%N)
    dd "$@" bs=1M status=none
    took=$((($(date +%s%N) - start) / 1000))
}

declare -A runs count sectors
# median NAME: the middle of the step's runs. Not their best: a run's time
# comes in two clusters, as the disk takes the file's write-back started at
# its close quickly or not, and the best of a few runs falls in either.
median() { tr ' ' '\n' <<< "${runs[$1]}" | sort -n | awk 'NF {a[++n] = $1} END {print a[int((n + 1) / 2)]}'; }

# step NAME: one run of a measured step, its figures kept.
step() {
    # Each save writes a new file (see image_bench_win32.cpp). Wine creates
    # the program's file and then cuts it to nothing, and ext4 starts writing
    # a file so cut to the disk when it is closed, inside the timing; dd's
    # open cuts a file of one byte in the same way.
    case "$1" in
    dd-read)
        rm -f "$copy"
        printf x > "$copy"
        ;;
    save-? | file-?) ask "clear ${1#*-}" ;;
    mcopy-W) rm -f "$mcopied" ;;  # a new file, as the program's save writes
    ddrescue-F | ddloop-F) rm -f "$rescued" "$rescued.map" ;;
    esac
    settle
    case "$1" in
    dd-read) timed_dd if="$device" of="$copy" ;;
    dd-drop) timed_dd if="$device" of=/dev/null ;;
    dd-write) timed_dd if="$copy" of="$device" conv=notrunc ;;
    mcopy-W)
        local start
        start=$(date +%s%N)
        MTOOLS_SKIP_CHECK=1 mcopy -i "$files_device" ::/BIG.BIN "$mcopied" 2>/dev/null  # it finds no geometry of a loop device
        took=$((($(date +%s%N) - start) / 1000))
        ;;
    ddrescue-F | ddloop-F)
        local start source="$failing_file"
        [ "$1" = ddrescue-F ] || source="$failing_device"
        start=$(date +%s%N)
        ddrescue -q -d -r1 "$source" "$rescued" "$rescued.map"
        took=$((($(date +%s%N) - start) / 1000))
        ;;
    sha256sum-X)
        local start
        start=$(date +%s%N)
        sha256sum "$device" > "$FATDRIVE_DIR/sha256sum"
        took=$((($(date +%s%N) - start) / 1000))
        ;;
    *)
        ask "${1/-/ }"
        took="${answer[2]}"
        count[$1]="${answer[3]}"
        sectors[${answer[1]}]="${answer[4]:-}"
        [ "$1" != checksum-X ] || sha256="${answer[5]}"
        ;;
    esac
    runs[$1]+="$took "
}

# A first pass, not timed, brings in the page cache of both devices and of
# the files, the server and the DLLs, and opens each drive once through
# Wine; its restore of Y: is there for its transfer count alone. Then each
# round takes every step, in the other order each round.
steps=(dd-read save-X save-Y dd-write writes-X restore-X dd-drop file-W mcopy-W checksum-X
       sha256sum-X save-F ddrescue-F ddloop-F)
dd if="$prime_device" of=/dev/null bs=1M status=none
# mcopy writes beside the program's saved file: the same file system takes both.
ask "file W"
saved="$(find "$1/drive_c" -name veldis-bench-W.bin | head -n 1)"
[ -n "$saved" ] || { echo "image bench: the file saved from W: is not in the prefix" >&2; exit 1; }
mcopied="$(dirname "$saved")/veldis-bench-mcopy.bin"
rescued="$(dirname "$saved")/veldis-bench-ddrescue.img"  # beside the program's image of F:
for name in "${steps[@]}" restore-Y; do step "$name"; done
runs=()
for round in $(seq "$ROUNDS"); do
    if [ $((round % 2)) -eq 1 ]; then
        for ((k = 0; k < ${#steps[@]}; k++)); do step "${steps[$k]}"; done
    else
        for ((k = ${#steps[@]} - 1; k >= 0; k--)); do step "${steps[$k]}"; done
    fi
done
settle
cmp "$saved" "$mcopied" || { echo "image bench: the file saved from W: is not mcopy's copy" >&2; exit 1; }
rm -f "$mcopied"
ask "clear W"
# The figure is of the bytes and the map ddrescue gives, or of none.
cmp "$(dirname "$saved")/veldis-bench-F.img" "$rescued" ||
    { echo "image bench: F:'s image is not ddrescue's" >&2; exit 1; }
[ "$(ddrescuelog -l- "$(dirname "$saved")/veldis-bench-F.img.map")" = "$(ddrescuelog -l- "$rescued.map")" ] ||
    { echo "image bench: F:'s map lists other bad sectors than ddrescue's" >&2; exit 1; }
rm -f "$rescued" "$rescued.map"
# The figure is of the sums as sha256sum takes them, or of none.
[ "$sha256" = "$(cut -d' ' -f1 "$FATDRIVE_DIR/sha256sum")" ] ||
    { echo "image bench: the SHA-256 of X: is not sha256sum's" >&2; exit 1; }
ask "parts X"
parts=("${answer[@]}")
ask "search X"
search=("${answer[@]}")
ask "open X"
opening=("${answer[@]}")
exec {bench_in}>&- {hold_x}<&- {hold_y}<&- {hold_w}<&-
wait "$bench_pid"
declare -A middle
for name in "${steps[@]}"; do middle[$name]="$(median "$name")"; done

seconds() { printf '%d.%03d' $(($1 / 1000000)) $(($1 / 1000 % 1000)); }
mib_per_second() { echo $(($(stat -c %s "$image") * 1000000 / $1 >> 20)); }  # of X: read in $1 us
printf 'ROW|image save, 128 MiB volume|%s|s|dd bs=1M from the device into a file|%s\n' \
    "$(seconds "${middle[save-X]}")" "$(seconds "${middle[dd-read]}")"
printf 'ROW|image restore, its write pass, 128 MiB volume|%s|s|dd bs=1M from the file onto the device|%s\n' \
    "$(seconds "${middle[writes-X]}")" "$(seconds "${middle[dd-write]}")"
printf 'ROW|image save, %s sectors (a prime)|%s|s|the same save of %s sectors|%s\n' \
    "${sectors[Y]}" "$(seconds "${middle[save-Y]}")" "${sectors[X]}" "$(seconds "${middle[save-X]}")"
printf 'ROW|image restore with its check, 128 MiB volume|%s|s|its write pass alone|%s\n' \
    "$(seconds "${middle[restore-X]}")" "$(seconds "${middle[writes-X]}")"
for run in "save reads|save" "restore writes|restore"; do
    printf 'ROW|device transfers per GiB, %s, prime count|%s||the same, 262144 sectors|%s\n' \
        "${run%|*}" "${count[${run#*|}-Y]}" "${count[${run#*|}-X]}"
done
printf 'ROW|file save, 64 MiB from a FAT32 volume|%s|s|mcopy of the same file from the device|%s\n' \
    "$(seconds "${middle[file-W]}")" "$(seconds "${middle[mcopy-W]}")"
printf 'ROW|held reads of run chunks, 128 MiB volume|%s|MiB/s|dd bs=1M from the device to nothing|%s\n' \
    "${search[2]}" "$(mib_per_second "${middle[dd-drop]}")"
printf 'ROW|Find, 16 bytes not on the 128 MiB volume|%s|MiB/s|its held reads alone|%s\n' \
    "${search[3]}" "${search[2]}"
printf 'ROW|Find, a text of 16 letters and spaces in either case, not on the volume|%s|MiB/s|the exact Find of 16 bytes|%s\n' \
    "${search[4]}" "${search[3]}"
printf 'ROW|Find, 8 letters as UTF-16 in either case, not on the volume|%s|MiB/s|the exact Find of 16 bytes|%s\n' \
    "${search[5]}" "${search[3]}"
printf 'ROW|checksums of a 128 MiB volume: CRC-32, MD5, SHA-1 and SHA-256 in one pass|%s|s|sha256sum of the device|%s\n' \
    "$(seconds "${middle[checksum-X]}")" "$(seconds "${middle[sha256sum-X]}")"
printf 'ROW|SHA-256 through CryptoAPI alone, 128 MiB in memory|%s|MiB/s|sha256sum of the device|%s\n' \
    "${parts[6]}" "$(mib_per_second "${middle[sha256sum-X]}")"
# Where the checksums' time goes, each part alone (not a row: no baseline).
printf 'PARTS|held reads %s, CRC-32 %s, MD5 %s, SHA-1 %s, SHA-256 %s MiB/s\n' \
    "${parts[2]}" "${parts[3]}" "${parts[4]}" "${parts[5]}" "${parts[6]}"
printf 'ROW|image save of a failing 128 MiB volume: 2,000 dead sectors and 50 bad ones alone, one retry|%s|s|ddrescue -d -r1 of the same medium|%s\n' \
    "$(seconds "${middle[save-F]}")" "$(seconds "${middle[ddrescue-F]}")"
# The same ddrescue through the loop device, which adds a hop (not a row:
# the program cannot read that device sector by sector under Wine).
printf 'NOTE|ddrescue -d -r1 of the failing volume through its loop device: %s s\n' \
    "$(seconds "${middle[ddloop-F]}")"
printf 'ROW|first sector shown and painted, from an image file|%s|ms|from the drive of the same volume|%s\n' \
    "${opening[3]}" "${opening[2]}"
