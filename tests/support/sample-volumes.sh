# Sourced: small FAT volumes with a few files and folders, one of them with a
# Japanese name, for the run command and the end-to-end tests.
#
#   sample_volume IMAGE fat12|fat16|fat32

sample_volume() {
    local image="$1" kind="$2" scratch
    rm -f "$image"
    case "$kind" in
        fat12) mkfs.fat -C -F 12 -n VELDIS_FD -i 12AB34CD "$image" 1440 ;;
        fat16) mkfs.fat -C -F 16 -s 4 -n VELDIS_16 -i 16AB34CD "$image" 32768 ;;
        fat32) mkfs.fat -C -F 32 -s 1 -n VELDIS_32 -i 32AB34CD "$image" 65536 ;;
    esac >/dev/null
    scratch="$(mktemp -d)"
    printf 'Veldis sample volume (%s).\r\n' "$kind" > "$scratch/readme.txt"
    printf 'メモ: これはサンプルです。\r\n' | iconv -f UTF-8 -t CP932 > "$scratch/memo.txt"
    printf "$(printf '\\%03o' $(seq 0 255))" > "$scratch/bytes.bin"
    (
        export MTOOLS_SKIP_CHECK=1 LC_ALL=C.UTF-8
        mcopy -i "$image" "$scratch/readme.txt" ::/README.TXT
        mmd -i "$image" ::/DATA ::/日本語フォルダ
        mcopy -i "$image" "$scratch/bytes.bin" ::/DATA/BYTES.BIN
        mcopy -i "$image" "$scratch/memo.txt" ::/日本語フォルダ/メモ.TXT
    )
    rm -rf "$scratch"
}

# sample_disk IMAGE: a whole 64 MiB disk, as a card or stick imaged with dd
# holds one: an MBR with a FAT16 primary partition and an extended one
# holding a FAT32 and a FAT12 logical partition, each with a file.
sample_disk() {
    local image="$1" start size kind label
    rm -f "$image"
    truncate -s 64M "$image"
    printf 'label: dos\nlabel-id: 0x56454c44\nsize=16M, type=6\ntype=5\nsize=36M, type=c\ntype=1\n' |
        sfdisk -q "$image"
    while read -r start size kind label; do
        # mkfs.fat warns that the file is larger than the volume, as it is.
        mkfs.fat -F "$kind" -n "$label" -i "${kind}AB${start: -4}" --offset "$start" "$image" \
            $((size / 2)) >/dev/null 2>&1
        printf 'Veldis sample partition %s.\r\n' "$label" |
            MTOOLS_SKIP_CHECK=1 mcopy -i "$image@@$((start * 512))" - ::/README.TXT
    done < <(sfdisk --dump "$image" | awk -F'[=,: ]+' '
        /start=/ { for (i = 1; i < NF; i++) { if ($i == "start") s = $(i+1); if ($i == "size") n = $(i+1); if ($i == "type") t = $(i+1) }
                   if (t == "6") print s, n, 16, "VELDIS_P1"; if (t == "c") print s, n, 32, "VELDIS_L5"; if (t == "1") print s, n, 12, "VELDIS_L6" }')
}
