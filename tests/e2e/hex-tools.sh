#!/usr/bin/env bash
# hex-tools.sh PREFIX EXE: what every hex editor has, on a floppy as A:.
# 指定位置へ移動 to 0x4400 shows sector 34 at offset 0; bytes selected there
# and copied as hex are `xxd -p` of them (X's clipboard, which Wine fills);
# pasted into sector 40 and written, they land there alone (cmp); the data
# inspector reads a planted value as Python's struct does; a UTF-16 search
# finds the long file name mcopy wrote; the SHA-256 of a sector range is
# sha256sum of the same sectors read with dd.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"
export MTOOLS_SKIP_CHECK=1
E2E_TRACE=trace+listview,trace+win

images="$FATDRIVE_DIR"
image="$images/a.img"
# A long name is stored in runs of 5, 6 and 2 characters; the search finds
# text inside one run, here the second.
LONG_NAME="Veldis検索表示.txt"
mkfs.fat -C -n HEX_TOOLS "$image" 1440 >/dev/null
printf 'Veldis\r\n' > "$images/text"
LC_ALL=C.UTF-8 mcopy -i "$image" "$images/text" "::/$LONG_NAME"
# Sectors 34 to 40 lie in free clusters: random bytes, and at 0x4420 a value
# whose signed readings are negative.
head -c $((7 * 512)) /dev/urandom | dd of="$image" bs=512 seek=34 conv=notrunc status=none
PLANTED=$((0x4420))
printf '\xf0\xde\xbc\x9a\x78\x56\x34\x92' | dd of="$image" bs=1 seek="$PLANTED" conv=notrunc status=none

fatdrive_map a floppy "$image"
fatdrive_apply
e2e_install_copy "$images/program"
printf "${E2E_EDITOR_INI}OPTFLAG1=0\r\n" > "$images/program/veldis.INI"

# status_part0: the status bar's first part as last set, in UTF-8.
status_part0() { printf '%b' "$(status_text)" | iconv -f CP932 -t UTF-8; }
status_is() { [ "$(status_part0)" = "$1" ]; }
wait_status() { e2e_until 30 status_is "$1" || fail "the status bar reads '$(status_part0)', not '$1'"; }

# go_to TEXT: 指定位置へ移動 with TEXT as a byte position.
go_to() {
    local dialog
    dialog="$(e2e_typed_dialog ctrl+g '指定位置へ移動' "$1")"
    xdotool key --window "$dialog" Return
    e2e_until 30 window_gone "$dialog" || fail "the go-to dialog stayed open for '$1'"
}

# clipboard: the text Wine put on X's clipboard.
clipboard() { timeout 10 xclip -o -selection clipboard; }

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
e2e_read_sector 0 a 0

# Go to a byte position in hexadecimal.
go_to 0x4400
e2e_wait_title "$(e2e_title 0 34)" 30 >/dev/null
wait_status "ｵﾌｾｯﾄ 0000 上位"
echo "ok: 指定位置へ移動 0x4400 shows sector 34 with the caret at offset 0"

# Two lines and four bytes selected with Shift, copied as hex.
e2e_focus_main
xdotool key --delay 80 shift+Down shift+Down shift+Right shift+Right shift+Right shift+Right
wait_status "選択 0000-0024 37 ﾊﾞｲﾄ"
xdotool key ctrl+c
expected="$(xxd -p -s $((0x4400)) -l 37 "$image" | tr -d '\n')"
copied() { [ "$(clipboard | tr -d ' \r\n' | tr 'A-F' 'a-f')" = "$expected" ]; }
e2e_until 30 copied || fail "the hex copied is '$(clipboard)', not xxd's $expected"
echo "ok: 37 bytes selected with Shift and copied as hex are xxd -p of them"

# Pasted at byte 5 of sector 40 and written: those bytes change, no other.
go_to 0x5005
e2e_wait_title "$(e2e_title 0 40)" 30 >/dev/null
cp "$image" "$images/before"
e2e_focus_main
xdotool key ctrl+v
wait_status "選択 0005-0029 37 ﾊﾞｲﾄ"
xdotool key ctrl+w
e2e_until 30 bash -c "! cmp -s '$images/before' '$image'" || fail "the pasted bytes were not written"
python3 - "$images/before" "$image" <<'EOF' || fail "the paste changed more or other bytes than the 37 copied"
import sys
before, after = (open(p, 'rb').read() for p in sys.argv[1:])
at = 0x5005
expected = before[:at] + before[0x4400:0x4400 + 37] + before[at + 37:]
sys.exit(after != expected)
EOF
echo "ok: the hex pasted at byte 5 of sector 40 and written changed those 37 bytes alone"

# The inspector's values at the planted bytes, as Python's struct reads them.
mark
go_to "$PLANTED"
e2e_wait_title "$(e2e_title 0 34)" 30 >/dev/null
wait_status "ｵﾌｾｯﾄ 0020 上位"
e2e_focus_main
xdotool key alt+v r
e2e_wait_window 'データインスペクタ' 30 >/dev/null
python3 - "$image" "$PLANTED" > "$images/values" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()[int(sys.argv[2]):][:8]
for n, code in ((1, 'b'), (2, 'h'), (4, 'i'), (8, 'q')):
    for order in ('<', '>') if n > 1 else ('<',):
        print(struct.unpack(order + code.upper(), data[:n])[0])
        print(struct.unpack(order + code, data[:n])[0])
EOF
# The first fourteen rows: 8 to 64 bits, unsigned then signed, LE then BE.
inspected() { view_table | awk -F'|' '$1 < 14 { print $3 }'; }
inspector_reads() { [ "$(inspected)" = "$(cat "$images/values")" ]; }
e2e_until 30 inspector_reads ||
    fail "the inspector reads $(inspected | tr '\n' ' '), struct $(tr '\n' ' ' < "$images/values")"
echo "ok: the inspector's 8- to 64-bit readings of the planted value are struct's"
e2e_focus_main
xdotool key alt+v r  # closed again

# A UTF-16 search from sector 0 finds the long name in the root directory.
go_to 0
e2e_wait_title "$(e2e_title 0 0)" 30 >/dev/null
e2e_find "検索表示" utf16 down
root="$(layout "$image"; echo "$DIR")"
e2e_wait_title "$(e2e_title 0 "$root")" 30 >/dev/null
echo "ok: a UTF-16 search finds the long name mcopy wrote in the root directory"

# The sums of A:'s FAT area, copied from the checksum dialog, check out with
# sha256sum -c and md5sum -c against dd's copy of sectors 1 to 9.
CHECKSUM_W=300 CHECKSUM_H=249
e2e_focus_main
xdotool key alt+f h
dialog="$(e2e_wait_window 'チェックサム' 30)"
dialog_click "$dialog" $CHECKSUM_W $CHECKSUM_H 228 69                            # ﾄﾞﾗｲﾌﾞの範囲
dialog_click_heard "$dialog" $CHECKSUM_W $CHECKSUM_H 150 29 "$E2E_LIST_DROPPED"  # the range list
xdotool key --delay 100 Home Down Down Return                                  # ＦＡＴ領域
dialog_click "$dialog" $CHECKSUM_W $CHECKSUM_H 159 235                           # 計算
summed() { clipboard | grep -q '  A_1-9\.bin'; }
for _ in $(seq 30); do
    dialog_click "$dialog" $CHECKSUM_W $CHECKSUM_H 213 235                       # ｺﾋﾟｰ
    e2e_until 2 summed && break
done
summed || fail "the checksum dialog copied no sums of A_1-9.bin: '$(clipboard)'"
clipboard | tr -d '\r' > "$images/sums"
dd if="$image" of="$images/A_1-9.bin" bs=512 skip=1 count=9 status=none
(cd "$images" && sha256sum -c --status sums 2>/dev/null) || fail "sha256sum -c disagrees: $(cat "$images/sums")"
grep -A1 '^# MD5' "$images/sums" | tail -n 1 > "$images/md5"
(cd "$images" && md5sum -c --status md5) || fail "md5sum -c disagrees: $(cat "$images/md5")"
echo "ok: the FAT area's SHA-256 and MD5, copied from the checksum dialog, pass sha256sum -c and md5sum -c"
dialog_leave "$dialog" $CHECKSUM_W $CHECKSUM_H 268 235                          # 閉じる

e2e_close >/dev/null
