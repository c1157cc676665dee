#!/usr/bin/env bash
# undo.sh PREFIX EXE: the status bar says where the caret is; typed digits
# are taken back one by one; a written sector is taken back after a restart
# (the kept write lives in a file beside the INI), but not once the sector
# was changed behind the program's back, nor onto another medium put in the
# drive that holds the same bytes there.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

images="$FATDRIVE_DIR"
image="$images/d.img"
sample_volume "$image" fat16
fatdrive_map d hd "$image"
fatdrive_apply
e2e_install_copy "$images/program"
printf "${E2E_EDITOR_INI}OPTFLAG1=0\r\n" > "$images/program/veldis.INI"
layout "$image"
E2E_TRACE=trace+statusbar

# status PART: the part's text as last set, as Wine's trace writes its
# Shift-JIS bytes (\x escapes past ASCII).
status() {
    sed -n "s/.*STATUSBAR_SetTextT part $1, text \"\\(.*\\)\"\$/\\1/p" "$E2E_LOG/trace" | tail -n 1
}
sjis_trace() {
    local byte
    for byte in $(printf '%s' "$1" | iconv -f UTF-8 -t CP932 | od -An -v -tx1); do
        if [ $((16#$byte)) -ge 32 ] && [ $((16#$byte)) -lt 127 ]; then
            printf "\\x$byte"
        else
            printf '\\x%s' "$byte"
        fi
    done
}
status_is() { [ "$(status "$1")" = "$(sjis_trace "$2")" ]; }
expect_status() {
    e2e_until 20 status_is "$1" "$2" || fail "status part $1: expected '$2', shows '$(status "$1")'"
}
same_device() { cmp -s "$1" "$image" || fail "$2"; }

# click_byte LINE CELL: a click on a cell of the dump (middle font: 21 x 10
# pixels), below the menu bar.
click_byte() {
    xdotool mousemove --window "$MAIN" $(($2 * 10 + 5)) $((E2E_DUMP_TOP + $1 * 21 + 10)) click 1
}
E2E_DUMP_TOP=19  # the menu bar: Xvfb has no window manager to add a caption

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
e2e_read_sector 3 d "$DATA"
expect_status 3 "DATA ｸﾗｽﾀ 2"

# Byte 0x13's low digit, then its character, then typed digits.
click_byte 1 16
expect_status 0 "ｵﾌｾｯﾄ 0013 下位"
expect_status 1 "位置 $(printf '%X' $((DATA * 512 + 19)))h ($((DATA * 512 + 19)))"
click_byte 1 60
expect_status 0 "ｵﾌｾｯﾄ 0013 文字"
click_byte 2 6
expect_status 0 "ｵﾌｾｯﾄ 0020 上位"
cp "$image" "$images/before"
xdotool key --delay 100 a b c
expect_status 4 "変更 2 ﾊﾞｲﾄ"
xdotool key --delay 100 ctrl+z ctrl+z ctrl+z
expect_status 4 "変更 0 ﾊﾞｲﾄ"
expect_status 0 "ｵﾌｾｯﾄ 0020 上位"
xdotool key ctrl+w
e2e_focus_main  # taken once Ctrl+W has been handled
same_device "$images/before" "Ctrl+W wrote a sector whose edits were all taken back"

# A write, the program killed, a new start: the write is still taken back.
xdotool key --delay 100 1 2 ctrl+w
e2e_until 30 bash -c "! cmp -s '$images/before' '$image'" || fail "the sector was not written"
# Wine's process has the exe's path alone for its command line.
pkill -9 -x -f "$E2E_EXE" || fail "no veldis.exe to kill"
e2e_wait_exit 30 >/dev/null
e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
e2e_read_sector 3 d 0  # a bare "Veldis" would be taken for a box
undo_write() {
    local boxes
    boxes="$(e2e_box_count)"
    e2e_focus_main
    xdotool key alt+e w
    e2e_answer "$boxes" left "Ｄドライブ（VELDIS_16）のセクタ $DATA を、最後に書き込む前の内容に戻します。
よろしいですか？"
    e2e_answer $((boxes + 1)) centre "$1"
    e2e_until 10 e2e_no_box || fail "the answer stayed"
}
undo_write "セクタ $DATA を書き込む前の内容に戻しました。"
same_device "$images/before" "the write was not taken back after a restart"

# Written again, then changed on the device by someone else: nothing is written.
e2e_focus_main
e2e_read_sector 3 d "$DATA"
xdotool key --delay 100 Home 7 7 ctrl+w
e2e_until 30 bash -c "! cmp -s '$images/before' '$image'" || fail "the sector was not written again"
printf 'X' | dd of="$(losetup -j "$image" -O NAME -n)" bs=1 seek=$((DATA * 512 + 100)) \
    conv=notrunc,fsync status=none
cp "$image" "$images/changed"
undo_write "セクタ $DATA は書き込んだ後に変更されているため、元に戻せません。
ドライブには何も書き込んでいません。"
same_device "$images/changed" "the undo wrote over a sector changed since"

# Written again; then another volume, formatted alike with its own serial and
# the same bytes in that sector, takes the drive's place: nothing is written.
e2e_focus_main
e2e_read_sector 3 d "$DATA"
xdotool key --delay 100 Home 8 8 ctrl+w
e2e_until 30 bash -c "! cmp -s '$images/changed' '$image'" || fail "the sector was not written a third time"
cp "$image" "$images/other"
printf '\x55\x66\x77\x88' | dd of="$images/other" bs=1 seek=39 conv=notrunc status=none
dd if="$images/other" of="$(losetup -j "$image" -O NAME -n)" bs=1M conv=notrunc,fsync status=none
undo_write "Ｄドライブは、セクタ $DATA を書き込んだときとは別のディスクかファイルです（シリアル番号、大きさ、セクタの大きさまたはラベルが異なります）。
元に戻せません。何も書き込んでいません。"
same_device "$images/other" "the undo wrote onto another medium"
echo "PASS"
