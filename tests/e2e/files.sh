#!/usr/bin/env bash
# files.sh PREFIX EXE: the file system read through the structure view, on
# volumes mkfs.fat made and mtools filled: FAT12 as an image file handed on
# the command line, FAT16 as D: and FAT32 as E: on loop devices. The rows of
# each root directory, and of a subdirectory entered with Enter, give the
# names, sizes and first clusters fls and istat find; choosing a row puts the
# caret on its entry; a fragmented file saved from its row is mcopy's copy
# of it; a deleted one, saved through the question for its first character,
# is the file it was and what icat recovers, and is refused on its own
# drive; 次のｸﾗｽﾀ walks the fragmented file's chain to its end, 前のｸﾗｽﾀ back.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"
dir="$FATDRIVE_DIR"
export MTOOLS_SKIP_CHECK=1
# The view's cells and its title line reach no outside tool but Wine's
# traces, as the partition list's do (see partitions.sh).
E2E_TRACE=trace+listview,trace+win
JAPANESE="日本語ソフト表.txt"  # ソ and 表 end in 5Ch, a backslash to code unaware of Shift-JIS

# volume NAME FAT-BITS SECTORS-A-CLUSTER KIB: NAME.img, the files put in it kept in NAME/.
volume() {
    local image="$dir/$1.img" files="$dir/$1" cluster=$(($3 * 512)) fsinfo
    mkdir -p "$files"
    mkfs.fat -C -F "$2" -s "$3" -n "FILES_$2" "$image" "$4" >/dev/null || fail "mkfs.fat made no $1"
    head -c $((3 * cluster)) /dev/urandom > "$files/a"
    head -c $((2 * cluster)) /dev/urandom > "$files/b"
    head -c $((4 * cluster + 100)) /dev/urandom > "$files/fragmented"
    head -c $((3 * cluster + 7)) /dev/urandom > "$files/gone"
    head -c $((cluster + 1)) /dev/urandom > "$files/inner"
    printf 'Veldis\r\n' > "$files/text"
    # In a UTF-8 locale mtools writes the Japanese long name whole.
    put() { LC_ALL=C.UTF-8 mcopy -i "$image" "$files/$1" "::/$2" || fail "mcopy put no $2 in $image"; }
    put a PIECE_A.BIN; put b PIECE_B.BIN; put a PIECE_C.BIN
    mdel -i "$image" ::/PIECE_B.BIN
    # mtools takes FAT32's next cluster from the hint in the FSInfo sector,
    # past C; with the hint unknown it looks from the start, as on FAT12 and
    # FAT16, and the fragmented file fills B's gap first.
    if [ "$2" = 32 ]; then
        fsinfo=$(field "$image" 48 2)
        printf '\xff\xff\xff\xff' | dd of="$image" bs=1 seek=$((fsinfo * 512 + 492)) conv=notrunc status=none
    fi
    put fragmented "Fragmented file.bin"
    [ "$(clusters "$image" "$(inode_of "$image" "Fragmented file.bin")" |
         awk 'NR > 1 && $1 != last + 1 { n++ } { last = $1 } END { print n + 0 }')" -gt 0 ] ||
        fail "mtools wrote the fragmented file of $1 in one piece"
    put text "A long file name.txt"
    put text "$JAPANESE"
    LC_ALL=C.UTF-8 mmd -i "$image" ::/SUBDIR
    put text "SUBDIR/Inner long name.txt"
    put inner SUBDIR/INNER.BIN
    # Last and deleted last: its clusters stay as they were, free.
    put gone "Gone file.bin"
    mdel -i "$image" "::/Gone file.bin"
}

# entries IMAGE [DIRECTORY-INODE]: "KIND DELETED INODE NAME" a line (KIND r
# or d, DELETED * or .), as fls lists them, without its virtual files and
# the label.
entries() {
    fls -p "$@" | awk -F'\t' '$1 ~ /^[rd]\/[rd] / && $2 !~ /\(Volume Label Entry\)$/ {
        n = split($1, h, " "); sub(/:$/, "", h[n]); sub(/.*\//, "", $2)
        print substr(h[1], 1, 1), (h[2] == "*" ? "*" : "."), h[n], $2 }'
}
inode_of() { entries "$1" | awk -v n="$2" '{ i = $3; sub(/^[^ ]* [^ ]* [^ ]* /, "") } $0 == n { print i }'; }
# first_cluster IMAGE INODE: the cluster of istat's first sector; 0 for none.
first_cluster() {
    local sector
    sector="$(istat "$1" "$2" | sed -n '/^Sectors:/{n;p;q}' | awk '{ print $1 }')"
    layout "$1"
    if [ -z "$sector" ] || [ "$sector" = 0 ]; then echo 0; else echo $(((sector - DATA) / SPC + 2)); fi
}
# clusters IMAGE INODE: the file's clusters in order, as istat lists its sectors.
clusters() {
    layout "$1"
    istat "$1" "$2" | sed -n '/^Sectors:/,$p' | tail -n +2 | tr ' ' '\n' | awk -v d="$DATA" -v s="$SPC" \
        'NF && $1 >= d { c = int(($1 - d) / s) + 2; if (c != last) print c; last = c }'
}
# expected IMAGE [DIRECTORY-INODE]: "STATE|SHORT|LONG|CLUSTER|SIZE" for each
# file and directory as fls and istat see them, as the view should show them.
expected() {
    local kind deleted inode name short size state
    while read -r kind deleted inode name; do
        short="$(istat "$1" "$inode" | sed -n 's/^Name: \(.*[^ ]\) *$/\1/p')"
        size="$(istat "$1" "$inode" | sed -n 's/^Size: //p')"
        state=ﾌｧｲﾙ
        [ "$kind" = d ] && state=ﾃﾞｨﾚｸﾄﾘ size=0  # a directory's entry holds no size
        # fls gives the long name, else the short one (a deleted one's first letter as _).
        [ "$name" = "$short" ] && name=""
        if [ "$deleted" = '*' ]; then state="削除した$state" short="?${short:1}"; fi
        echo "$state|$short|$name|$(first_cluster "$1" "$inode")|$size"
    done < <(entries "$@")
}

# view_rows: the files' and directories' rows as `expected` writes them.
view_rows() {
    view_table | awk -F'|' '$9 ~ /^(削除した)?(ﾌｧｲﾙ|ﾃﾞｨﾚｸﾄﾘ)$/ && $3 != "." && $3 != ".." {
        print $9 "|" $3 "|" $4 "|" $7 "|" $8 }'
}
# row_of NAME: the row whose long name, or else short name, is NAME.
row_of() { view_table | awk -F'|' -v n="$1" '($4 != "" ? $4 : $3) == n { print $1; exit }'; }
# view_titled TEXT: the view's title line was set to TEXT since MARK.
view_titled() { since_mark | grep -aF "trace:win:set_window_text L\"$(wine_text "$1")\"" >/dev/null; }
wait_view() { e2e_until 30 view_titled "$1" || fail "the view's title did not become '$1'"; }

# check_rows IMAGE WHAT [DIRECTORY-INODE]: the view's rows are fls's entries.
check_rows() {
    local image="$1" what="$2"
    shift 2
    diff <(expected "$image" "$@" | sort) <(view_rows | sort) >&2 ||
        fail "$what: the view's rows (>) differ from fls and istat (<)"
}

# shown NAME SECTOR: the main window shows SECTOR of NAME.
shown() { e2e_wait_title "^Veldis - $1　$2セクタ\$" 30 >/dev/null; }

# Rows are selected with the list's keys, from the row a click selected.
selected_row() {
    sed -n 's/.*trace:listview:LISTVIEW_SetItemState item={iItem=\([0-9]*\), iSubItem=0, state=3, stateMask=3}.*/\1/p' \
        "$E2E_LOG/trace" | tail -n 1
}
is_selected() { [ "$(selected_row)" = "$1" ]; }
caret_at() { [ "$(printf '%b' "$(status_text)" | iconv -f CP932 -t UTF-8)" = "ｵﾌｾｯﾄ $1 上位" ]; }
# choose_row ROW: the row selected in the view, from the one a click on the
# list selects, with its keys; the caret is then on the row's entry.
CLICKED='trace:listview:LISTVIEW_LButtonDown at \([0-9]+,[0-9]+\), nItem='
VIEW_ROW0_Y=40  # the title line, the header, half a row
choose_row() {
    local row=-1 clicks key offset
    VIEW="$(e2e_wait_window 'セクタの構造' 30)"
    for _ in $(seq 5); do
        clicks="$(e2e_trace_count "$CLICKED")"
        xdotool mousemove --window "$VIEW" 60 "$VIEW_ROW0_Y" click --window "$VIEW" 1
        e2e_until 5 e2e_trace_beyond "$CLICKED" "$clicks" || continue
        row="$(sed -n 's/.*LISTVIEW_LButtonDown at ([0-9]*,[0-9]*), nItem=\([0-9-]*\)$/\1/p' "$E2E_LOG/trace" | tail -n 1)"
        [ "$row" -ge 0 ] && break
    done
    [ "${row:--1}" -ge 0 ] || fail "a click in the view hits no row"
    e2e_until 30 is_selected "$row" || fail "a click on row $row does not select it"
    while [ "$row" != "$1" ]; do
        if [ "$row" -lt "$1" ]; then row=$((row + 1)) key=Down; else row=$((row - 1)) key=Up; fi
        xdotool key --window "$VIEW" "$key"
        e2e_until 30 is_selected "$row" || fail "the view did not move to row $row"
    done
    offset="$(view_table | awk -F'|' -v r="$1" '$1 == r { print $2 }')"
    e2e_until 30 caret_at "0$offset" ||
        fail "row $1 leaves the caret at: $(printf '%b' "$(status_text)" | iconv -f CP932 -t UTF-8)"
}

winpath() { echo "Z:${1//\//\\}"; }
# show_root NAME TITLE: DIR jumped to; the view shows the root directory.
show_root() {
    e2e_focus_main
    mark
    xdotool key --delay 100 alt+v s e
    shown "$1" "$DIR"
    wait_view "$2"
}
# save_row NAME FILE [deleted [MESSAGE]]: the row of NAME saved as FILE
# through ﾌｧｲﾙとして保存, a deleted one through its question first, its
# guess at the first letter taken; the box at the end says MESSAGE.
save_row() {
    local boxes recover
    choose_row "$(row_of "$1")"
    e2e_focus_main
    boxes="$(e2e_box_count)"
    xdotool key alt+f e
    if [ -n "${3:-}" ]; then
        recover="$(e2e_wait_dialog '削除されたファイルの保存' 30)"
        xdotool key --window "$recover" Return
        e2e_until 30 window_gone "$recover" || fail "the question about $1 stayed"
    fi
    file_dialog '(名前を付けて保存|Save As)' "$2"
    e2e_answer "$boxes" centre "${4:-処理が終了しました。}"
}

# walk KEY SHOWN-AS CLUSTER... MESSAGE: 表示 → KEY (x 次のｸﾗｽﾀ, v 前のｸﾗｽﾀ)
# shows each CLUSTER in turn; once more, and a box says MESSAGE.
walk() {
    local key="$1" shown_as="$2" boxes
    shift 2
    while [ $# -gt 1 ]; do
        e2e_focus_main
        xdotool key alt+v "$key"
        shown "$shown_as" $((DATA + ($1 - 2) * SPC))
        shift
    done
    e2e_focus_main
    boxes="$(e2e_box_count)"
    xdotool key alt+v "$key"
    e2e_answer "$boxes" centre "$1"
}

# check_volume NAME SHOWN-AS FAT-BITS: the checks on NAME.img, shown in the
# title as SHOWN-AS.
check_volume() {
    local image="$dir/$1.img" files="$dir/$1" shown_as="$2" root inode sub chain gone out="$dir/out/$1"
    layout "$image"
    if [ "$3" = 32 ]; then root="ﾃﾞｨﾚｸﾄﾘ  ｸﾗｽﾀ $(field "$image" 44 4)"
    else root="ﾙｰﾄﾃﾞｨﾚｸﾄﾘ  1/$((DATA - DIR)) ｾｸﾀ目"; fi
    show_root "$shown_as" "$root"
    check_rows "$image" "$shown_as: the root directory"
    inode="$(inode_of "$image" SUBDIR)"
    sub="$(first_cluster "$image" "$inode")"
    choose_row "$(row_of SUBDIR)"
    mark
    xdotool key --window "$VIEW" Return
    shown "$shown_as" $((DATA + (sub - 2) * SPC))
    wait_view "ﾃﾞｨﾚｸﾄﾘ  ｸﾗｽﾀ $sub"
    check_rows "$image" "$shown_as: SUBDIR" "$inode"
    [ "$(view_table | awk -F'|' '$3 == "." { print $7 }')" = "$sub" ] || fail "$shown_as: '.' is not cluster $sub"
    [ "$(view_table | awk -F'|' '$3 == ".." { print $7 }')" = 0 ] || fail "$shown_as: '..' is not the root"
    echo "ok: $shown_as: the rows of the root and of SUBDIR (entered with Enter) agree with fls and istat"

    mkdir -p "$out"
    show_root "$shown_as" "$root"
    save_row "Fragmented file.bin" "$(winpath "$out/fragmented.bin")"
    mcopy -i "$image" "::/Fragmented file.bin" "$out/mcopy.bin"
    cmp "$out/mcopy.bin" "$out/fragmented.bin" || fail "$shown_as: the fragmented file saved is not mcopy's"
    gone="$(entries "$image" | awk '$2 == "*" && / Gone file\.bin$/ { print $3 }')"
    [ -n "$gone" ] || fail "fls finds no deleted 'Gone file.bin' on $1"
    save_row "Gone file.bin" "$(winpath "$out/gone.bin")" deleted
    icat "$image" "$gone" > "$out/icat.bin"
    cmp "$files/gone" "$out/gone.bin" || fail "$shown_as: the deleted file saved is not the file it was"
    cmp "$out/icat.bin" "$out/gone.bin" || fail "$shown_as: the deleted file saved is not what icat recovers"
    echo "ok: $shown_as: the fragmented file saved from its row is mcopy's copy; the deleted one, its first letter asked, is the file it was and icat's"

    mapfile -t chain < <(clusters "$image" "$(inode_of "$image" "Fragmented file.bin")")
    choose_row "$(row_of "Fragmented file.bin")"
    xdotool key --window "$VIEW" Return
    shown "$shown_as" $((DATA + (chain[0] - 2) * SPC))
    walk x "$shown_as" "${chain[@]:1}" "クラスタ ${chain[-1]} から先へは進めません。
FATでは、ファイルの最後のクラスタです。"
    walk v "$shown_as" $(printf '%s\n' "${chain[@]}" | tac | tail -n +2) "クラスタ ${chain[0]} はチェーンの最初のクラスタです。
FATにこのクラスタを指すエントリはありません。"
    echo "ok: $shown_as: 次のｸﾗｽﾀ follows the fragmented file's clusters ${chain[*]} to its end, 前のｸﾗｽﾀ back to its start"
}

volume f12 12 2 2880
volume d16 16 4 32768
volume e32 32 1 40960
fatdrive_map d hd "$dir/d16.img"
fatdrive_map e hd "$dir/e32.img"
fatdrive_apply
e2e_install_copy "$dir/program"
printf "${E2E_EDITOR_INI}STRUCTVIEW=1\r\nSTRUCTLEFT=810\r\nSTRUCTTOP=10\r\nSTRUCTWIDTH=460\r\nSTRUCTHEIGHT=400\r\n" \
    > "$dir/program/veldis.INI"

E2E_ARGUMENT="$(winpath "$dir/f12.img")"
e2e_start
shown f12.img 0
check_volume f12 f12.img 12
e2e_focus_main
e2e_read_sector 3 d 0
check_volume d16 Ｄドライブ 16
# The deleted file is not saved onto its own drive, where it could take the
# very clusters it is read from.
cp "$dir/d16.img" "$dir/before.img"
layout "$dir/d16.img"
show_root Ｄドライブ "ﾙｰﾄﾃﾞｨﾚｸﾄﾘ  1/$((DATA - DIR)) ｾｸﾀ目"
save_row "Gone file.bin" 'D:\GONE.BIN' deleted "削除されたファイルは、そのファイルがあったドライブには保存できません。
保存するファイルが、読み出す前の空きクラスタを上書きするおそれがあります。
別のドライブのファイルを指定して下さい。"
e2e_focus_main
[ -z "$(ls -A "$dir/root-d")" ] || fail "the deleted file was written to D: as $(ls "$dir/root-d")"
cmp "$dir/before.img" "$dir/d16.img" || fail "D: changed"
echo "ok: the deleted file is refused on D:, the drive it is read from"
e2e_focus_main
e2e_read_sector 4 e 0
check_volume e32 Ｅドライブ 32
[ "$(e2e_close)" = 0 ] || fail "exit code"
echo "PASS"
