#!/usr/bin/env bash
# drive-info.sh PREFIX EXE: both drive information dialogs opened from the
# menu on the sample drives, their texts read from the screen's windows.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

e2e_sample_drives
images="$FATDRIVE_DIR"
E2E_TRACE=trace+listview  # a click in the list shows in the trace

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main

# The all-drives list is there before any drive is shown.
xdotool key alt+v a
dialog="$(e2e_wait_window '全ドライブ情報' 30)"
# A click in the list the program takes: the list has the keyboard.
dialog_click_heard "$dialog" 286 122 140 100 'trace:listview:LISTVIEW_LButtonUp'
[ -n "${E2E_SHOTS:-}" ] && import -window "$dialog" "$E2E_SHOTS/all-drives.png"
xdotool key alt+F4
e2e_until 30 window_gone "$dialog" || fail "Alt+F4 left the all-drives list open"
[ "$(e2e_box_count)" = 0 ] || fail "the all-drives list showed a box"
echo "ok: the all-drives list opens from the menu and closes"

# The information of E:, the FAT32 volume, titled with its full-width letter.
e2e_focus_main
e2e_read_sector 4 e 0
xdotool key alt+v i
dialog="$(e2e_wait_dialog 'Ｅドライブ詳細情報' 30)"
[ -n "${E2E_SHOTS:-}" ] && import -window "$dialog" "$E2E_SHOTS/drive-info.png"
dialog_leave "$dialog" 291 177 258 162 "戻る left the information open"
echo "ok: the drive information of E: opens from the menu and closes"

[ "$(e2e_close)" = 0 ] || fail "exit code"
