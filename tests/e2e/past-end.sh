#!/usr/bin/env bash
# past-end.sh PREFIX EXE: volumes whose boot sectors claim more sectors than
# their devices hold. The device bounds the sectors shown; a write past the
# end of a medium that shrank reports an error (the read that comes before
# every write fails) and leaves every byte of the device as it was.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

MSG_SECTOR_READ_ERROR="セクタ読込エラーが発生しました。"

# Both FAT16 volumes claim 65536 sectors. D: holds all but the last, E: 40000.
images="$FATDRIVE_DIR"
sample_volume "$images/d.img" fat16
cp "$images/d.img" "$images/e.img"
truncate -s $((65535 * 512)) "$images/d.img"
truncate -s $((40000 * 512)) "$images/e.img"
fatdrive_map d hd "$images/d.img"
fatdrive_map e hd "$images/e.img"
fatdrive_apply
e2e_install_copy "$images/program"
# Ctrl+W writes without its question, so each write brings one box at most.
printf "${E2E_EDITOR_INI}OPTFLAG1=0\r\n" > "$images/program/veldis.INI"

# answer BOXES-BEFORE TEXT: the next box is TEXT; its button closes
# it, and the main window takes keys again once the box has gone.
answer() {
    local text
    text="$(e2e_answer_box "$1" centre)"
    [ "$text" = "$(wine_text "$2")" ] || fail "expected '$2', the box said: $text"
    e2e_until 10 e2e_no_box || fail "the box stayed"
    e2e_focus_main
}

# shrink LETTER SECTORS: the medium loses its tail while the editor shows it.
shrink() {
    local image="$images/$1.img"
    truncate -s $(($2 * 512)) "$image"
    losetup -c "$(losetup -j "$image" -O NAME -n)"
    cp "$image" "$images/$1.before"
}

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
# The device, not the boot sector, says where the volume ends.
for drive in "3 d 65534" "4 e 39999"; do
    read -r index letter last <<< "$drive"
    cp "$images/$letter.img" "$images/$letter.before"
    e2e_read_sector "$index" "$letter" 0
    xdotool key alt+v s l
    e2e_wait_title "$(e2e_title "$index" "$last")" 30 >/dev/null
    e2e_focus_main
    cmp -s "$images/$letter.before" "$images/$letter.img" || fail "${letter^^}: LAST changed the device"
done
[ "$(e2e_box_count)" = 0 ] || fail "LAST showed a box: $(e2e_boxes)"
echo "ok: LAST is the device's last sector, one short of the boot sector's and far short; nothing moves"

# A sector shown, edited, and the medium shrinks under it before the write.
boxes=0
for case in "3 d 65534 65534" "4 e 30000 20000"; do
    read -r index letter sector keep <<< "$case"
    e2e_read_sector "$index" "$letter" "$sector"
    shrink "$letter" "$keep"
    xdotool key --delay 100 Home 5 A ctrl+w
    answer "$boxes" "$MSG_SECTOR_READ_ERROR"
    boxes=$((boxes + 1))
    cmp "$images/$letter.before" "$images/$letter.img" || fail "${letter^^}: the failed write changed the device"
    xdotool key alt+e r  # drop the edit, so closing asks nothing
done
echo "ok: a write one past the end and far past it reports the error; the device is unchanged"

[ "$(e2e_close)" = 0 ] || fail "exit code"
