#!/usr/bin/env bash
# find.sh PREFIX EXE: 検索 and 次を検索 on a FAT16 volume. Each match found is
# checked where it matters: a byte typed at the caret and written lands on
# the match's first byte of the device (cmp -l), and nothing else changes.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

MSG_NOT_FOUND="見つかりませんでした。"
WORD="検索表示"  # 表 is 95 5C in Shift-JIS: a backslash for code unaware of it

images="$FATDRIVE_DIR"
image="$images/d.img"
mkfs.fat -C -F 16 -s 4 -n FIND_16 "$image" 16384 >/dev/null
# The word three times, in three sectors of one file.
{
    head -c 100 /dev/zero | tr '\0' a; printf '%s' "$WORD"
    head -c 700 /dev/zero | tr '\0' b; printf '%s' "$WORD"
    head -c 700 /dev/zero | tr '\0' c; printf '%s' "$WORD"
} | iconv -f UTF-8 -t CP932 > "$images/word.txt"
MTOOLS_SKIP_CHECK=1 mcopy -i "$image" "$images/word.txt" ::/WORD.TXT
# Four bytes across the boundary of sectors 12000 and 12001, in free space.
ACROSS=$((12001 * 512 - 2))
printf '\x5a\xa5\xc3\x3c' | dd of="$image" bs=1 seek="$ACROSS" conv=notrunc status=none

# offsets BYTES: where BYTES (as printf takes them) lie in the image.
offsets() { LC_ALL=C grep -obUaF "$(printf "$1")" "$image" | cut -d: -f1; }
mapfile -t WORDS < <(offsets "$(printf '%s' "$WORD" | iconv -f UTF-8 -t CP932 | od -An -tx1 | sed 's/ /\\x/g')")
[ "${#WORDS[@]}" = 3 ] || fail "the word is on the volume ${#WORDS[@]} times"
# The first eight zero bytes lie in the boot sector: grep looks no further.
ZEROS="$(head -c 512 "$image" | LC_ALL=C grep -obUaP '\x00{8}' | awk -F: 'NR == 1 { print $1 }')"
[ -n "$ZEROS" ] || fail "no eight zero bytes in the boot sector"

fatdrive_map d hd "$image"
fatdrive_apply
e2e_install_copy "$images/program"
printf "${E2E_EDITOR_INI}OPTFLAG1=0\r\n" > "$images/program/veldis.INI"

# caret_at OFFSET KEYS: the caret's sector is shown; KEYS typed at the caret
# and written change the device at OFFSET alone.
caret_at() {
    local offset="$1" keys="$2"
    e2e_wait_title "$(e2e_title 3 $((offset / 512)))" 30 >/dev/null
    e2e_focus_main
    cp "$image" "$images/before"
    xdotool key --delay 100 $keys ctrl+w
    e2e_until 30 bash -c "! cmp -s '$images/before' '$image'" || true  # the write lands
    local changed
    changed="$({ cmp -l "$images/before" "$image" || true; } | tr -s ' ' | sed 's/^ //' | cut -d' ' -f1 | tr '\n' ' ')"
    [ "$changed" = "$((offset + 1)) " ] || fail "expected byte $offset changed alone, changed: $changed"
}

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
e2e_read_sector 3 d 0

e2e_find "$WORD" text down
e2e_wait_title "$(e2e_title 3 $((WORDS[0] / 512)))" 30 >/dev/null
e2e_focus_main
xdotool key F3
e2e_wait_title "$(e2e_title 3 $((WORDS[1] / 512)))" 30 >/dev/null
e2e_focus_main
xdotool key F3
caret_at "${WORDS[2]}" Z
echo "ok: Shift-JIS text as 文字列, then 次を検索 twice, each caret on the next word's first byte"

# From the last word, now written over, back to the one before it.
e2e_find "$WORD" text up
caret_at "${WORDS[1]}" Y
echo "ok: 上へ finds the word before the caret"

e2e_find "5A A5 C3 3C" hex down
caret_at "$ACROSS" "1 1"
echo "ok: a hex pattern across two sectors, shown in the first"

e2e_read_sector 3 d 0
xdotool key Home  # the caret keeps its place from sector to sector
e2e_find "0000000000000000" hex down
caret_at "$ZEROS" "E E"
echo "ok: eight zero bytes found at the first eight zeros, byte $ZEROS"

e2e_read_sector 3 d 0
boxes="$(e2e_box_count)"
e2e_find "de ad be ef 01 23 45 67 89" hex down
e2e_answer "$boxes" centre "$MSG_NOT_FOUND"
e2e_wait_title "$(e2e_title 3 0)" 20 >/dev/null
echo "ok: a pattern not on the drive says so; the sector shown stays"

# The medium loses its tail while the drive is shown.
truncate -s $((10000 * 512)) "$image"
losetup -c "$(losetup -j "$image" -O NAME -n)"
boxes="$(e2e_box_count)"
e2e_find "de ad be ef 01 23 45 67 89" hex down
e2e_answer "$boxes" centre "セクタ 10000 が読めないため、検索を中止しました。"
e2e_wait_title "$(e2e_title 3 0)" 20 >/dev/null
echo "ok: the first sector the search could not read is named; the sector shown stays"

[ "$(e2e_close)" = 0 ] || fail "exit code"
