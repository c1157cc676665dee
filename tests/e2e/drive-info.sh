#!/usr/bin/env bash
# drive-info.sh PREFIX EXE: both drive information dialogs opened from the
# menu on the sample drives, their texts read from the screen's windows.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

e2e_sample_drives
images="$FATDRIVE_DIR"

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
