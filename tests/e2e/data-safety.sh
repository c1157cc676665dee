#!/usr/bin/env bash
# data-safety.sh PREFIX EXE: no wrong byte written and no partial image kept.
# A write after a restore puts back nothing the restore replaced; a FAT32
# volume labelled FAT16 keeps its clusters' high words; a boot sector whose
# root directory lies inside a FAT opens raw; a save that fails or is stopped
# leaves no file and never says it finished.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

MSG_DONE="処理が終了しました。"
MSG_WRITE_EDITS="編集した内容を書き込みます。"
MSG_FILE_WRITE_ERROR="ファイル書込エラーが発生しました。"
MSG_RUN_STOPPED="処理を中止しました。"

images="$FATDRIVE_DIR"
full="$images/full"  # a file system with no room for an image
trap 'umount "$full" 2>/dev/null || true; fatdrive_end; e2e_end' EXIT
mkdir -p "$full"
mount -t tmpfs -o size=64k veldis-full "$full"

# A: the sample floppy. B: a floppy, and an image of the same layout with
# another label and serial.
sample_volume "$images/a.img" fat12
mkfs.fat -C -F 12 -n OLDLABEL -i 11111111 "$images/b.img" 1440 >/dev/null
mkfs.fat -C -F 12 -n NEWLABEL -i 22222222 "$images/new.img" 1440 >/dev/null
# E: FAT32 labelled FAT16, with a file past cluster 65535.
mkfs.fat -C -F 32 -s 1 -n FAT16 "$images/e.img" 40960 >/dev/null
head -c $((66000 * 512)) /dev/zero > "$images/filler.bin"
echo "Veldis: a file past cluster 65535." > "$images/small.txt"
MTOOLS_SKIP_CHECK=1 mcopy -i "$images/e.img" "$images/filler.bin" ::/FILLER.BIN
MTOOLS_SKIP_CHECK=1 mcopy -i "$images/e.img" "$images/small.txt" ::/SMALL.TXT
rm "$images/filler.bin"
# F: FAT32 whose root cluster 0 puts the root directory inside the second FAT.
mkfs.fat -C -F 32 -s 1 "$images/f.img" 34000 >/dev/null
printf '\0\0\0\0' | dd of="$images/f.img" bs=1 seek=44 conv=notrunc status=none
# G: 2 GiB of no file system, long enough to stop its image on the way.
truncate -s 2G "$images/g.img"
for drive in "a floppy" "b floppy" "e hd" "f hd" "g hd"; do
    read -r letter type <<< "$drive"
    fatdrive_map "$letter" "$type" "$images/$letter.img"
done
fatdrive_apply
e2e_install_copy "$images/program"
printf "$E2E_EDITOR_INI" > "$images/program/veldis.INI"
windows_path() { echo "Z:${1//\//\\}"; }

# click_at WINDOW X Y: a click at dialog units of a 218 x 179 image dialog.
click_at() { dialog_click "$1" 218 179 "$2" "$3"; }
back() { dialog_leave "$1" 218 179 183 165; }  # 戻る
execute() { click_at "$1" 129 165; }  # 実行




e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main

# (1) B: shown, the image restored onto it, one byte typed and written: the
# drive is the image and that byte, with no old label or serial put back.
e2e_read_sector 1 b 0
e2e_image_dialog u "ドライブイメージの復元"
xdotool key b
click_at "$DIALOG" 182 115  # 選択
file_dialog '(開く|Open)' "$(windows_path "$images/new.img")"
execute "$DIALOG"
e2e_answer_box 0 left >/dev/null  # what the restore overwrites: OK
e2e_answer 1 centre "$MSG_DONE"
e2e_until 10 e2e_no_box || fail "the finished message stayed"
back "$DIALOG"
e2e_focus_main
xdotool key --delay 100 Home 4 1 ctrl+w
e2e_answer 2 left "$MSG_WRITE_EDITS"
e2e_until 30 bash -c "! cmp -s '$images/new.img' '$images/b.img'" || true  # the write lands
[ "$(cmp -l "$images/new.img" "$images/b.img" | tr -s ' ' | sed 's/^ //')" = "1 353 101" ] ||
    fail "B: is not the image plus the typed byte: $(cmp -l "$images/new.img" "$images/b.img" | head)"
echo "ok: a byte written after a restore: the drive equals the image but for that byte"
e2e_until 10 e2e_no_box || fail "the write question stayed"
e2e_focus_main

# (2) The cluster jump from SMALL.TXT's entry lands where mshowfat says.
layout "$images/e.img"
e2e_read_sector 4 e "$DIR"
offset="$(dd if="$images/e.img" bs=512 skip="$DIR" count=1 status=none |
    grep -boa 'SMALL   TXT' | head -n 1 | cut -d: -f1)"
[ -n "$offset" ] || fail "SMALL.TXT is not in the root's first sector"
cluster="$(MTOOLS_SKIP_CHECK=1 mshowfat -i "$images/e.img" ::SMALL.TXT | sed 's/[^<]*<\([0-9]*\).*/\1/')"
[ "$cluster" -gt 65535 ] || fail "SMALL.TXT starts at cluster $cluster"
xdotool key --delay 60 Home $(printf 'Down %.0s' $(seq $((offset / 32 * 2 + 1)))) alt+v c
dialog="$(e2e_wait_dialog 'クラスタの指定' 30)"
xdotool key --window "$dialog" Return
e2e_wait_title "$(e2e_title 4 $((DATA + (cluster - 2) * SPC)))" 30 >/dev/null
e2e_focus_main
echo "ok: FAT32 labelled FAT16: cluster $cluster's jump shows sector $((DATA + (cluster - 2) * SPC))"

# (3) F: opens raw: DIR and the cluster jump do nothing, LAST still goes.
e2e_read_sector 5 f 0
xdotool key alt+v s e
e2e_focus_main  # closes the menu, should the grayed item have left it open
xdotool key alt+v c
# A click the program takes after the keys: they have been handled. It fails
# while a dialog is up, which the check after it names.
e2e_click_main || true
! xdotool search --onlyvisible --name '^クラスタの指定$' >/dev/null 2>&1 || fail "F: offered a cluster"
e2e_focus_main
e2e_wait_title "$(e2e_title 5 0)" 20 >/dev/null
xdotool key alt+v s l
e2e_wait_title "$(e2e_title 5 67999)" 30 >/dev/null
echo "ok: a root cluster of 0 opens raw: no DIR, no cluster, LAST at the device's end"

# (5) A save onto a full file system, and a save stopped on the way: no
# file stays, and neither says it finished.
e2e_image_dialog i "ドライブイメージの保存"
xdotool key --delay 100 a Tab Tab
xdotool type --delay 40 "$(windows_path "$full/a.img")"
xdotool key Return
e2e_answer 3 centre "$MSG_FILE_WRITE_ERROR"
e2e_until 10 e2e_no_box || fail "the error stayed"
[ ! -e "$full/a.img" ] || fail "a save onto a full file system kept $(stat -c %s "$full/a.img") bytes"
back "$DIALOG"
e2e_until 30 window_gone "$DIALOG" || fail "the save dialog stayed"

e2e_image_dialog i "ドライブイメージの保存"
xdotool key --delay 100 g Tab Tab
xdotool type --delay 40 "$(windows_path "$images/g-saved.img")"
xdotool key Return
click_at "$DIALOG" 183 165  # 戻る, queued behind the start: heard between the first chunks
e2e_answer 4 centre "$MSG_RUN_STOPPED"
[ ! -e "$images/g-saved.img" ] || fail "a stopped save kept $(stat -c %s "$images/g-saved.img") bytes"
e2e_until 10 e2e_no_box || fail "the stop message stayed"
back "$DIALOG"
[ "$(e2e_boxes | grep -cxF "$(wine_text "$MSG_DONE")")" = 1 ] || fail "a failed or stopped save said it finished"
echo "ok: a save onto a full file system and a stopped save leave no file and no finished message"

[ "$(e2e_close)" = 0 ] || fail "exit code"
