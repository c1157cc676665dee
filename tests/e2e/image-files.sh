#!/usr/bin/env bash
# image-files.sh PREFIX EXE: image files, mapped as no drive, opened as drives
# of their own from the command line and by Ctrl+O: their sectors as their
# boot sectors give them, a write of one byte, and files that cannot be written
# or shown as volumes. A file handed over during a search opens once it ends;
# a device's path is no image file.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin "$1" "$2"
dir="$(mktemp -d /tmp/veldis-images-XXXXXX)"
trap 'umount -l "$dir/ro" 2>/dev/null; rm -rf "$dir"; e2e_end' EXIT
e2e_install_copy "$dir/program"
printf "${E2E_EDITOR_INI}OPTFLAG1=0\r\n" > "$dir/program/veldis.INI"
export MTOOLS_SKIP_CHECK=1

printf 'hello\r\n' > "$dir/hello.txt"
make_image() {  # NAME SECTOR-SIZE KIB FAT-BITS
    mkfs.fat -C -F "$4" -S "$2" -s 1 "$dir/$1" "$3" >/dev/null
    mcopy -i "$dir/$1" "$dir/hello.txt" ::/HELLO.TXT
}
make_image fd.img 512 1440 12
make_image k1.img 1024 16384 16
make_image k4.img 4096 270000 32

windows_path() { echo "Z:${1//\//\\}"; }
title() { echo "^Veldis - $1　$2セクタ\$"; }
# fsck_at IMAGE TEXT: the sector fsck.fat -v gives on its line starting TEXT.
fsck_at() { fsck.fat -v -n "$dir/$1" | sed -n "s/^$2.*(sector \([0-9]*\)).*/\1/p"; }
total() { fsck.fat -v -n "$dir/$1" | sed -n 's/^ *\([0-9]*\) sectors total.*/\1/p'; }

open_image() {
    e2e_focus_main
    xdotool key ctrl+o
    file_dialog '(開く|Open)' "$(windows_path "$dir/$1")"
}
# shows NAME KEYS SECTOR: KEYS (after a click into the window) show SECTOR.
shows() {
    e2e_focus_main
    xdotool key --delay 100 $2
    e2e_wait_title "$(title "$1" "$3")" 30 >/dev/null
}
cluster() {
    e2e_focus_main
    xdotool key alt+v c
    local dialog
    dialog="$(e2e_wait_dialog 'クラスタの指定' 30)"
    xdotool key --window "$dialog" --delay 60 End $(printf 'BackSpace %.0s' $(seq 10)) \
        $(echo "$1" | sed 's/./& /g') Return
}
# sector_size NAME SECTOR SIZE: the sector saved as a sector file is SIZE
# bytes, those of the image at SECTOR.
sector_size() {
    e2e_focus_main
    xdotool key ctrl+s
    file_dialog '(名前を付けて保存|Save As)' "$(windows_path "$dir/sector.sct")"
    e2e_focus_main  # taken once the save has been handled
    [ -f "$dir/sector.sct" ] || fail "$1: no sector file"
    [ "$(stat -c %s "$dir/sector.sct")" = "$3" ] || fail "$1: a sector of $(stat -c %s "$dir/sector.sct") bytes"
    cmp -s "$dir/sector.sct" <(dd if="$dir/$1" bs="$3" skip="$2" count=1 status=none) ||
        fail "$1: the sector file is not sector $2"
    rm -f "$dir/sector.sct"
}

E2E_ARGUMENT="$(windows_path "$dir/fd.img")"
e2e_start
e2e_wait_title "$(title fd.img 0)" 30 >/dev/null
shows fd.img "alt+v s l" $(($(total fd.img) - 1))
shows fd.img "alt+v s f" "$(fsck_at fd.img 'First FAT')"
shows fd.img "alt+v s e" "$(fsck_at fd.img 'Root directory')"
data="$(fsck_at fd.img 'Data area')"
shows fd.img "alt+v s d" "$data"
cp "$dir/fd.img" "$dir/before"
e2e_focus_main
xdotool key --delay 100 Home A 5 ctrl+w
e2e_until 30 bash -c "! cmp -s '$dir/before' '$dir/fd.img'" || true  # the write lands
changed="$({ cmp -l "$dir/before" "$dir/fd.img" || true; } | tr -s ' ' | sed 's/^ //' | tr '\n' ' ')"
[ "$changed" = "$((data * 512 + 1)) 150 245 " ] || fail "the write changed: $changed"
[ "$(stat -c %s "$dir/fd.img")" = $((1440 * 1024)) ] || fail "the write changed the file's length"
fsck.fat -n "$dir/fd.img" >/dev/null || fail "fsck.fat finds the floppy image damaged"
echo "ok: a FAT12 image from the command line: LAST, FAT, DIR and DATA where fsck.fat says; a byte written alone"

for image in "k1.img 1024" "k4.img 4096"; do
    read -r name size <<< "$image"
    open_image "$name"
    e2e_wait_title "$(title "$name" 0)" 30 >/dev/null
    shows "$name" "alt+v s l" $(($(total "$name") - 1))
    data="$(fsck_at "$name" 'Data area')"
    start="$(mshowfat -i "$dir/$name" ::/HELLO.TXT | sed 's/[^<]*<\([0-9]*\).*/\1/')"
    cluster "$start"
    e2e_wait_title "$(title "$name" $((data + start - 2)))" 30 >/dev/null
    sector_size "$name" $((data + start - 2)) "$size"
    echo "ok: $name in sectors of $size bytes: LAST, and cluster $start where mshowfat has it"
done

MSG_READ_ONLY="このイメージファイルは読み取り専用のため、書き込めません。"
# Root writes a file whatever its mode: one file lies on a read-only mount,
# the other has the read-only attribute alone.
mkdir "$dir/ro"
mount -t tmpfs -o size=4m tmpfs "$dir/ro"
cp "$dir/fd.img" "$dir/ro/ro.img"
mount -o remount,ro "$dir/ro"
cp "$dir/fd.img" "$dir/ro444.img"
chmod 444 "$dir/ro444.img"
for image in ro/ro.img ro444.img; do
    open_image "$image"
    e2e_wait_title "$(title "${image#ro/}" 0)" 30 >/dev/null
    e2e_focus_main
    boxes="$(e2e_box_count)"
    xdotool key --delay 100 Home A 5 ctrl+w
    e2e_answer "$boxes" centre "$MSG_READ_ONLY"
    e2e_until 10 e2e_no_box || fail "the box stayed"
    e2e_focus_main  # taken once the refused write has been handled
    cmp "$dir/fd.img" "$dir/$image" || fail "the read-only image $image changed"
    xdotool key alt+e r  # the edit dropped: the next opening asks nothing
done
echo "ok: a read-only image, by its mount or its attribute, refuses the write with a box and stays as it was"

cp "$dir/fd.img" "$dir/zero.img"
dd if=/dev/zero of="$dir/zero.img" bs=512 count=1 conv=notrunc status=none
open_image zero.img
e2e_wait_title "$(title zero.img 0)" 30 >/dev/null
shows zero.img "alt+v s l" $((1440 * 1024 / 512 - 1))
echo "ok: a zeroed boot sector opens raw, LAST at the file's length"

head -c 100 /dev/urandom > "$dir/short.img"
boxes="$(e2e_box_count)"
open_image short.img
e2e_answer "$boxes" centre "1セクタ (512 バイト) に満たないファイルは開けません。"
e2e_wait_title "$(title zero.img $((1440 * 2 - 1)))" 20 >/dev/null
echo "ok: a file of 100 bytes is refused; the image shown stays"

# A second start hands its file, the one shown, to the running window and
# ends; opened again, the file can still be written.
cp "$dir/zero.img" "$dir/before"
(cd "$dir" && "$VELDIS_WINE" "$E2E_EXE" zero.img >/dev/null 2>&1) ||
    fail "the second start did not end well"
e2e_wait_title "$(title zero.img 0)" 30 >/dev/null
e2e_focus_main
xdotool key --delay 100 Home 5 A ctrl+w
e2e_until 30 bash -c "! cmp -s '$dir/before' '$dir/zero.img'" || true  # the write lands
changed="$({ cmp -l "$dir/before" "$dir/zero.img" || true; } | tr -s ' ' | sed 's/^ //' | tr '\n' ' ')"
[ "$changed" = "1 0 132 " ] || fail "the file opened again wrote: $changed"
echo "ok: a second start hands its file to the running window; the same file opened again writes"

# A second start during a search: its file waits until the search ends, and
# does not take the place of the file searched under the run.
truncate -s 1T "$dir/big.img"
open_image big.img
e2e_wait_title "$(title big.img 0)" 30 >/dev/null
e2e_find "12 34 56 78" hex down
run="$(e2e_wait_window '検索' 30)"
(cd "$dir" && "$VELDIS_WINE" "$E2E_EXE" k4.img >/dev/null 2>&1) ||
    fail "the second start did not end well"
# Nothing to wait for but time: the file must not open while the search runs.
e2e_until 2 bash -c "! xdotool search --name '^Veldis - big.img' >/dev/null" &&
    fail "the handed file opened in the middle of the search"
window_gone "$run" && fail "the search ended before the hand-over was seen"
dialog_click "$run" 180 52 90 40  # 中止
e2e_wait_title "$(title k4.img 0)" 30 >/dev/null
echo "ok: a file handed over during a search opens once the search is stopped"

# A device's path, handed over, is refused as an image file.
boxes="$(e2e_box_count)"
(cd "$dir" && "$VELDIS_WINE" "$E2E_EXE" '\\.\D:' >/dev/null 2>&1) ||
    fail "the third start did not end well"
e2e_answer "$boxes" centre "デバイスはイメージファイルとして使えません。
ドライブはドライブの一覧から選んで下さい。"
e2e_wait_title "$(title k4.img 0)" 20 >/dev/null
echo "ok: a device's path is no image file"

[ "$(e2e_close)" = 0 ] || fail "exit code"
