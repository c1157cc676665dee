#!/usr/bin/env bash
# startup.sh PREFIX EXE: what each kind of Windows gets from veldis.exe at start.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin "$1" "$2"

MSG_OS_UNSUPPORTED="このＯＳには対応していません。"

# NT 3.51 and anything older than NT 4: the error box, then exit code 1.
e2e_windows_version nt351
e2e_start
box="$(e2e_wait_window Veldis 30)"
xdotool key --window "$box" Return
status="$(e2e_wait_exit 30)"
[ "$status" = 1 ] || fail "NT 3.51: exit code $status, expected 1"
[ "$(e2e_boxes)" = "$(wine_text "$MSG_OS_UNSUPPORTED")" ] || fail "NT 3.51: boxes were: $(e2e_boxes)"
echo "ok: NT 3.51 is refused with the error box and exit code 1"

# Supported systems open the main window without a word (Wine's user is an
# administrator; the 95/98 family has no rights check); Alt+F4 ends it.
for version in nt40 win2k win7 win95 win98; do
    e2e_windows_version "$version"
    e2e_start
    window="$(e2e_wait_window Veldis 30)"
    [ -z "$(e2e_boxes)" ] || fail "$version: unexpected boxes: $(e2e_boxes)"
    xdotool mousemove --window "$window" 300 200 click 1
    sleep 0.5
    xdotool key alt+F4
    status="$(e2e_wait_exit 30)"
    [ "$status" = 0 ] || fail "$version: exit code $status, expected 0"
    echo "ok: $version opens the main window quietly and Alt+F4 ends it"
done
