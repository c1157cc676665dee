#!/usr/bin/env bash
# partitions.sh PREFIX EXE: whole disks made by sfdisk, an MBR with an
# extended partition and a GPT, opened as image files and as drive letters
# mapped to a whole loop device. The partition list agrees with sfdisk; a
# partition shown from it has its areas where fsck.fat finds them; a byte
# written inside it lands there alone; the partition table's own sectors ask
# once more before they are written; a GPT whose first header is broken is
# read from the one at the disk's end, with a warning.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"
dir="$FATDRIVE_DIR"
export MTOOLS_SKIP_CHECK=1
e2e_install_copy "$dir/program"
printf "$E2E_EDITOR_INI" > "$dir/program/veldis.INI"  # writes are confirmed
# The list's cells and the texts of static lines reach no outside tool but
# Wine's traces: the list view traces every item and sub-item it is given
# (LISTVIEW_InsertItemT, LISTVIEW_SetItemT) with its Shift-JIS bytes, every
# selection it makes (LISTVIEW_SetItemState) and the keyboard it takes; the
# window channel traces each window text set (set_window_text), the note
# under the list among them. Reading the cells back through the accessibility
# bridge or a screenshot would add a second program or OCR to trust.
E2E_TRACE=trace+listview,trace+win

BASIC_DATA=EBD0A0A2-B9E5-4433-87C0-68B6B72699C7
# Each FAT type is sized well inside its cluster counts (FAT12 below 4085,
# FAT16 up to 65524, FAT32 from 65525): 16 MiB in 2 KiB clusters for FAT16,
# 36 MiB in 512-byte clusters for FAT32, 8 MiB in 4 KiB clusters for FAT12.
truncate -s 64M "$dir/mbr.img"
sfdisk -q "$dir/mbr.img" >/dev/null <<'EOF' || fail "sfdisk refused the MBR layout"
label: dos
label-id: 0x5645444c
start=2048, size=32768, type=e
start=34816, type=5
start=36864, size=73728, type=c
start=112640, size=16384, type=1
EOF
truncate -s 64M "$dir/gpt.img"
sfdisk -q "$dir/gpt.img" >/dev/null <<EOF || fail "sfdisk refused the GPT layout"
label: gpt
label-id: 5645444C-0000-4000-8000-000000000001
start=2048, size=32768, type=$BASIC_DATA, name="alpha"
start=34816, size=94208, type=$BASIC_DATA, name="beta"
EOF

# partitions IMAGE: "NUMBER START SIZE TYPE", one a line, as sfdisk --dump lists them.
partitions() {
    sfdisk --dump "$1" |
        sed -n 's/^[^ ]*[^0-9]\([0-9][0-9]*\) *: *start= *\([0-9]*\), *size= *\([0-9]*\), *type=\([0-9A-Fa-f-]*\).*/\1 \2 \3 \4/p'
}
# partition IMAGE NUMBER: "START SIZE" of that partition.
partition() { partitions "$1" | awk -v n="$2" '$1 == n { print $2, $3 }'; }
[ "$(partitions "$dir/mbr.img" | wc -l)" = 4 ] || fail "sfdisk made: $(partitions "$dir/mbr.img")"
[ "$(partitions "$dir/gpt.img" | wc -l)" = 2 ] || fail "sfdisk made: $(partitions "$dir/gpt.img")"

# format IMAGE NUMBER FAT-BITS SECTORS-A-CLUSTER LABEL
declare -A CONTENTS  # what the list says a partition holds, by IMAGE:START
format() {
    local start size out
    read -r start size <<< "$(partition "$dir/$1" "$2")"
    # mkfs.fat warns that the file is longer than the volume: it is the disk.
    out="$(mkfs.fat -F "$3" -s "$4" -n "$5" -h "$start" --offset "$start" \
        "$dir/$1" $((size / 2)) 2>&1)" || fail "mkfs.fat: $out"
    CONTENTS["$1:$start"]="FAT$3 ($5)"
}
format mbr.img 1 16 4 VELDIS_P1
format mbr.img 5 32 1 VELDIS_P5
format mbr.img 6 12 8 VELDIS_P6
format gpt.img 1 16 4 GPT_ALPHA
format gpt.img 2 32 1 GPT_BETA
printf 'hello\r\n' > "$dir/hello.txt"
put() {  # IMAGE NUMBER NAME
    local start size
    read -r start size <<< "$(partition "$dir/$1" "$2")"
    mcopy -i "$dir/$1@@$((start * 512))" "$dir/hello.txt" "::/$3" || fail "mcopy into $1 $2"
}
put mbr.img 1 HELLO.TXT
put mbr.img 6 HELLO.TXT
put mbr.img 6 WORLD.TXT
put gpt.img 2 HELLO.TXT

# The images opened as files; copies of them behind the drive letters: D: the
# MBR disk, G: the GPT disk whole; the GPT file has its first header zeroed.
cp "$dir/mbr.img" "$dir/d.img"
cp "$dir/gpt.img" "$dir/g.img"
cp "$dir/gpt.img" "$dir/gptbad.img"
dd if=/dev/zero of="$dir/gptbad.img" bs=512 seek=1 count=1 conv=notrunc status=none
for key in "${!CONTENTS[@]}"; do
    case "$key" in
        mbr.img:*) CONTENTS["d.img:${key#*:}"]="${CONTENTS[$key]}" ;;
        gpt.img:*) CONTENTS["g.img:${key#*:}"]="${CONTENTS[$key]}" ;;
    esac
done
fatdrive_map d hd "$dir/d.img"
fatdrive_map g hd "$dir/g.img"
fatdrive_apply
LAST_SECTOR=$((64 * 2048 - 1))

# piece IMAGE NUMBER: the partition copied out, as part.img.
piece() {
    local start size
    read -r start size <<< "$(partition "$dir/$1" "$2")"
    dd if="$dir/$1" of="$dir/part.img" bs=512 skip="$start" count="$size" status=none
}
# fsck_at TEXT: the sector fsck.fat -v gives for part.img on its line starting TEXT.
fsck_at() { fsck.fat -v -n "$dir/part.img" | sed -n "s/^$1.*(sector \([0-9]*\)).*/\1/p"; }

# status PART: the part's text as last set, as Wine's trace writes its
# Shift-JIS bytes (\x escapes past ASCII).
status() {
    sed -n "s/.*STATUSBAR_SetTextT part $1, text \"\\(.*\\)\"\$/\\1/p" "$E2E_LOG/trace" | tail -n 1
}
sjis_trace() {
    local byte
    for byte in $(printf '%s' "$1" | iconv -f UTF-8 -t CP932 | od -An -v -tx1); do
        if [ $((16#$byte)) -ge 32 ] && [ $((16#$byte)) -lt 127 ]; then
            printf "\\x$byte"
        else
            printf '\\x%s' "$byte"
        fi
    done
}
status_is() { [ "$(status "$1")" = "$(sjis_trace "$2")" ]; }
expect_status() {
    e2e_until 20 status_is "$1" "$2" || fail "status part $1: expected '$2', shows '$(status "$1")'"
}

# title DISK SECTOR [PARTITION]: the main window's title as a pattern.
title() {
    if [ -n "${3:-}" ]; then
        echo "^Veldis - $1　パーティション$3　$2セクタ\$"
    else
        echo "^Veldis - $1　$2セクタ\$"
    fi
}

# click_byte LINE CELL: a click on a cell of the dump (middle font: 21 x 10
# pixels), below the menu bar.
E2E_DUMP_TOP=19  # the menu bar: Xvfb has no window manager to add a caption
click_byte() {
    xdotool mousemove --window "$MAIN" $(($2 * 10 + 5)) $((E2E_DUMP_TOP + $1 * 21 + 10)) click 1
}
# caret_on OFFSET: the caret put on the high digit of the byte at OFFSET.
caret_on() {
    e2e_focus_main
    click_byte $(($1 / 16)) $((6 + 3 * ($1 % 16)))
    expect_status 0 "ｵﾌｾｯﾄ $(printf '%04X' "$1") 上位"
}

# changes BEFORE AFTER: cmp -l's lines, one "POSITION OLD NEW" (1-based, octal) a space.
changes() { { cmp -l "$1" "$2" || true; } | tr -s ' ' | sed 's/^ //' | tr '\n' ' '; }

# write_byte IMAGE SECTOR OFFSET HEX: the byte at OFFSET of the sector shown
# typed over and written, the usual question answered OK and no other asked:
# the disk differs in that byte alone.
write_byte() {
    local image="$dir/$1" at=$(($2 * 512 + $3)) boxes old
    cp "$image" "$dir/before"
    caret_on "$3"
    boxes="$(e2e_box_count)"
    xdotool key --delay 100 "${4:0:1}" "${4:1:1}" ctrl+w
    e2e_answer "$boxes" left "編集した内容を書き込みます。"
    e2e_until 30 bash -c "! cmp -s '$dir/before' '$image'" || fail "$1: the byte was not written"
    e2e_focus_main  # no box: a sector inside a partition needs no second question
    old="$(od -An -tu1 -j "$at" -N 1 "$dir/before" | tr -d ' ')"
    [ "$(changes "$dir/before" "$image")" = "$((at + 1)) $(printf '%o' "$old") $(printf '%o' $((16#$4))) " ] ||
        fail "$1: writing byte $at changed: $(changes "$dir/before" "$image")"
}

# refuse_table_write IMAGE SECTOR PHRASE: the sector shown, a partition
# table's, typed over: the write asks twice, the second time naming it;
# キャンセル there leaves the disk as it was, and the digits are taken back.
refuse_table_write() {
    local boxes
    cp "$dir/$1" "$dir/before"
    caret_on 0
    boxes="$(e2e_box_count)"
    xdotool key --delay 100 4 2 ctrl+w
    e2e_answer "$boxes" left "編集した内容を書き込みます。"
    e2e_answer $((boxes + 1)) right "セクタ $2 は$3で、ディスク上のパーティションの位置が記録されています。
書き換えると、パーティションが読めなくなることがあります。
書き込んでもよろしいですか？"
    e2e_focus_main  # taken once the refused write has been handled
    cmp "$dir/before" "$dir/$1" || fail "キャンセル at the question about sector $2 wrote to $1"
    xdotool key --delay 100 ctrl+z ctrl+z
    expect_status 4 "変更 0 ﾊﾞｲﾄ"
}

# jump KEY DISK SECTOR PARTITION AREA: the 指定ｾｸﾀ jump under KEY shows
# SECTOR of the disk, its area in the status bar.
jump() {
    e2e_focus_main
    xdotool key --delay 100 alt+v s "$1"
    e2e_wait_title "$(title "$2" "$3" "$4")" 30 >/dev/null
    expect_status 3 "$5"
}

# check_areas IMAGE NUMBER DISK SHOWN: partition NUMBER of IMAGE, shown as
# ﾊﾟｰﾃｨｼｮﾝ SHOWN on DISK: its FAT, DIR and DATA jumps land at its start plus
# the sectors fsck.fat finds in a copy of it; IPL at its start. DATA_SECTOR
# is left at its data area.
check_areas() {
    local start size fat root data
    read -r start size <<< "$(partition "$dir/$1" "$2")"
    piece "$1" "$2"
    fat="$(fsck_at 'First FAT')"
    root="$(fsck_at 'Root directory')"  # FAT32 keeps it in a cluster: no sector
    data="$(fsck_at 'Data area')"
    [ -n "$fat" ] && [ -n "$data" ] || fail "fsck.fat gives no layout for $1 $2"
    jump f "$3" $((start + fat)) "$4" "ﾊﾟｰﾃｨｼｮﾝ$4 FAT"
    if [ -n "$root" ]; then
        jump e "$3" $((start + root)) "$4" "ﾊﾟｰﾃｨｼｮﾝ$4 DIR"
    fi
    jump i "$3" "$start" "$4" "ﾊﾟｰﾃｨｼｮﾝ$4 IPL"
    jump d "$3" $((start + data)) "$4" "ﾊﾟｰﾃｨｼｮﾝ$4 DATA ｸﾗｽﾀ 2"
    DATA_SECTOR=$((start + data))
}

# The partition list.
LIST_MARK=0
# Its readers take the whole trace: a grep -q that stopped early would kill
# tail, and the pipeline would fail for the very line it found.
trace_since_list() { tail -n +"$((LIST_MARK + 1))" "$E2E_LOG/trace"; }
list_focused() {
    trace_since_list | grep -aE 'trace:listview:LISTVIEW_WindowProc hwnd [0-9A-Fa-f]+, uMsg 7,' >/dev/null
}
# open_list: 表示 → ﾊﾟｰﾃｨｼｮﾝ一覧, once its list has the keyboard; LIST is its window.
open_list() {
    e2e_focus_main
    LIST_MARK="$(wc -l < "$E2E_LOG/trace")"
    xdotool key alt+v p
    LIST="$(e2e_wait_window 'パーティション一覧' 30)"
    e2e_until 30 list_focused || fail "the partition list does not take the keyboard"
}
# list_cells: "ROW COLUMN TEXT" for each cell the list was given, TEXT as
# the trace writes it.
list_cells() {
    trace_since_list | sed -n \
        -e 's/.*trace:listview:LISTVIEW_InsertItemT (item={iItem=\([0-9]*\), iSubItem=\([0-9]*\), pszText="\(.*\)", cchTextMax=.*/\1 \2 \3/p' \
        -e 's/.*trace:listview:LISTVIEW_SetItemT (lpLVItem={iItem=\([0-9]*\), iSubItem=\([0-9]*\), pszText="\(.*\)", cchTextMax=.*/\1 \2 \3/p'
}
cell() { list_cells | awk -v r="$1" -v c="$2" '$1 == r && $2 == c { sub(/^[0-9]+ [0-9]+ /, ""); t = $0 } END { print t }'; }
row_count() { trace_since_list | grep -ac 'trace:listview:LISTVIEW_InsertItemT (item=' || true; }
# selected_row: the row the list selected last.
selected_row() {
    trace_since_list |
        sed -n 's/.*trace:listview:LISTVIEW_SetItemState item={iItem=\([0-9]*\), iSubItem=0, state=3, stateMask=3}.*/\1/p' |
        tail -n 1
}
is_selected() { [ "$(selected_row)" = "$1" ]; }
# list_down_to ROW: Down until ROW is selected, each step waited for.
list_down_to() {
    local row
    row="$(selected_row)"
    [ -n "$row" ] || fail "the list selects no row"
    while [ "$row" -lt "$1" ]; do
        row=$((row + 1))
        xdotool key --window "$LIST" Down
        e2e_until 30 is_selected "$row" || fail "the list did not move to row $row"
    done
}
# note_said TEXT: the line under the list was given TEXT.
note_said() { trace_since_list | grep -aF "trace:win:set_window_text L\"$(wine_text "$1")\"" >/dev/null; }
# window_texts: the window texts set since the list was asked for, as the trace escapes them.
window_texts() { trace_since_list | sed -n 's/.*trace:win:set_window_text //p' | tr '\n' ' '; }
BACKUP_NOTE="GPTの先頭のﾍｯﾀﾞが壊れているため、予備のﾍｯﾀﾞから読みました。"

# size_text SECTORS: the size column for a partition of MiB and KiB.
size_text() {
    local kib=$(($1 / 2))
    echo "$((kib / 1024)).$(((kib % 1024) * 10 / 1024)) MB"
}
type_name() {
    case "$1" in
        1) echo FAT12 ;; e) echo FAT16 ;; c) echo FAT32 ;; 5) echo Extended ;;
        "$BASIC_DATA") echo "Microsoft basic data" ;;
        *) fail "no name known for type $1" ;;
    esac
}
expect_cell() {  # ROW COLUMN TEXT WHAT
    [ "$(cell "$1" "$2")" = "$(sjis_trace "$3")" ] ||
        fail "$4: row $1 column $2 shows '$(cell "$1" "$2")', expected '$3'"
}
# check_list IMAGE WHAT: the list open shows IMAGE's partitions as sfdisk
# dumps them, in its order, numbered from 1.
check_list() {
    local row=0 number start size type scheme contents
    [ "$(row_count)" = "$(partitions "$dir/$1" | wc -l)" ] ||
        fail "$2: the list has $(row_count) rows; sfdisk: $(partitions "$dir/$1" | tr '\n' '|')"
    while read -r number start size type; do
        if [ ${#type} -gt 2 ]; then scheme=GPT
        elif [ "$number" -le 4 ]; then scheme="MBR 基本"
        else scheme="MBR 論理"; fi
        contents="${CONTENTS["$1:$start"]:-}"  # an extended partition's row says nothing
        expect_cell $row 0 $((row + 1)) "$2"
        expect_cell $row 1 "$scheme" "$2"
        expect_cell $row 2 "$(type_name "$type")" "$2"
        expect_cell $row 3 "$start" "$2"
        expect_cell $row 4 $((start + size - 1)) "$2"
        expect_cell $row 5 "$(size_text "$size")" "$2"
        expect_cell $row 6 "$contents" "$2"
        expect_cell $row 7 "" "$2"
        row=$((row + 1))
    done < <(partitions "$dir/$1")
}

# read_drive LETTER FULL-WIDTH SECTOR: the sector read through the read dialog.
read_drive() {
    e2e_focus_main
    xdotool key ctrl+r
    local dialog
    dialog="$(e2e_wait_dialog 'セクタ読込' 30)"
    xdotool key --window "$dialog" --delay 80 End $(printf 'BackSpace %.0s' $(seq 10)) \
        $(echo "$3" | sed 's/./& /g') shift+Tab "$1" Return
    e2e_wait_title "$(title "$2ドライブ" "$3")" 30 >/dev/null
}

read -r P6_START _ <<< "$(partition "$dir/mbr.img" 6)"
read -r EXT_START _ <<< "$(partition "$dir/mbr.img" 2)"
# The second EBR: the first one's link, counted from the extended partition's start.
EBR2=$((EXT_START + $(od -An -tu4 -j $((EXT_START * 512 + 446 + 16 + 8)) -N 4 "$dir/mbr.img" | tr -d ' ')))

E2E_ARGUMENT="Z:${dir//\//\\}\\mbr.img"
e2e_start
e2e_wait_title "$(title mbr.img 0)" 30 >/dev/null
expect_status 3 "MBR"

refuse_table_write mbr.img 0 "MBR（マスターブートレコード）"
echo "ok: writing the MBR asks a second question; キャンセル leaves the image as it was"

# The list of the MBR image; its extended partition's own row shows nothing
# (the selection still moves in the list after Enter on it), a logical one does.
open_list
check_list mbr.img "mbr.img"
note_said "$BACKUP_NOTE" && fail "mbr.img: the list says its GPT was read from the backup (texts set: $(window_texts))"
list_down_to 1
xdotool key --window "$LIST" Return
list_down_to 2
e2e_wait_title "$(title mbr.img 0)" 5 >/dev/null  # still there: nothing was shown
window_gone "$LIST" && fail "Enter on the extended partition closed the list"
list_down_to 3
xdotool key --window "$LIST" Return
e2e_wait_title "$(title mbr.img "$P6_START" 4)" 30 >/dev/null
e2e_until 30 window_gone "$LIST" || fail "the list stayed after showing a partition"
expect_status 3 "ﾊﾟｰﾃｨｼｮﾝ4 IPL"
echo "ok: mbr.img's list agrees with sfdisk; the extended partition stays unshown, the second logical one shows"

check_areas mbr.img 6 mbr.img 4
write_byte mbr.img "$DATA_SECTOR" $((0x25)) 5A
piece mbr.img 6
fsck.fat -n "$dir/part.img" >/dev/null || fail "fsck.fat finds mbr.img's partition 6 damaged"
jump l mbr.img "$LAST_SECTOR" "" ""  # past the last partition: no area
echo "ok: mbr.img partition 4 (sfdisk's 6): FAT, DIR, IPL and DATA where fsck.fat finds them, LAST at the disk's end; a byte written lands alone"

# The GPT file with its first header zeroed: the warning names the file; the
# list, read from the backup, says so.
boxes="$(e2e_box_count)"
e2e_focus_main
xdotool key ctrl+o
file_dialog '(開く|Open)' "Z:${dir//\//\\}\\gptbad.img"
e2e_answer "$boxes" centre "gptbad.imgのGPTは先頭のヘッダが壊れているため、ディスクの最後にある予備のヘッダからパーティションを読みました。"
e2e_wait_title "$(title gptbad.img 0)" 30 >/dev/null
open_list
check_list gpt.img "gptbad.img"
note_said "$BACKUP_NOTE" || fail "gptbad.img: the list does not say its GPT was read from the backup (texts set: $(window_texts))"
# A double click on the second row shows it: clicked once first, so a row
# missed is told from a double click unheard. Rows are 14 pixels below a
# header of 17.
row_y=$((17 + 14 + 7))
for _ in $(seq 5); do
    xdotool mousemove --window "$LIST" 60 "$row_y" click --window "$LIST" 1
    e2e_until 5 is_selected 1 && break
done
is_selected 1 || fail "a click on the second row does not select it (selected: $(selected_row))"
read -r start _ <<< "$(partition "$dir/gpt.img" 2)"
xdotool mousemove --window "$LIST" 60 "$row_y" click --window "$LIST" --repeat 2 --delay 80 1
e2e_wait_title "$(title gptbad.img "$start" 2)" 30 >/dev/null
expect_status 3 "ﾊﾟｰﾃｨｼｮﾝ2 IPL"
check_areas gpt.img 2 gptbad.img 2
echo "ok: gptbad.img opens from the backup header with its warning; a double click shows partition 2, its areas where fsck.fat finds them"

# D: maps the MBR disk's loop device whole.
read_drive d Ｄ 0
expect_status 3 "MBR"
read_drive d Ｄ "$EBR2"
expect_status 3 "EBR"
refuse_table_write d.img "$EBR2" "EBR（拡張パーティションのブートレコード）"
open_list
check_list d.img "Ｄドライブ"
list_down_to 3
xdotool key --window "$LIST" Return
e2e_wait_title "$(title Ｄドライブ "$P6_START" 4)" 30 >/dev/null
expect_status 3 "ﾊﾟｰﾃｨｼｮﾝ4 IPL"
check_areas d.img 6 Ｄドライブ 4
write_byte d.img "$DATA_SECTOR" $((0x46)) C3
piece d.img 6
fsck.fat -n "$dir/part.img" >/dev/null || fail "fsck.fat finds D:'s partition 6 damaged"
echo "ok: D: as a whole disk: MBR and EBR named, the EBR's write asks twice, the list agrees with sfdisk, partition 4's areas where fsck.fat finds them, a byte written lands alone"

# G: maps the GPT disk whole, its headers intact: no warning, no note.
read_drive g Ｇ 1
expect_status 3 "GPTﾍｯﾀﾞ"
e2e_focus_main  # no box about the GPT
refuse_table_write g.img 1 "GPTのヘッダ"
read_drive g Ｇ 2
expect_status 3 "GPTｴﾝﾄﾘ"
open_list
check_list g.img "Ｇドライブ"
note_said "$BACKUP_NOTE" && fail "G: the list says its intact GPT was read from the backup (texts set: $(window_texts))"
xdotool key --window "$LIST" Return
e2e_wait_title "$(title Ｇドライブ "$(partition "$dir/g.img" 1 | cut -d' ' -f1)" 1)" 30 >/dev/null
expect_status 3 "ﾊﾟｰﾃｨｼｮﾝ1 IPL"
echo "ok: G: as a whole GPT disk: header and entries named, the header's write asks twice, the list agrees with sfdisk, Enter shows partition 1"

[ "$(e2e_close)" = 0 ] || fail "exit code"
cmp "$dir/gpt.img" "$dir/g.img" || fail "G: changed without a write"
echo "PASS"
