#!/usr/bin/env bash
# edit-commands.sh PREFIX EXE: the cluster jump, the value edit and the sector
# files through the real dialogs, checked against mtools, dd and cmp.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

MSG_WRITE_EDITS="編集した内容を書き込みます。"

# text_file PATH SIZE LINE: LINE repeated to SIZE bytes.
text_file() { (yes "$3" || true) | head -c "$2" > "$1"; }

# D: the sample FAT16 volume with a file of several clusters copied in.
images="$FATDRIVE_DIR"
sample_volume "$images/d.img" fat16
text_file "$images/big.bin" 9000 "Veldis: the file of several clusters."
MTOOLS_SKIP_CHECK=1 mcopy -i "$images/d.img" "$images/big.bin" ::/BIG.BIN
fatdrive_map d hd "$images/d.img"
fatdrive_apply
e2e_install_copy "$images/program"
printf "$E2E_EDITOR_INI" > "$images/program/veldis.INI"
layout "$images/d.img"

sector_of() { dd if="$images/d.img" bs=512 skip="$1" count=1 status=none; }

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main

# The cursor on BIG.BIN's entry in the root directory; its cluster proposed.
e2e_read_sector 3 d "$DIR"
offset="$(sector_of "$DIR" | grep -boa 'BIG     BIN' | head -n 1 | cut -d: -f1)"
[ -n "$offset" ] && [ $((offset % 32)) = 0 ] || fail "BIG.BIN is not in the root's first sector"
cluster="$(MTOOLS_SKIP_CHECK=1 mshowfat -i "$images/d.img" ::BIG.BIN | sed 's/[^<]*<\([0-9]*\).*/\1/')"
target=$((DATA + (cluster - 2) * SPC))
downs=$((offset / 32 * 2 + 1))  # the entry's second line
xdotool key --delay 60 Home $(printf 'Down %.0s' $(seq "$downs")) alt+v c
dialog="$(e2e_wait_dialog 'クラスタの指定' 30)"
xdotool key --window "$dialog" Return
e2e_wait_title "$(e2e_title 3 "$target")" 30 >/dev/null
e2e_focus_main
echo "ok: the entry's cluster $cluster proposed and accepted: sector $target"

# The sector shown saved to a file: the disk's sector, which is BIG.BIN's start.
xdotool key ctrl+s
file_dialog '(名前を付けて保存|Save As)' 'shown.sct'
e2e_focus_main  # taken once the save has been handled
[ -f "$images/program/shown.sct" ] || fail "the sector file is not in the program's folder"
cmp "$images/program/shown.sct" <(sector_of "$target") || fail "the saved sector differs from dd's"
cmp "$images/program/shown.sct" <(head -c 512 "$images/big.bin") || fail "sector $target is not BIG.BIN's start"
echo "ok: the sector saved to a file equals the disk's sector and BIG.BIN's first 512 bytes"

# The word at line 2, byte 5 edited as 4660 (0x1234) and written: two bytes change.
e2e_focus_main
cp "$images/d.img" "$images/before.img"
# Right moves a hex digit at a time: ten of them reach byte 5.
xdotool key --delay 60 Home Down Down $(printf 'Right %.0s' $(seq 10)) alt+e e w
dialog="$(e2e_wait_window 'エディット' 30)"
dialog_click_heard "$dialog" 190 71 78 33 "$E2E_EDIT_CLICKED"  # the decimal box
xdotool key --delay 60 End $(printf 'BackSpace %.0s' $(seq 6)) 4 6 6 0
[ -n "${E2E_SHOTS:-}" ] && { sleep 1; import -window root "$E2E_SHOTS/value-edit.png"; }
xdotool key Return
e2e_until 30 window_gone "$dialog" || fail "the value edit stayed open"
e2e_focus_main
xdotool key ctrl+w
answer="$(e2e_answer_box 0 left)"
[ "$answer" = "$(wine_text "$MSG_WRITE_EDITS")" ] || fail "the write asked: $answer"
differs() { ! cmp -s "$1" "$2"; }
e2e_until 30 differs "$images/before.img" "$images/d.img" || fail "OK wrote nothing"
at=$((target * 512 + 37))
changes="$( (cmp -l "$images/before.img" "$images/d.img" || true) | awk '{print $1-1, $3}' | tr '\n' ' ')"
[ "$changes" = "$at 64 $((at + 1)) 22 " ] || fail "the value edit changed: $changes"
echo "ok: a word edited as 4660 and written changes exactly bytes $at and $((at + 1)) to 34 12"

# Another file loaded in place of the sector and written: only that sector changes.
e2e_focus_main
text_file "$images/program/other.sct" 512 "another sector's worth"
cp "$images/d.img" "$images/expected.img"
dd if="$images/program/other.sct" of="$images/expected.img" bs=512 seek="$target" conv=notrunc status=none
e2e_load_and_write other.sct 1
e2e_until 30 differs "$images/before.img" "$images/d.img" || fail "OK wrote nothing"
e2e_until 30 cmp -s "$images/expected.img" "$images/d.img" ||
    fail "the disk differs from the file written at sector $target: $(cmp "$images/expected.img" "$images/d.img")"
fsck.fat -n "$images/d.img" >/dev/null || fail "fsck.fat after the writes"
echo "ok: a file loaded and written changes exactly sector $target; fsck.fat clean"

[ "$(e2e_close)" = 0 ] || fail "exit code"
