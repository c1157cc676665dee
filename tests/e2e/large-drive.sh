#!/usr/bin/env bash
# large-drive.sh PREFIX EXE: a 3 TiB NTFS volume, past what 32-bit sector
# numbers reach. LAST is its boot sector's last sector; the read dialog takes
# a sector past 2^32; a byte written there lands at that offset of the device
# and nowhere else; a range of sectors across 2^32 is saved as dd reads it.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

MSG_DONE="処理が終了しました。"
MSG_WRITE_EDITS="編集した内容を書き込みます。"
PAST=4294967301   # 2^32 + 5
ACROSS=4294967291 # 2^32 - 5

# A sparse file costs only what mkntfs writes.
images="$FATDRIVE_DIR"
truncate -s 3T "$images/d.img"
mkntfs -Q -F "$images/d.img" >/dev/null 2>&1
total="$(od -An -t u8 -j 40 -N 8 "$images/d.img" | tr -d ' ')"
fatdrive_map d hd "$images/d.img"
fatdrive_apply
e2e_install_copy "$images/program"
printf "$E2E_EDITOR_INI" > "$images/program/veldis.INI"
sectors() { dd if="$images/d.img" bs=512 skip="$1" count="$2" status=none; }


e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main

# LAST: the boot sector's count, whole.
e2e_read_sector 3 d 0
xdotool key alt+v s l
e2e_wait_title "$(e2e_title 3 $((total - 1)))" 30 >/dev/null
echo "ok: LAST is sector $((total - 1)), as the boot sector's 64-bit count says"

# A sector past 2^32 through the read dialog, a byte typed there and written.
e2e_focus_main
e2e_read_sector 3 d "$PAST"
sectors $((PAST - 1)) 3 > "$images/around.before"
xdotool key --delay 100 Home 4 1 ctrl+w
e2e_answer 0 left "$MSG_WRITE_EDITS"
e2e_until 10 e2e_no_box || fail "the write question stayed"
{ head -c 512 /dev/zero; printf 'A'; head -c 1023 /dev/zero; } > "$images/around.expected"
cmp "$images/around.before" <(head -c 1536 /dev/zero) || fail "the sectors around were not empty"
landed() { sectors $((PAST - 1)) 3 | cmp -s "$images/around.expected" -; }
e2e_until 30 landed || true  # written through the loop device
cmp "$images/around.expected" <(sectors $((PAST - 1)) 3) ||
    fail "the write did not land at byte $((PAST * 512)) alone"
echo "ok: sector $PAST shown and written: one byte at offset $((PAST * 512)), its neighbours as they were"

# Ten sectors from 2^32 - 5, across the 32-bit edge, into an image file.
e2e_image_dialog i 'ドライブイメージの保存'
dialog="$DIALOG"
click_at() { dialog_click "$dialog" 218 179 "$1" "$2"; }
# click_edit X Y: a click into an edit box, once the program has taken it.
click_edit() { dialog_click_heard "$dialog" 218 179 "$1" "$2" "$E2E_EDIT_CLICKED"; }
xdotool key d
dialog_click_heard "$dialog" 218 179 150 29 "$E2E_LIST_DROPPED"  # the range list
xdotool key --delay 100 Down Down Down Down Down Return
click_edit 67 69   # the start
xdotool key --delay 50 End $(printf 'BackSpace %.0s' $(seq 20))
xdotool type --delay 40 "$ACROSS"
click_edit 162 68  # the count
xdotool key --delay 50 End $(printf 'BackSpace %.0s' $(seq 20)) 1 0
click_edit 87 114  # the file
xdotool type --delay 40 "Z:${images//\//\\}\\across.img"
click_at 129 165 # 実行
e2e_answer 1 centre "$MSG_DONE"
cmp "$images/across.img" <(sectors "$ACROSS" 10) || fail "the saved range differs from dd's"
echo "ok: ten sectors from $ACROSS saved equal dd's"

e2e_until 10 e2e_no_box || fail "the finished message stayed"
dialog_leave "$dialog" 218 179 183 165  # 戻る
[ "$(e2e_close)" = 0 ] || fail "exit code"
