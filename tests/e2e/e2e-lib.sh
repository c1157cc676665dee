# Sourced by the end-to-end tests: the real veldis.exe under Wine, driven and
# read only from outside (X events, the exit code, Wine's message-box trace).
set -euo pipefail
E2E_HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$E2E_HERE/../support/wine-env.sh"
source "$E2E_HERE/../support/fat-drives.sh"
source "$E2E_HERE/../support/sample-volumes.sh"

# e2e_begin PREFIX EXE
e2e_begin() {
    E2E_PREFIX="$1"
    E2E_EXE="$2"
    E2E_LOG="$(mktemp -d /tmp/veldis-e2e-XXXXXX)"
    wine_prepare "$E2E_PREFIX"
    wine_ensure_display
    trap e2e_end EXIT
}

# e2e_begin_with_drives PREFIX EXE: as e2e_begin, with FAT volumes to map.
e2e_begin_with_drives() {
    e2e_begin "$1" "$2"
    fatdrive_begin "$E2E_PREFIX"
    trap 'fatdrive_end; e2e_end' EXIT
}

# e2e_sample_drives: A: the sample floppy, D: and E: the FAT16 and FAT32
# samples, and the exe copied beside its own INI file with the editor's window.
e2e_sample_drives() {
    local images="$FATDRIVE_DIR"
    sample_volume "$images/a.img" fat12
    sample_volume "$images/d.img" fat16
    sample_volume "$images/e.img" fat32
    fatdrive_map a floppy "$images/a.img"
    fatdrive_map d hd "$images/d.img"
    fatdrive_map e hd "$images/e.img"
    fatdrive_apply
    e2e_install_copy "$images/program"
    printf "$E2E_EDITOR_INI" > "$images/program/veldis.INI"
}

e2e_end() {
    e2e_windows_version ""
    # The server must be gone before the next test starts its own: a start
    # that reaches the dying one dies with it, before any window shows.
    "$VELDIS_WINESERVER" -k 2>/dev/null || true
    "$VELDIS_WINESERVER" -w 2>/dev/null || true
    rm -rf "$E2E_LOG"
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# e2e_windows_version NAME: the version Wine reports to veldis.exe (nt351,
# nt40, win95, win98, ...); empty for the prefix's default.
e2e_windows_version() {
    local key='HKCU\Software\Wine\AppDefaults\veldis.exe'
    if [ -n "$1" ]; then
        "$VELDIS_WINE" reg add "$key" /v Version /d "$1" /f >/dev/null 2>&1
    else
        "$VELDIS_WINE" reg delete "$key" /f >/dev/null 2>&1 || true
    fi
}

# e2e_start: starts the exe in the background with message boxes traced, and
# the Wine debug channels in E2E_TRACE (e.g. trace+exec) too; E2E_ARGUMENT,
# when set, is its command line.
e2e_start() {
    : > "$E2E_LOG/trace"
    (
        cd "$(dirname "$E2E_EXE")"
        status=0
        WINEDEBUG="trace+msgbox${E2E_TRACE:+,$E2E_TRACE}" "$VELDIS_WINE" "$E2E_EXE" \
            ${E2E_ARGUMENT:+"$E2E_ARGUMENT"} 2>"$E2E_LOG/trace" || status=$?
        echo "$status" > "$E2E_LOG/exit"
    ) &
    rm -f "$E2E_LOG/exit"
}

# e2e_wait_exit SECONDS: the exit code, or failure when it does not end in time.
e2e_wait_exit() {
    for _ in $(seq $(($1 * 10))); do
        if [ -f "$E2E_LOG/exit" ]; then
            cat "$E2E_LOG/exit"
            return 0
        fi
        sleep 0.1
    done
    fail "veldis.exe did not end within $1 s"
}

# e2e_close: Alt+F4 in the main window until the program ends, and its exit
# code. Under Xvfb the first keys after a box closes may reach no window,
# so the keys go again while the window stays.
e2e_close() {
    local main
    for _ in $(seq 6); do
        [ -f "$E2E_LOG/exit" ] && break
        main="$(xdotool search --onlyvisible --name '^Veldis' 2>/dev/null | head -n 1 || true)"
        [ -n "$main" ] && xdotool mousemove --window "$main" 300 "$E2E_BELOW_DUMP" click 1 \
            sleep 0.3 key alt+F4 2>/dev/null
        e2e_until 10 test -f "$E2E_LOG/exit" && break
    done
    e2e_wait_exit 30
}

# e2e_wait_window TITLE SECONDS: prints the X window id of the first window so named.
e2e_wait_window() {
    local id
    for _ in $(seq $(($2 * 10))); do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)"
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    fail "no window titled '$1' within $2 s"
}

# e2e_boxes: the texts of the message boxes shown so far, one a line, as
# Wine's trace writes them; it writes no more than about 60 characters of
# Japanese, and "..." after a text it cut.
e2e_boxes() {
    sed -n -e 's/.*trace:msgbox:MSGBOX_OnInit L"\(.*\)"$/\1/p' \
        -e 's/.*trace:msgbox:MSGBOX_OnInit L"\(.*\)"\.\.\.$/\1.../p' "$E2E_LOG/trace"
}

# wine_text TEXT: TEXT as Wine's trace escapes UTF-16 strings.
wine_text() {
    local unit
    printf '%s' "$1" | iconv -f UTF-8 -t UTF-16BE | xxd -p -c 2 | while read -r unit; do
        if [ "$unit" = "000a" ]; then
            printf '\\n'
        elif [ "$unit" = "005c" ]; then
            printf '\\\\'
        elif [ $((16#$unit)) -ge 32 ] && [ $((16#$unit)) -lt 127 ]; then
            printf "\\x${unit:2:2}"
        else
            printf '\\%s' "$unit"
        fi
    done
}

# e2e_install_copy DIR: veldis.exe copied into DIR, so it has an INI file of
# its own there; E2E_EXE points at the copy.
e2e_install_copy() {
    mkdir -p "$1"
    cp "$E2E_EXE" "$1/veldis.exe"
    E2E_EXE="$1/veldis.exe"
}

# e2e_wait_title PATTERN SECONDS: the main window once its title matches.
e2e_wait_title() {
    local id title
    for _ in $(seq $(($2 * 10))); do
        for id in $(xdotool search --name '^Veldis' 2>/dev/null); do
            title="$(xdotool getwindowname "$id" 2>/dev/null || true)"
            if [[ "$title" =~ $1 ]]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    # Whether the exe is still running, and what Wine said, tell a slow
    # start from a failed one.
    fail "no window title matching '$1' within $2 s (titles: $(xdotool search --name Veldis getwindowname %@ 2>/dev/null | tr '\n' '|'); exit: $(cat "$E2E_LOG/exit" 2>/dev/null || echo running); trace: $(grep -v ':trace:' "$E2E_LOG/trace" 2>/dev/null | tail -n 5 | tr '\n' '|'))"
}

e2e_boxes_beyond() {
    [ "$(e2e_box_count)" -gt "$1" ]
}

# e2e_box_count: how many message boxes have been shown.
e2e_box_count() {
    grep -c 'trace:msgbox:MSGBOX_OnInit' "$E2E_LOG/trace" || true
}

# e2e_answer_box BEFORE left|right|centre|first|last: waits for box number
# BEFORE + 1, clicks its left button (OK, Yes), right one (Cancel, No) or only
# one — of three (Yes, No, Cancel): the first, centre or last — and prints
# its text as the trace escapes it. Wine centres the buttons as a group near
# the bottom, 140 pixels from one middle to the next.
e2e_answer_box() {
    local before="$1" box width height x
    e2e_until 10 e2e_boxes_beyond "$before" || fail "no message box appeared"
    box="$(e2e_wait_window Veldis 10)"
    sleep 2  # shown boxes settle for a while under Xvfb
    eval "$(xdotool getwindowgeometry --shell "$box")"
    width="$WIDTH"
    height="$HEIGHT"
    case "$2" in
        left) x=$((width / 2 - 60)) ;;
        right) x=$((width / 2 + 60)) ;;
        first) x=$((width / 2 - 140)) ;;
        last) x=$((width / 2 + 140)) ;;
        *) x=$((width / 2)) ;;
    esac
    xdotool mousemove --window "$box" "$x" $((height - 20)) click 1
    e2e_boxes | sed -n "$((before + 1))p"
}

# e2e_answer BOXES-BEFORE BUTTON TEXT: the next box says TEXT; BUTTON (as
# e2e_answer_box takes it) answers it.
e2e_answer() {
    local text expected
    text="$(e2e_answer_box "$1" "$2")"
    expected="$(wine_text "$3")"
    [ "$text" = "$expected" ] && return 0
    # A text the trace cut must be where the expected one starts.
    [ "${text%...}" != "$text" ] && [ "${expected#"${text%...}"}" != "$expected" ] && return 0
    fail "expected '$3', the box said: $text"
}

# e2e_no_box: no message box is up. A bare "Veldis" is a box once the main
# window's title names the drive shown.
e2e_no_box() { ! xdotool search --onlyvisible --name '^Veldis$' >/dev/null 2>&1; }

# e2e_image_dialog KEY TITLE: an image dialog through its ﾌｧｲﾙ menu item, its
# id in DIALOG.
e2e_image_dialog() {
    e2e_focus_main
    xdotool key alt+f "$1"
    DIALOG="$(e2e_wait_window "$2" 10)"
    sleep 0.5
}

# e2e_until SECONDS COMMAND...: waits until the command succeeds.
e2e_until() {
    local seconds="$1"
    shift
    for _ in $(seq $((seconds * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# The editor tests' window: the whole dump of a 512-byte sector fits in it,
# so a click below the last line only brings the window to the front.
E2E_EDITOR_INI='[OPTION]\r\nTOP=10\r\nBOTTOM=760\r\nLEFT=20\r\nRIGHT=800\r\n'
E2E_BELOW_DUMP=$((19 + 32 * 21 + 30))  # menu bar, 32 lines, a little more
E2E_FULL_WIDTH=(Ａ Ｂ Ｃ Ｄ Ｅ)

# e2e_title DRIVE-INDEX SECTOR: the main window's title as a pattern.
e2e_title() { echo "^Veldis - ${E2E_FULL_WIDTH[$1]}ドライブ　$2セクタ\$"; }

# e2e_focus_main: a click into the main window, whose id lands in MAIN.
e2e_focus_main() {
    MAIN="$(e2e_wait_title '^Veldis' 10)"
    xdotool mousemove --window "$MAIN" 300 "$E2E_BELOW_DUMP" click 1
    sleep 0.3
}

# e2e_read_sector DRIVE-INDEX LETTER SECTOR: through the read dialog.
e2e_read_sector() {
    xdotool key ctrl+r
    local dialog
    dialog="$(e2e_wait_window 'セクタ読込' 10)"
    sleep 0.3
    xdotool key --window "$dialog" --delay 80 End $(printf 'BackSpace %.0s' $(seq 10)) \
        $(echo "$3" | sed 's/./& /g') shift+Tab "$2" Return
    e2e_wait_title "$(e2e_title "$1" "$3")" 15 >/dev/null
    e2e_focus_main
}

# layout IMAGE: the volume's FAT, DIR, DATA and LAST sectors and its sectors
# a cluster (SPC), worked out here from its boot sector.
field() { od -An -t "u$3" -j "$2" -N "$3" "$1" | tr -d ' '; }
layout() {
    local image="$1" bps reserved fats roots total spf16
    bps=$(field "$image" 11 2); SPC=$(field "$image" 13 1); reserved=$(field "$image" 14 2)
    fats=$(field "$image" 16 1); roots=$(field "$image" 17 2); total=$(field "$image" 19 2)
    spf16=$(field "$image" 22 2)
    [ "$total" != 0 ] || total=$(field "$image" 32 4)
    FAT=$reserved
    LAST=$((total - 1))
    if [ "$spf16" != 0 ]; then
        DIR=$((reserved + fats * spf16))
        DATA=$((DIR + roots * 32 / bps))
    else
        DATA=$((reserved + fats * $(field "$image" 36 4)))
        DIR=$((DATA + ($(field "$image" 44 4) - 2) * SPC))
    fi
}

# dialog_click WINDOW WIDTH HEIGHT X Y: a click at dialog units of a dialog of
# that template size; its X window is the client area (no window manager).
dialog_click() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --window "$1" $((WIDTH * $4 / $2)) $((HEIGHT * $5 / $3)) click 1
}

window_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1; }

# e2e_find TEXT KIND DIRECTION: the find dialog, TEXT typed over what it
# offers, the kind (hex|text) and direction (down|up) clicked, then OK.
E2E_FIND_W=196 E2E_FIND_H=93
e2e_find() {
    e2e_focus_main
    xdotool key ctrl+f
    local dialog
    dialog="$(e2e_wait_window '検索' 10)"
    sleep 0.5
    xdotool key --window "$dialog" End shift+Home Delete
    xdotool type --delay 60 "$1"
    case "$2" in hex) dialog_click "$dialog" $E2E_FIND_W $E2E_FIND_H 20 56 ;;
                 text) dialog_click "$dialog" $E2E_FIND_W $E2E_FIND_H 57 56 ;; esac
    case "$3" in down) dialog_click "$dialog" $E2E_FIND_W $E2E_FIND_H 114 56 ;;
                 up) dialog_click "$dialog" $E2E_FIND_W $E2E_FIND_H 152 56 ;; esac
    dialog_click "$dialog" $E2E_FIND_W $E2E_FIND_H 109 79
    e2e_until 10 window_gone "$dialog" || fail "the find dialog stayed open for '$1'"
}

# file_dialog TITLE NAME: types NAME into the system's file dialog, which
# opens on the program's folder, and accepts it. Wine's dialog may swallow a
# Return while it completes the name, so Return is pressed until it closes.
file_dialog() {
    local picker
    picker="$(e2e_wait_window "$1" 10)"
    sleep 1
    xdotool key --window "$picker" ctrl+a
    xdotool type --delay 40 "$2"
    for _ in 1 2 3; do
        sleep 0.5
        xdotool key Return
        e2e_until 3 window_gone "$picker" && return 0
    done
    fail "the file dialog '$1' stayed open"
}

# e2e_load_and_write NAME BOXES-BEFORE: Ctrl+L loads the sector file NAME from
# the program's folder in place of the sector shown, and Ctrl+W writes it,
# its question answered OK.
e2e_load_and_write() {
    local answer
    xdotool key ctrl+l
    file_dialog '(開く|Open)' "$1"
    e2e_focus_main
    xdotool key ctrl+w
    answer="$(e2e_answer_box "$2" left)"
    [ "$answer" = "$(wine_text "編集した内容を書き込みます。")" ] || fail "the write asked: $answer"
}
