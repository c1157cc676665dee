#!/usr/bin/env bash
# Takes the manual's pictures from the real veldis.exe under Wine on the
# sample drives: each dialog is found by its title and taken alone.
# Run as root (the drives are loop devices); writes docs/manual/pictures.
# VELDIS_PICTURES_BUILD names another build folder (the Wine prefix goes
# inside it), VELDIS_PICTURES_OUT another folder for the pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build="${VELDIS_PICTURES_BUILD:-$PWD/build/win64}"
out="${VELDIS_PICTURES_OUT:-$PWD/docs/manual/pictures}"
cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" --target veldis -j 2
mkdir -p "$out"
source tests/e2e/e2e-lib.sh
source tests/support/sample-volumes.sh
e2e_begin_with_drives "$build/wineprefix" "$build/veldis.exe"
e2e_sample_drives

# take TITLE NAME: the dialog so titled, once it has drawn, into NAME.png.
take() {
    DIALOG="$(e2e_wait_window "$1" 10)"
    sleep 1.5
    import -window "$DIALOG" "$out/$2.png"
}

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
xdotool key ctrl+r
take 'セクタ読込' read
dialog_leave "$DIALOG" 150 76 105 61  # ｷｬﾝｾﾙ

e2e_read_sector 0 a 19  # the root directory
xdotool key --delay 100 Home Down Down Down alt+v c  # README.TXT's entry
take 'クラスタの指定' cluster
dialog_leave "$DIALOG" 150 56 105 41  # ｷｬﾝｾﾙ

# The structure view of the same sector, README.TXT's row under the caret;
# closed again, so the settings keep it hidden.
e2e_focus_main
xdotool key alt+v d
take 'セクタの構造' structure
e2e_focus_main
xdotool key alt+v d

e2e_focus_main
xdotool key --delay 100 Home Down Down Right Right alt+e e w
take 'エディット' value-edit
dialog_leave "$DIALOG" 190 71 160 31  # ｷｬﾝｾﾙ

e2e_focus_main
xdotool key alt+v o
take 'オプション設定' options
dialog_leave "$DIALOG" 168 64 113 49  # ｷｬﾝｾﾙ

e2e_focus_main
xdotool key alt+f i
take 'ドライブイメージの保存' image-save
dialog_leave "$DIALOG" 218 179 183 165  # 戻る

e2e_focus_main
xdotool key alt+f u
take 'ドライブイメージの復元' image-restore
dialog_leave "$DIALOG" 218 179 183 165  # 戻る

e2e_focus_main
xdotool key alt+v a
take '全ドライブ情報' all-drives
dialog_click "$DIALOG" 286 122 140 100
xdotool key alt+F4

e2e_focus_main
xdotool key alt+h a
take 'バージョン情報' about
dialog_leave "$DIALOG" 150 56 75 43  # OK

e2e_read_sector 4 e 0
xdotool key alt+v i
take 'Ｅドライブ詳細情報' drive-info
dialog_leave "$DIALOG" 291 177 258 162  # 戻る

# The find dialog with a hex pattern typed, then text found on the floppy:
# the main window with the caret on the match and its bytes marked.
e2e_read_sector 0 a 0
xdotool key ctrl+f
DIALOG="$(e2e_wait_window '検索' 10)"
sleep 0.5
xdotool type --delay 60 'EB 3C 90'
take '検索' find
xdotool key --window "$DIALOG" End shift+Home Delete
xdotool type --delay 60 'サンプル'
dialog_click "$DIALOG" 248 107 57 56   # 文字列
dialog_leave "$DIALOG" 248 107 161 93  # OK
e2e_wait_title "$(e2e_title 0 '[1-9][0-9]*')" 20 >/dev/null
sleep 1.5
import -window "$MAIN" "$out/found.png"

# The main window with four bytes typed over a sector of the data area, the
# caret put on the first hex digit of line 1 by a click (the find above left
# it in the character column), the status bar under the dump.
e2e_read_sector 0 a 40
xdotool mousemove --window "$MAIN" 65 50 click 1
xdotool key --delay 100 4 1 4 2 5 6 4 5
sleep 1
import -window "$MAIN" "$out/main.png"
xdotool key alt+e r
sleep 0.5

# README.TXT's time and date selected in its directory entry, from byte 39h
# back to 36h with Shift; then the data inspector reading them at the caret,
# closed again after.
e2e_read_sector 0 a 19
xdotool mousemove --window "$MAIN" 332 91 click 1
xdotool key --delay 100 shift+Left shift+Left shift+Left
sleep 1
import -window "$MAIN" "$out/selection.png"
e2e_focus_main
xdotool key alt+v r
take 'データインスペクタ' inspector
e2e_focus_main
xdotool key alt+v r

# A whole disk handed to the window by a second start: its partition list.
disk="$(mktemp -d)"
sample_disk "$disk/card.img"
(cd "$disk" && "$VELDIS_WINE" "$build/veldis.exe" card.img >/dev/null 2>&1)
e2e_wait_title '^Veldis - card.img　0セクタ$' 30 >/dev/null
e2e_focus_main
xdotool key alt+v p
take 'パーティション一覧' partitions
dialog_click "$DIALOG" 380 140 190 130
xdotool key alt+F4
rm -rf "$disk"
e2e_focus_main
xdotool key alt+F4
[ "$(e2e_wait_exit 20)" = 0 ] || fail "exit code"
ls "$out"
