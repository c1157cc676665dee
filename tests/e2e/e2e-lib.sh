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
# when set, is its command line. The status bar, edit boxes and drop-down
# lists are traced as well: the messages they get tell when the program has
# taken a click and which control holds the keyboard.
e2e_start() {
    : > "$E2E_LOG/trace"
    (
        cd "$(dirname "$E2E_EXE")"
        status=0
        WINEDEBUG="trace+msgbox,trace+statusbar,trace+edit,trace+combo${E2E_TRACE:+,$E2E_TRACE}" \
            "$VELDIS_WINE" "$E2E_EXE" \
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
# code. The keys go once the window has taken a click, and again while the
# program runs on.
e2e_close() {
    for _ in $(seq 6); do
        [ -f "$E2E_LOG/exit" ] && break
        e2e_click_main && xdotool key alt+F4
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

# The trace lines of a control taking or losing the keyboard: an edit box
# (the message and its answer are two lines; this is the first) or a list.
E2E_FOCUS_LINE='trace:(edit:EditWndProc_common .*\(WM_(SET|KILL)FOCUS\) wparam|combo:ComboWndProc_common .* msg WM_(SET|KILL)FOCUS wp)'

# e2e_focused: an edit box or a list of the program holds the keyboard.
e2e_focused() {
    local last
    last="$(grep -aE "$E2E_FOCUS_LINE" "$E2E_LOG/trace" | tail -n 1 || true)"
    [[ "$last" == *SETFOCUS* ]]
}

# e2e_wait_dialog TITLE SECONDS: as e2e_wait_window, once the dialog takes
# keys: a window maps before its first box has the keyboard, and keys sent
# in between are lost.
e2e_wait_dialog() {
    local id
    id="$(e2e_wait_window "$1" "$2")"
    e2e_until "$2" e2e_focused || fail "the dialog '$1' has no box with the keyboard within $2 s"
    echo "$id"
}

# e2e_trace_count PATTERN: how many lines of the trace match PATTERN (grep -E).
e2e_trace_count() { grep -acE -- "$1" "$E2E_LOG/trace" || true; }
e2e_trace_beyond() { [ "$(e2e_trace_count "$1")" -gt "$2" ]; }

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

# e2e_is_box WINDOW: the window cannot be sized, as a message box; the main
# window can, whatever its title.
e2e_is_box() {
    local hints
    hints="$(xprop -id "$1" _MOTIF_WM_HINTS 2>/dev/null)" || return 1
    [[ "$hints" =~ =\ *0x[0-9a-f]+,\ *(0x[0-9a-f]+) ]] || return 1
    (( (BASH_REMATCH[1] & 2) == 0 ))  # the functions it offers lack sizing
}

# e2e_box_window: the message box on the screen, if any.
e2e_box_window() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Veldis$' 2>/dev/null); do
        e2e_is_box "$id" && { echo "$id"; return 0; }
    done
    return 1
}

# e2e_main_window: the main window on the screen, if any.
e2e_main_window() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Veldis' 2>/dev/null); do
        e2e_is_box "$id" || { echo "$id"; return 0; }
    done
    return 1
}

# e2e_wait_box BEFORE: waits for box number BEFORE + 1 on the screen, and
# prints its window.
e2e_wait_box() {
    local box
    e2e_until 30 e2e_boxes_beyond "$1" || fail "no message box appeared"
    for _ in $(seq 300); do
        box="$(e2e_box_window)" && { echo "$box"; return 0; }
        sleep 0.1
    done
    fail "box $(($1 + 1)) is in the trace but not on the screen"
}

# e2e_answer_box BEFORE left|right|centre|first|last: waits for box number
# BEFORE + 1, clicks its left button (OK, Yes), right one (Cancel, No) or only
# one — of three (Yes, No, Cancel): the first, centre or last — and prints
# its text as the trace escapes it, once the box has gone. Wine centres the
# buttons as a group near the bottom, 140 pixels from one middle to the next.
# A box takes no clicks for a moment after it maps, so the click goes again
# while that same box stays and no box came after it; it is sent to the box's
# own window, so a box that has just gone passes it to no other.
e2e_answer_box() {
    local before="$1" box x geometry WINDOW X Y WIDTH HEIGHT SCREEN
    box="$(e2e_wait_box "$before")"
    geometry="$(xdotool getwindowgeometry --shell "$box")" || fail "box $((before + 1)) went unanswered"
    eval "$geometry"
    case "$2" in
        left) x=$((WIDTH / 2 - 60)) ;;
        right) x=$((WIDTH / 2 + 60)) ;;
        first) x=$((WIDTH / 2 - 140)) ;;
        last) x=$((WIDTH / 2 + 140)) ;;
        *) x=$((WIDTH / 2)) ;;
    esac
    for _ in $(seq 6); do
        xdotool mousemove --window "$box" "$x" $((HEIGHT - 20)) click --window "$box" 1 \
            2>/dev/null || true
        e2e_until 5 window_gone "$box" && break
        e2e_boxes_beyond $((before + 1)) && break  # taken: the next one is up
    done
    e2e_until 30 window_gone "$box" ||
        fail "the box '$(e2e_boxes | sed -n "$((before + 1))p")' stayed"
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

# e2e_no_box: no message box is up.
e2e_no_box() { ! e2e_box_window >/dev/null; }

# e2e_image_dialog KEY TITLE: an image dialog through its ﾌｧｲﾙ menu item, its
# id in DIALOG; one still going from before is not taken for it.
e2e_image_dialog() {
    e2e_until 30 e2e_no_window "$2" || fail "the dialog '$2' from before stayed"
    e2e_focus_main
    xdotool key alt+f "$1"
    DIALOG="$(e2e_wait_dialog "$2" 30)"
}

# e2e_no_window TITLE: no window so titled is on the screen.
e2e_no_window() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

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

# The editor tests' window: the whole dump of a 512-byte sector fits in it.
E2E_EDITOR_INI='[OPTION]\r\nTOP=10\r\nBOTTOM=760\r\nLEFT=20\r\nRIGHT=800\r\n'
E2E_FULL_WIDTH=(Ａ Ｂ Ｃ Ｄ Ｅ)

# e2e_title DRIVE-INDEX SECTOR: the main window's title as a pattern.
e2e_title() { echo "^Veldis - ${E2E_FULL_WIDTH[$1]}ドライブ　$2セクタ\$"; }

# e2e_click_main: a click on the main window's status bar, which changes
# nothing, until the program has taken one (the status bar's trace); its id
# lands in MAIN. The window is then Wine's foreground, so keys sent next
# reach it (after a box or dialog closes, Wine gives it back the keyboard a
# moment later), and everything sent before the click has been handled.
# Fails when no main window takes clicks, as while a box is up.
E2E_STATUS_CLICK='trace:statusbar:STATUSBAR_SendMouseNotify code fffffffe'
e2e_click_main() {
    local clicks main="" geometry WINDOW X Y WIDTH HEIGHT SCREEN
    for _ in $(seq 300); do
        main="$(e2e_main_window)" && break
        sleep 0.1
    done
    [ -n "$main" ] || return 1
    for _ in $(seq 5); do
        e2e_no_box || return 1
        clicks="$(e2e_trace_count "$E2E_STATUS_CLICK")"
        geometry="$(xdotool getwindowgeometry --shell "$main" 2>/dev/null)" || return 1
        eval "$geometry"
        xdotool mousemove --window "$main" $((WIDTH / 3)) $((HEIGHT - 6)) click 1 2>/dev/null || return 1
        if e2e_until 6 e2e_trace_beyond "$E2E_STATUS_CLICK" "$clicks"; then
            MAIN="$main"
            return 0
        fi
    done
    return 1
}

# e2e_focus_main: e2e_click_main, or failure.
e2e_focus_main() {
    e2e_click_main ||
        fail "the main window takes no click (boxes: $(e2e_boxes | tr '\n' '|'); exit: $(cat "$E2E_LOG/exit" 2>/dev/null || echo running))"
}

# e2e_read_sector DRIVE-INDEX LETTER SECTOR: through the read dialog.
e2e_read_sector() {
    xdotool key ctrl+r
    local dialog
    dialog="$(e2e_wait_dialog 'セクタ読込' 30)"
    xdotool key --window "$dialog" --delay 80 End $(printf 'BackSpace %.0s' $(seq 10)) \
        $(echo "$3" | sed 's/./& /g') shift+Tab "$2" Return
    e2e_wait_title "$(e2e_title "$1" "$3")" 30 >/dev/null
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
# The click is sent to that window alone: were it gone, no other gets it.
dialog_click() {
    local geometry WINDOW X Y WIDTH HEIGHT SCREEN
    geometry="$(xdotool getwindowgeometry --shell "$1")" || return 1
    eval "$geometry"
    xdotool mousemove --window "$1" $((WIDTH * $4 / $2)) $((HEIGHT * $5 / $3)) click --window "$1" 1
}

# dialog_click_heard WINDOW WIDTH HEIGHT X Y PATTERN: dialog_click, then waits
# until the program has taken it: a new trace line matches PATTERN.
dialog_click_heard() {
    local lines
    lines="$(e2e_trace_count "$6")"
    dialog_click "$@"
    e2e_until 30 e2e_trace_beyond "$6" "$lines" || fail "a click on '$(xdotool getwindowname "$1" 2>/dev/null)' at $4,$5 went unheard"
}
# What a click on an edit box or a list leaves in the trace.
E2E_EDIT_CLICKED='trace:edit:EditWndProc_common .*\(WM_LBUTTONUP\) wparam'
E2E_LIST_DROPPED='trace:combo:CBDropDown .*drop down'

# dialog_leave WINDOW WIDTH HEIGHT X Y [FAILURE]: clicks the button there
# until the dialog has gone; a click sent while it is not ready yet is lost.
dialog_leave() {
    for _ in $(seq 6); do
        dialog_click "${@:1:5}" 2>/dev/null || true
        e2e_until 5 window_gone "$1" && return 0
    done
    fail "${6:-the dialog '$(xdotool getwindowname "$1" 2>/dev/null)' stayed}"
}

# window_gone WINDOW: the window is no longer on the screen (hidden or destroyed).
window_gone() {
    local state
    state="$(xwininfo -id "$1" 2>/dev/null)" || return 0
    [[ "$state" != *"Map State: IsViewable"* ]]
}

# The trace's lines after MARK, and the list views' cells set in them.
MARK=0
since_mark() { tail -n +"$((MARK + 1))" "$E2E_LOG/trace"; }
mark() { MARK="$(wc -l < "$E2E_LOG/trace")"; }
# view_table: "ROW|CELL|CELL|..." a row of the lists filled since MARK, in UTF-8.
view_table() {
    since_mark | sed -n \
        -e 's/.*trace:listview:LISTVIEW_InsertItemT (item={iItem=\([0-9]*\), iSubItem=\([0-9]*\), pszText="\(.*\)", cchTextMax=.*/\1 \2 \3/p' \
        -e 's/.*trace:listview:LISTVIEW_SetItemT (lpLVItem={iItem=\([0-9]*\), iSubItem=\([0-9]*\), pszText="\(.*\)", cchTextMax=.*/\1 \2 \3/p' |
        awk '{ r = $1; c = $2; sub(/^[0-9]+ [0-9]+ /, ""); cell[r, c] = $0; if (r + 1 > n) n = r + 1 }
             END { for (r = 0; r < n; r++) { line = r; for (c = 0; c < 8; c++) line = line "|" cell[r, c]; print line } }' |
        while IFS= read -r line; do printf '%b\n' "$line" | iconv -f CP932 -t UTF-8; done
}
# status_text: the status bar's first part as last set, as the trace escapes it.
status_text() {
    sed -n "s/.*STATUSBAR_SetTextT part 0, text \"\\(.*\\)\"\$/\\1/p" "$E2E_LOG/trace" | tail -n 1
}

# e2e_typed_dialog KEY TITLE TEXT: the dialog KEY opens from the main
# window, TEXT typed over what its box offers; prints the dialog's id.
e2e_typed_dialog() {
    e2e_focus_main
    xdotool key "$1"
    local dialog
    dialog="$(e2e_wait_dialog "$2" 30)"
    xdotool key --window "$dialog" End shift+Home Delete
    xdotool type --delay 60 "$3"
    echo "$dialog"
}

# e2e_find TEXT KIND DIRECTION: the find dialog, TEXT typed over what it
# offers, the kind (hex|text|utf16) and direction (down|up) clicked, then OK.
# The case check box keeps what it had.
E2E_FIND_W=248 E2E_FIND_H=107
e2e_find() {
    local dialog
    dialog="$(e2e_typed_dialog ctrl+f '検索' "$1")"
    case "$2" in hex) dialog_click "$dialog" $E2E_FIND_W $E2E_FIND_H 20 56 ;;
                 text) dialog_click "$dialog" $E2E_FIND_W $E2E_FIND_H 57 56 ;;
                 utf16) dialog_click "$dialog" $E2E_FIND_W $E2E_FIND_H 100 56 ;; esac
    case "$3" in down) dialog_click "$dialog" $E2E_FIND_W $E2E_FIND_H 166 56 ;;
                 up) dialog_click "$dialog" $E2E_FIND_W $E2E_FIND_H 204 56 ;; esac
    dialog_click "$dialog" $E2E_FIND_W $E2E_FIND_H 161 93
    e2e_until 30 window_gone "$dialog" || fail "the find dialog stayed open for '$1'"
}

# file_dialog TITLE [NAME]: types NAME into the system's file dialog, which
# opens on the program's folder, and accepts it; without NAME, accepts the
# name it proposes. Wine's dialog may swallow a Return while it completes
# the name, so Return is pressed until it closes: sent to the dialog's own
# window, so none goes out once that window is destroyed.
file_dialog() {
    local picker
    picker="$(e2e_wait_dialog "$1" 30)"
    if [ $# -gt 1 ]; then
        xdotool key --window "$picker" ctrl+a
        xdotool type --delay 40 "$2"
    fi
    for _ in $(seq 6); do
        xdotool key --window "$picker" Return 2>/dev/null || true
        e2e_until 8 window_gone "$picker" && return 0
    done
    fail "the file dialog '$1' stayed open"
}

# e2e_load_and_write NAME BOXES-BEFORE: Ctrl+L loads the sector file NAME from
# the program's folder in place of the sector shown, and Ctrl+W writes it,
# its question answered OK.
e2e_load_and_write() {
    local answer
    e2e_focus_main
    xdotool key ctrl+l
    file_dialog '(開く|Open)' "$1"
    e2e_focus_main
    xdotool key ctrl+w
    answer="$(e2e_answer_box "$2" left)"
    [ "$answer" = "$(wine_text "編集した内容を書き込みます。")" ] || fail "the write asked: $answer"
}
