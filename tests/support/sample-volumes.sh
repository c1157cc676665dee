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
