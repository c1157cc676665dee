#!/usr/bin/env bash
# editor.sh PREFIX EXE: the editor driven by keys and clicks from outside, its
# results read from the disk images, the window title and the INI file.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

MSG_WRITE_EDITS="編集した内容を書き込みます。"
MSG_WRITE_CHANGES="変更箇所の書き込みを行いますか？"

e2e_sample_drives
images="$FATDRIVE_DIR"

# step KEYS... EXPECTED-SECTOR: keys on the main window, then the title.
step() {
    local expected="${*: -1}" drive="$DRIVE"
    xdotool key --delay 200 "${@:1:$#-1}"
    e2e_wait_title "$(e2e_title "$drive" "$expected")" 30 >/dev/null
    e2e_focus_main
}

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
first_place="$X,$Y"
# Before a drive is chosen the sector commands are grayed: nothing happens.
# A click the program takes after the keys tells they have been handled; it
# fails while a box is up, which the check after it names.
xdotool key ctrl+n ctrl+b F5 ctrl+w ctrl+k
e2e_click_main || true
e2e_wait_title '^Veldis$' 2 >/dev/null
[ "$(e2e_box_count)" = 0 ] || fail "a grayed command showed a box"
echo "ok: start with the banner; grayed commands do nothing"

for volume in "0 a" "3 d" "4 e"; do
    read -r DRIVE letter <<< "$volume"
    layout "$images/$letter.img"
    e2e_read_sector "$DRIVE" "$letter" 0
    step ctrl+n 1
    step ctrl+n 2
    step ctrl+b 1
    step alt+v s i 0
    step alt+v s f "$FAT"
    step alt+v s e "$DIR"
    step alt+v s d "$DATA"
    step alt+v s l "$LAST"
    step alt+e u "$DATA"
    step alt+e u "$LAST"
    step F5 "$LAST"
    echo "ok: ${letter^^}: next, previous, IPL 0, FAT $FAT, DIR $DIR, DATA $DATA, LAST $LAST, back, refresh"
done

# Edits on the floppy, in a sector of the data area no file uses.
DRIVE=0
layout "$images/a.img"
SPARE=$((DATA + 20))
e2e_read_sector 0 a "$SPARE"
cp "$images/a.img" "$images/before.img"
xdotool key --delay 100 Home 4 1 4 2 Tab x y ctrl+w
[ -n "${E2E_SHOTS:-}" ] && { sleep 2; import -window root "$E2E_SHOTS/write-box.png"; }
answer="$(e2e_answer_box 0 left)"  # OK
[ "$answer" = "$(wine_text "$MSG_WRITE_EDITS")" ] || fail "write asked: $answer"
differs() { ! cmp -s "$1" "$2"; }
e2e_until 30 differs "$images/before.img" "$images/a.img" || fail "OK wrote nothing"
changes="$( (cmp -l "$images/before.img" "$images/a.img" || true) | awk '{print $1-1, $3}' | tr '\n' ' ')"
offset=$((SPARE * 512))
[ "$changes" = "$offset 101 $((offset + 1)) 102 $((offset + 2)) 170 $((offset + 3)) 171 " ] ||
    fail "write changed: $changes"
fsck.fat -n "$images/a.img" >/dev/null || fail "fsck.fat after the write"
echo "ok: typed bytes written exactly, fsck.fat clean"

e2e_focus_main
cp "$images/a.img" "$images/before.img"
xdotool key --delay 100 Home z ctrl+w  # the cursor is still in the character column
e2e_answer_box 1 right >/dev/null  # Cancel
e2e_focus_main  # taken once the answer has been handled
cmp -s "$images/before.img" "$images/a.img" || fail "Cancel wrote the sector"
xdotool key alt+e r  # revert: no question, nothing written
xdotool key ctrl+w   # grayed again: nothing happens
e2e_click_main || true
[ "$(e2e_box_count)" = 2 ] || fail "revert left the sector modified"
echo "ok: Cancel leaves the image unchanged; revert"

# Closing with unwritten edits: the system menu's 閉じる (the close box's
# command) asks to write them; Yes writes after the usual write question.
xdotool key --delay 100 Home Q alt+space c
answer="$(e2e_answer_box 2 first)"  # Yes
[ "$answer" = "$(wine_text "$MSG_WRITE_CHANGES")" ] || fail "close asked: $answer"
answer="$(e2e_answer_box 3 left)"  # OK
[ "$answer" = "$(wine_text "$MSG_WRITE_EDITS")" ] || fail "Yes asked: $answer"
[ "$(e2e_wait_exit 30)" = 0 ] || fail "exit code after close"
[ "$(od -An -t x1 -j "$offset" -N 1 "$images/a.img" | tr -d ' ')" = 51 ] || fail "Yes did not write"
grep -q '^OPTFLAG1=1' "$images/program/veldis.INI" || fail "the write option was not kept"
echo "ok: closing asks to write; Yes writes after the write question"

ini="$(tr -d '\r' < "$images/program/veldis.INI")"
for key in TOP=10 BOTTOM=760 LEFT=20 RIGHT=800; do
    grep -qx "$key" <<< "$ini" || fail "INI lacks $key: $ini"
done

# The next start opens where the last one was; a second start gives way.
e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
[ "$X,$Y" = "$first_place" ] || fail "opened at $X,$Y, not at $first_place"
e2e_read_sector 0 a "$SPARE"
second=0
(cd "$(dirname "$E2E_EXE")" && timeout 60 "$VELDIS_WINE" "$E2E_EXE") || second=$?
[ "$second" = 0 ] || fail "the second start ended with $second"
[ "$(xdotool search --onlyvisible --name '^Veldis' | wc -l)" = 1 ] || fail "two main windows"
echo "ok: the next start opens at the saved place; a second start gives way with exit code 0"

# No leaves the disk as it was.
e2e_focus_main
cp "$images/a.img" "$images/before.img"
xdotool key --delay 100 Home 7 7 alt+space c
e2e_answer_box 0 centre >/dev/null  # No
[ "$(e2e_wait_exit 30)" = 0 ] || fail "exit code after No"
cmp -s "$images/before.img" "$images/a.img" || fail "No wrote the sector"
echo "ok: No at the close leaves the disk unchanged"

# Alt+F4 asks the same question: No lets the edits go, once.
e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
e2e_read_sector 0 a "$SPARE"
xdotool key --delay 100 Home 6 6 alt+F4
answer="$(e2e_answer_box 0 centre)"  # No
[ "$answer" = "$(wine_text "$MSG_WRITE_CHANGES")" ] || fail "Alt+F4 asked: $answer"
[ "$(e2e_wait_exit 30)" = 0 ] || fail "exit code after Alt+F4"
[ "$(e2e_box_count)" = 1 ] || fail "closing asked twice"
cmp -s "$images/before.img" "$images/a.img" || fail "the discarded edit was written"
echo "ok: Alt+F4 asks the same question; No lets the edits go"
