#!/usr/bin/env bash
# images.sh PREFIX EXE: drive images saved and restored through the real
# dialogs, checked on the devices and files from outside.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

MSG_DONE="処理が終了しました。"
MSG_FILE_EXISTS="ファイルが既に存在します。上書きしてもよろしいですか？"
MSG_LAYOUT_MISMATCH="ドライブ構成の異なるファイルです。書き込みを行ってもよろしいですか？"
MSG_BAD_PARAMETER="パラメータの指定に誤りがあります。"
SAVE_TITLE="ドライブイメージの保存"
RESTORE_TITLE="ドライブイメージの復元"

# A: the sample floppy; B: a floppy with two sectors a cluster, another layout.
images="$FATDRIVE_DIR"
sample_volume "$images/a.img" fat12
mkfs.fat -C -F 12 -s 2 -n OTHER "$images/b.img" 1440 >/dev/null
fatdrive_map a floppy "$images/a.img"
fatdrive_map b floppy "$images/b.img"
fatdrive_apply
e2e_install_copy "$images/program"
printf "$E2E_EDITOR_INI" > "$images/program/veldis.INI"
saved="$images/a-saved.img"
saved_windows="Z:${saved//\//\\}"  # typed into the program's own field only

# click_at WINDOW X Y: a click at dialog units of a 218 x 179 image dialog.
click_at() { dialog_click "$1" 218 179 "$2" "$3"; }
back() { dialog_leave "$1" 218 179 183 165; }  # 戻る
execute() { click_at "$1" 129 165; }  # 実行
choose() { click_at "$1" 182 115; }   # 選択



# progress_row WINDOW: the colours along the middle of the progress bar.
progress_row() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    local area="$((WIDTH * 200 / 218))x1+$((X + WIDTH * 9 / 218))+$((Y + HEIGHT * 143 / 179))"
    import -window root -crop "$area" -depth 8 txt:- |
        sed -n 's/.*\(#[0-9A-F]\{6\}\).*/\1/p' | sort -u | tr '\n' ' '
}


# pick_file WINDOW: the restore's file through the open-file dialog, which
# opens on the path of the last file command: the image just saved.
pick_file() {
    choose "$1"
    file_dialog '(開く|Open)'
}
# handled WINDOW: a click on the file box, once the program has taken it:
# what was sent to the dialog before has been handled.
handled() { dialog_click_heard "$1" 218 179 87 114 "$E2E_EDIT_CLICKED"; }

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
e2e_read_sector 0 a 0

# Save the whole of A: into a file.
e2e_image_dialog i "$SAVE_TITLE"
xdotool key --delay 100 a Tab Tab
xdotool type --delay 40 "$saved_windows"
xdotool key Return
[ -n "${E2E_SHOTS:-}" ] && { sleep 2; import -window root "$E2E_SHOTS/image-save-run.png"; }
# The bar is read while the message is up, and again once it has gone; the
# bar paints a moment after the program moves it.
e2e_wait_box 0 >/dev/null
full_bar() { filled="$(progress_row "$DIALOG")"; [ "$filled" != "#FFFFFF " ] && [ "$(wc -w <<< "$filled")" = 1 ]; }
e2e_until 10 full_bar || true
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/image-save.png"
e2e_answer 0 centre "$MSG_DONE"
e2e_until 10 e2e_no_box || fail "the finished message stayed"
emptied() { empty="$(progress_row "$DIALOG")"; [ "$filled" != "$empty" ] && [ "$(wc -w <<< "$empty")" -le 2 ]; }
e2e_until 10 emptied || true
[ "$filled" != "$empty" ] && [ "$(wc -w <<< "$empty")" -le 2 ] ||
    fail "the bar read '$filled' at the finished message and '$empty' after it"
cmp "$images/a.img" "$saved" || fail "the saved image differs from the floppy"
echo "ok: A: saved whole equals the device; the bar was full at the end and empty after"

# The same file again, answered No: it stays as it was.
touch -d '2001-01-01' "$saved"
execute "$DIALOG"
e2e_answer 1 right "$MSG_FILE_EXISTS"
handled "$DIALOG"
[ "$(stat -c %Y "$saved")" = "$(date -d 2001-01-01 +%s)" ] || fail "No rewrote the file"
back "$DIALOG"
echo "ok: an existing file answered No is untouched"

# Restore onto B:, another layout: what it overwrites, the layout, then the image whole.
e2e_image_dialog u "$RESTORE_TITLE"
xdotool key b
pick_file "$DIALOG"
execute "$DIALOG"
e2e_answer 2 left "Ｂドライブ（OTHER）のセクタ 0～2879 (1,474,560 バイト) をイメージの内容で上書きします。"$'\n'"よろしいですか？"
e2e_answer 3 left "$MSG_LAYOUT_MISMATCH"
e2e_answer 4 centre "$MSG_DONE"
e2e_until 30 cmp -s "$saved" "$images/b.img" ||  # written through the loop device
    fail "B: differs from the image after the restore: $(cmp "$saved" "$images/b.img" 2>&1)"
fsck.fat -n "$images/b.img" >/dev/null || fail "fsck.fat after the restore"
echo "ok: the image restored onto B: after the layout question; B: equals it, fsck.fat clean"

# From a start of the user's own, the image passes the end: nothing is written.
cp "$images/b.img" "$images/b.before"
e2e_until 10 e2e_no_box || fail "the finished message stayed"
dialog_click_heard "$DIALOG" 218 179 150 29 "$E2E_LIST_DROPPED"  # the start list
xdotool key --delay 100 Down Down Down Down Return
dialog_click_heard "$DIALOG" 218 179 67 69 "$E2E_EDIT_CLICKED"  # the start field, now open
xdotool key --delay 100 End BackSpace 1
execute "$DIALOG"
e2e_answer 5 centre "$MSG_BAD_PARAMETER"
handled "$DIALOG"
cmp "$images/b.before" "$images/b.img" || fail "an image larger than the room was written"
back "$DIALOG"
echo "ok: an image larger than the room from sector 1 writes nothing"

[ "$(e2e_close)" = 0 ] || fail "exit code"
