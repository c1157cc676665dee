#!/usr/bin/env bash
# help.sh PREFIX EXE MANUAL: F1 hands the manual beside the exe to Wine's
# browser bridge, which starts the browser it is set to (here a script that
# notes the page); without the manual, F1 says so naming its path; where
# VELDIS.HLP stands beside the exe, it calls the old help engine.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin "$1" "$2"
folder="$(mktemp -d /tmp/veldis-help-XXXXXX)"
trap 'wine_browser "$E2E_PREFIX" ""; rm -rf "$folder"; e2e_end' EXIT
e2e_install_copy "$folder"
printf "$E2E_EDITOR_INI" > "$folder/veldis.INI"
cp "$3" "$folder/VELDIS.HTM"
windows="Z:${folder//\//\\}"
printf '#!/bin/sh\necho "$@" >> "%s/pages"\n' "$folder" > "$folder/browser"
chmod +x "$folder/browser"
wine_browser "$E2E_PREFIX" "$folder/browser"
E2E_TRACE=trace+win
# A file shown, so that the main window's title is no box's.
head -c 4096 /dev/zero > "$folder/shown.img"
E2E_ARGUMENT="$windows\\shown.img"

# press_f1: a start, and F1 in the main window.
press_f1() {
    e2e_start
    e2e_wait_title '^Veldis - shown.img' 30 >/dev/null
    e2e_focus_main
    xdotool key F1
}
close() { [ "$(e2e_close)" = 0 ] || fail "exit code"; }

press_f1
e2e_until 30 grep -qx "file://$folder/VELDIS.HTM" "$folder/pages" 2>/dev/null ||
    fail "F1 handed the browser: $(cat "$folder/pages" 2>/dev/null)"
[ "$(e2e_box_count)" = 0 ] || fail "F1 showed a box: $(e2e_boxes)"
close
echo "ok: without VELDIS.HLP, F1 hands VELDIS.HTM beside the exe to the browser, and says nothing"

mv "$folder/VELDIS.HTM" "$folder/MANUAL.HTM"
press_f1
e2e_answer 0 centre "マニュアル ($windows\\VELDIS.HTM) を開けませんでした。"
e2e_until 10 e2e_no_box || fail "the box stayed"
close
echo "ok: without the manual, F1 says which file it could not open"

# The help engine (Wine's winhlp32) then complains of the empty file itself.
mv "$folder/MANUAL.HTM" "$folder/VELDIS.HTM"
: > "$folder/VELDIS.HLP"
: > "$folder/pages"
press_f1
e2e_until 30 grep -aqF "cmd=11 data=00000000 fn=$windows\\VELDIS.HLP" "$E2E_LOG/trace" ||
    fail "F1 did not call the help engine with VELDIS.HLP beside the exe"
[ -s "$folder/pages" ] && fail "F1 opened the manual beside VELDIS.HLP"
"$VELDIS_WINESERVER" -k 2>/dev/null || true
echo "ok: with VELDIS.HLP beside the exe, F1 calls WinHelpA with HELP_FINDER"
