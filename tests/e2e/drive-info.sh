#!/usr/bin/env bash
# drive-info.sh PREFIX EXE: both drive information dialogs opened from the
# menu on the sample drives, their texts read from the screen's windows.
source "$(dirname "$0")/e2e-lib.sh"
source "$E2E_HERE/../support/fat-drives.sh"
source "$E2E_HERE/../support/sample-volumes.sh"
e2e_begin "$1" "$2"
fatdrive_begin "$E2E_PREFIX"
trap 'fatdrive_end; e2e_end' EXIT

images="$FATDRIVE_DIR"
sample_volume "$images/a.img" fat12
sample_volume "$images/d.img" fat16
sample_volume "$images/e.img" fat32
fatdrive_map a floppy "$images/a.img"
fatdrive_map d hd "$images/d.img"
fatdrive_map e hd "$images/e.img"
fatdrive_apply
e2e_install_copy "$images/program"
printf "$E2E_EDITOR_INI" > "$images/program/veldis.INI"

# dialog_click WINDOW WIDTH HEIGHT X Y: a click at dialog units of a dialog of
# that template size; its X window is the client area (no window manager).
dialog_click() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --window "$1" $((WIDTH * $4 / $2)) $((HEIGHT * $5 / $3)) click 1
}
window_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1; }

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main

# The all-drives list is there before any drive is shown.
xdotool key alt+v a
dialog="$(e2e_wait_window '全ドライブ情報' 10)"
sleep 1
[ -n "${E2E_SHOTS:-}" ] && import -window "$dialog" "$E2E_SHOTS/all-drives.png"
dialog_click "$dialog" 286 122 140 100
xdotool key alt+F4
e2e_until 10 window_gone "$dialog" || fail "Alt+F4 left the all-drives list open"
[ "$(e2e_box_count)" = 0 ] || fail "the all-drives list showed a box"
echo "ok: the all-drives list opens from the menu and closes"

# The information of E:, the FAT32 volume, titled with its full-width letter.
e2e_focus_main
e2e_read_sector 4 e 0
xdotool key alt+v i
dialog="$(e2e_wait_window 'Ｅドライブ詳細情報' 10)"
sleep 1
[ -n "${E2E_SHOTS:-}" ] && import -window "$dialog" "$E2E_SHOTS/drive-info.png"
dialog_click "$dialog" 291 177 258 162  # 戻る
e2e_until 10 window_gone "$dialog" || fail "戻る left the information open"
echo "ok: the drive information of E: opens from the menu and closes"

e2e_focus_main
xdotool key alt+F4
[ "$(e2e_wait_exit 20)" = 0 ] || fail "exit code"
