#!/usr/bin/env bash
# questions.sh PREFIX EXE: nothing overwritten without a clear question. A
# restore asks what it overwrites (キャンセル writes nothing); a file dialog
# after a sector save proposes a text dump beside it, never the sector file
# itself; closing with edits asks Yes/No/Cancel while the window is still
# there, and キャンセル keeps it open.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

MSG_DONE="処理が終了しました。"
MSG_WRITE_CHANGES="変更箇所の書き込みを行いますか？"

# A: the sample floppy; B: a floppy of the same layout; an image of A: beside them.
images="$FATDRIVE_DIR"
sample_volume "$images/a.img" fat12
mkfs.fat -C -F 12 -n VELDIS_B -i 0000B0B0 "$images/b.img" 1440 >/dev/null
cp "$images/a.img" "$images/image.img"
fatdrive_map a floppy "$images/a.img"
fatdrive_map b floppy "$images/b.img"
fatdrive_apply
e2e_install_copy "$images/program"
printf "$E2E_EDITOR_INI" > "$images/program/veldis.INI"
cp "$images/b.img" "$images/b.before"

click_at() { dialog_click "$1" 218 179 "$2" "$3"; }
ASKED="Ｂドライブ（VELDIS_B）のセクタ 0～2879 (1,474,560 バイト) をイメージの内容で上書きします。"$'\n'"よろしいですか？"

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
e2e_read_sector 0 a 0

# A restore onto B: asks what it overwrites: キャンセル writes nothing, OK the image.
e2e_image_dialog u 'ドライブイメージの復元'
dialog="$DIALOG"
xdotool key b
click_at "$dialog" 182 115  # 選択
file_dialog '(開く|Open)' "Z:${images//\//\\}\\image.img"
click_at "$dialog" 129 165  # 実行
e2e_answer 0 right "$ASKED"
e2e_until 10 e2e_no_box || fail "the question stayed"
# A click into the file box the program takes: the answer has been handled.
dialog_click_heard "$dialog" 218 179 87 114 "$E2E_EDIT_CLICKED"
cmp "$images/b.before" "$images/b.img" || fail "キャンセル wrote to B:"
click_at "$dialog" 129 165
e2e_answer 1 left "$ASKED"
e2e_answer 2 centre "$MSG_DONE"
e2e_until 30 cmp -s "$images/image.img" "$images/b.img" ||  # written through the loop device
    fail "OK did not write the image: $(cmp "$images/image.img" "$images/b.img" 2>&1)"
e2e_until 10 e2e_no_box || fail "the finished message stayed"
dialog_leave "$dialog" 218 179 183 165  # 戻る
echo "ok: a restore names B:, its label, sectors and bytes; キャンセル writes nothing, OK the image"

# The sector saved as readme33.sct (in the folder of the image, the last file
# used); the dump's dialog then proposes readme33.txt there.
e2e_focus_main
xdotool key ctrl+s
file_dialog '(名前を付けて保存|Save As)' 'readme33.sct'
e2e_focus_main  # taken once the save has been handled
cmp -n 512 "$images/readme33.sct" "$images/a.img" || fail "the sector file"
e2e_focus_main
xdotool key alt+f d t
file_dialog '(名前を付けて保存|Save As)'  # the name as proposed
e2e_focus_main  # taken once the dump has been handled
[ -f "$images/readme33.txt" ] || fail "no readme33.txt beside the sector file"
[ "$(stat -c %s "$images/readme33.txt")" = $((32 * 72)) ] || fail "the dump's size"
cmp -n 512 "$images/readme33.sct" "$images/a.img" || fail "the sector file was replaced"
echo "ok: after readme33.sct, the dump's dialog proposes readme33.txt in the same folder"

# Closing with an edit: the question while the main window is still there;
# キャンセル keeps it open, いいえ closes without writing.
e2e_focus_main
cp "$images/a.img" "$images/a.before"
before="$(e2e_box_count)"
xdotool key --delay 100 Home 5 5 alt+space c
e2e_until 30 e2e_boxes_beyond "$before" || fail "closing asked nothing"
xdotool search --onlyvisible --name "$(e2e_title 0 0)" >/dev/null || fail "the window went before the question"
[ -n "${E2E_SHOTS:-}" ] && { sleep 2; import -window root "$E2E_SHOTS/close-question.png"; }
e2e_answer "$before" last "$MSG_WRITE_CHANGES"  # キャンセル
# A click the program takes: the answer has been handled. A program that
# closed takes none, which the check after it names.
e2e_click_main || true
[ ! -f "$E2E_LOG/exit" ] || fail "キャンセル closed the program"
e2e_wait_title "$(e2e_title 0 0)" 20 >/dev/null
e2e_focus_main
xdotool key alt+F4
e2e_answer "$((before + 1))" centre "$MSG_WRITE_CHANGES"  # いいえ
[ "$(e2e_wait_exit 30)" = 0 ] || fail "exit code after いいえ"
cmp "$images/a.before" "$images/a.img" || fail "いいえ wrote the edit"
echo "ok: closing asks with the window on screen; キャンセル keeps it open, いいえ closes unwritten"
