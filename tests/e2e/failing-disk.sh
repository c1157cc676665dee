#!/usr/bin/env bash
# failing-disk.sh PREFIX EXE: images of drives whose reads fail at chosen
# sectors, saved through the real dialog and checked against GNU ddrescue of
# the same devices: the same bytes, the same bad sectors in the map, and the
# holes filled once the sectors read again.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

MSG_RESCUE_ASK="セクタ %s が読めません。
読めるセクタをすべて保存し、読めないセクタは 0 で埋めて、その一覧をマップファイルに残しますか？
「いいえ」を選ぶと保存を中止し、ファイルは残しません。"
MSG_RESCUE_DONE="処理が終了しました。
読めなかった %s セクタは 0 で埋めました。
読めなかったセクタの一覧: %s"
MSG_RESCUE_RETRY="マップファイル %s に、まだ読めていないセクタが %s セクタあります。
そのセクタだけを読み直して、イメージに書き込みますか？
「いいえ」を選ぶと、ファイル全体を保存し直すかどうかを尋ねます。"
MSG_RETRY_DONE="処理が終了しました。
新たに読めたセクタ: %s
まだ読めないセクタ: 0 (マップファイル %s)"
SAVE_TITLE="ドライブイメージの保存"

images="$FATDRIVE_DIR"
sample_volume "$images/a.img" fat12
printf "40\n1000 3\n2048\n" > "$images/a.img.bad"
# D: a dead stretch of 2,000 sectors and ten bad sectors alone around it.
fatdrive_failing_volume d.img 10 >/dev/null
fatdrive_map_failing a floppy "$images/a.img"
loop_a="$FATDRIVE_LAST_LOOP"
fatdrive_map_failing d hd "$images/d.img"
loop_d="$FATDRIVE_LAST_LOOP"
# B: A:'s medium as the loop device, which Wine reads without knowing its
# length: the end is found by reading, past the bad sector at 2048.
fatdrive_map b floppy
ln -sfn "$loop_a" "$FATDRIVE_PREFIX/dosdevices/b::"
fatdrive_apply
! dd if="$loop_a" of=/dev/null bs=512 skip=40 count=1 iflag=direct status=none 2>/dev/null ||
    fail "the failing medium reads sector 40"
e2e_install_copy "$images/program"
printf "$E2E_EDITOR_INI" > "$images/program/veldis.INI"

windows() { echo "Z:${1//\//\\}"; }
execute() { dialog_click "$1" 218 179 129 165; }  # 実行
back() { dialog_leave "$1" 218 179 183 165; }     # 戻る

# bad_sectors MAP: the sectors a map lists as bad, as ddrescuelog reads it.
bad_sectors() { ddrescuelog -b512 -l- "$1" | tr '\n' ' '; }

# reference LOOP NAME: ddrescue's image and map of the device.
reference() {
    ddrescue -q -d -r1 -b512 "$1" "$images/$2-ddrescue.img" "$images/$2-ddrescue.map" ||
        fail "ddrescue of $1"
}

# readable_equal SOURCE IMAGE MAP: every sector the map lists as read equals
# the source, and every other one is zeros in the image.
readable_equal() {
    local expected="$images/expected.img" sector
    cp "$1" "$expected"
    for sector in $(bad_sectors "$3"); do
        dd if=/dev/zero of="$expected" bs=512 seek="$sector" count=1 conv=notrunc status=none
    done
    cmp "$expected" "$2" || fail "a sector the map lists as read differs from the source: $2"
    rm "$expected"
}

# save_failing LETTER FILE FIRST-BAD BAD-COUNT: the whole drive saved into
# FILE, answered Yes at the first unreadable sector.
boxes=0
save_failing() {
    local file="$2" map="$2.map"
    e2e_image_dialog i "$SAVE_TITLE"
    xdotool key --delay 100 "$1" Tab Tab
    xdotool type --delay 20 "$(windows "$file")"
    xdotool key Return
    e2e_answer $boxes left "$(printf "$MSG_RESCUE_ASK" "$3")"
    e2e_answer $((boxes + 1)) centre "$(printf "$MSG_RESCUE_DONE" "$4" "$(windows "$map")")"
    boxes=$((boxes + 2))
}

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
e2e_read_sector 1 b 2879
echo "ok: B:, whose end is found by reading, reaches its last sector past a bad one"
e2e_read_sector 0 a 0

# A: the floppy with bad sectors alone and a run of three.
save_failing a "$images/a-saved.img" 40 5
reference "$loop_a" a
cmp "$images/a-saved.img" "$images/a-ddrescue.img" || fail "A:'s image differs from ddrescue's"
[ "$(bad_sectors "$images/a-saved.img.map")" = "$(bad_sectors "$images/a-ddrescue.map")" ] ||
    fail "A:'s map lists $(bad_sectors "$images/a-saved.img.map"), ddrescue's $(bad_sectors "$images/a-ddrescue.map")"
[ "$(bad_sectors "$images/a-saved.img.map")" = "40 1000 1001 1002 2048 " ] ||
    fail "A:'s map lists $(bad_sectors "$images/a-saved.img.map")"
readable_equal "$images/a.img" "$images/a-saved.img" "$images/a-saved.img.map"
back "$DIALOG"
echo "ok: A: saved past its 5 bad sectors equals ddrescue's image; the maps list the same sectors"

# D: 128 MiB with a dead stretch.
save_failing d "$images/d-saved.img" 4099 2010
reference "$loop_d" d
cmp "$images/d-saved.img" "$images/d-ddrescue.img" || fail "D:'s image differs from ddrescue's"
[ "$(bad_sectors "$images/d-saved.img.map")" = "$(bad_sectors "$images/d-ddrescue.map")" ] ||
    fail "D:'s map differs from ddrescue's"
[ "$(bad_sectors "$images/d-saved.img.map" | wc -w)" = 2010 ] || fail "D:'s map lists no 2,010 sectors"
readable_equal "$images/d.img" "$images/d-saved.img" "$images/d-saved.img.map"
echo "ok: D: saved past a dead stretch equals ddrescue's image; the maps list the same 2,010 sectors"

# The sectors heal: saving onto the image again goes back for the holes only.
rm "$images/d.img.bad"
execute "$DIALOG"
e2e_answer $boxes left "$(printf "$MSG_RESCUE_RETRY" "$(windows "$images/d-saved.img.map")" 2010)"
e2e_answer $((boxes + 1)) centre "$(printf "$MSG_RETRY_DONE" 2010 "$(windows "$images/d-saved.img.map")")"
cmp "$images/d.img" "$images/d-saved.img" || fail "the holes were not filled"
[ -z "$(bad_sectors "$images/d-saved.img.map")" ] || fail "the map still lists bad sectors"
ddrescuelog -D "$images/d-saved.img.map" || fail "ddrescuelog does not find the map finished"
back "$DIALOG"
echo "ok: with the errors gone, the retry filled the 2,010 holes: D:'s image equals the device"

[ "$(e2e_close)" = 0 ] || fail "exit code"
