#!/usr/bin/env bash
# verify.sh PREFIX EXE: a FAT32 volume of a prime number of sectors saved
# whole and restored onto another device, which the restore reads back; the
# verify command then says the two match, and after one byte of the device
# changes behind the program's back, names that sector. An image of part of
# the drive does not match it, and a file of no whole sector is never restored.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

MSG_DONE="処理が終了しました。"
MSG_LAYOUT_MISMATCH="ドライブ構成の異なるファイルです。書き込みを行ってもよろしいですか？"
MSG_MATCHES="ドライブの内容はイメージと一致しています。
照合したセクタ: 0～70000 (70001 セクタ)"
SECTORS=70001  # a prime: no chunk size divides it
CHANGED=54321

# D: FAT32 sized by its file; E: a device of the same size holding nothing.
images="$FATDRIVE_DIR"
truncate -s $((SECTORS * 512)) "$images/d.img" "$images/e.img"
mkfs.fat -F 32 -s 1 -g 1/1 -n PRIME "$images/d.img" >/dev/null  # no track rounding
echo "Veldis: a prime number of sectors." > "$images/note.txt"
MTOOLS_SKIP_CHECK=1 mcopy -i "$images/d.img" "$images/note.txt" ::/NOTE.TXT
fatdrive_map d hd "$images/d.img"
fatdrive_map e hd "$images/e.img"
fatdrive_apply
e2e_install_copy "$images/program"
printf "$E2E_EDITOR_INI" > "$images/program/veldis.INI"
saved="$images/saved.img"

click_at() { dialog_click "$DIALOG" 218 179 "$1" "$2"; }
back() { dialog_leave "$DIALOG" 218 179 183 165; }  # 戻る
# open_dialog KEY TITLE LETTER: the image dialog on drive LETTER, its id in DIALOG.
open_dialog() {
    e2e_image_dialog "$1" "$2"
    xdotool key "$3"
}
# pick_saved: the file through the open-file dialog, which proposes the last file.
pick_saved() {
    click_at 182 115  # 選択
    file_dialog '(開く|Open)'
}
pick_file() {
    click_at 182 115
    file_dialog '(開く|Open)' "Z:${1//\//\\}"
}

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
e2e_read_sector 3 d 0  # the main window's title then tells it from a box

open_dialog i "ドライブイメージの保存" d
xdotool key Tab Tab
xdotool type --delay 40 "Z:${saved//\//\\}"
xdotool key Return
e2e_answer 0 centre "$MSG_DONE"
back
cmp "$images/d.img" "$saved" || { ls -l "$images"; fail "the saved image differs from D:"; }
echo "ok: D: of $SECTORS sectors saved whole"

open_dialog u "ドライブイメージの復元" e
pick_saved
click_at 129 165  # 実行
e2e_answer_box 1 left >/dev/null  # what the restore overwrites: OK
e2e_answer 2 left "$MSG_LAYOUT_MISMATCH"
e2e_answer 3 centre "$MSG_DONE"
back
e2e_until 30 cmp -s "$saved" "$images/e.img" ||
    fail "E: differs from the image after the restore: $(cmp "$saved" "$images/e.img" 2>&1)"
fsck.fat -n "$images/e.img" >/dev/null || fail "fsck.fat after the restore"
echo "ok: restored onto E: and checked: E: equals the image, fsck.fat clean"

open_dialog v "ドライブイメージの照合" e
pick_saved
click_at 129 165
e2e_answer 4 centre "$MSG_MATCHES"
echo "ok: the verify command says E: matches the image"

# One byte of E: changed through its device, behind the program's back.
printf 'X' | dd of="$(losetup -j "$images/e.img" -O NAME -n)" bs=1 \
    seek=$((CHANGED * 512 + 100)) conv=notrunc,fsync status=none
click_at 129 165
e2e_answer 5 centre "セクタ $CHANGED の内容がイメージと一致しません。"
back
cmp -s "$saved" "$images/e.img" && fail "the byte did not change"
echo "ok: after one byte changed, the verify command names sector $CHANGED"

head -c $((1000 * 512)) "$saved" > "$images/head.img"
head -c 100 "$saved" > "$images/short.img"
cp "$images/e.img" "$images/e.before"
open_dialog v "ドライブイメージの照合" e
pick_file "$images/head.img"
click_at 129 165
e2e_answer 6 centre "イメージファイルは 1000 セクタで、照合する範囲の $SECTORS セクタと大きさが合いません。
ドライブの内容はイメージと一致しません。"
back
open_dialog u "ドライブイメージの復元" e
pick_file "$images/short.img"
click_at 129 165
e2e_answer 7 centre "イメージファイルの大きさ (100 バイト) が、セクタの大きさ (512 バイト) の整数倍でないか、1セクタに満たないため、復元できません。
ドライブには何も書き込んでいません。"
back
cmp "$images/e.before" "$images/e.img" || fail "the refused restore changed E:"
echo "ok: the first 1000 sectors do not match the drive; a file of 100 bytes is not restored"

[ "$(e2e_close)" = 0 ] || fail "exit code"
