#!/usr/bin/env bash
# startup.sh PREFIX EXE: what each kind of Windows gets from veldis.exe at start.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin "$1" "$2"

MSG_OS_UNSUPPORTED="このＯＳには対応していません。"

# NT 3.51 and anything older than NT 4: the error box, then exit code 1.
e2e_windows_version nt351
e2e_start
e2e_answer_box 0 centre >/dev/null
status="$(e2e_wait_exit 30)"
[ "$status" = 1 ] || fail "NT 3.51: exit code $status, expected 1"
[ "$(e2e_boxes)" = "$(wine_text "$MSG_OS_UNSUPPORTED")" ] || fail "NT 3.51: boxes were: $(e2e_boxes)"
echo "ok: NT 3.51 is refused with the error box and exit code 1"

# Supported systems open the main window without a word (Wine's user is an
# administrator; the 95/98 family has no rights check); Alt+F4 ends it.
for version in nt40 win2k win7 win95 win98; do
    e2e_windows_version "$version"
    e2e_start
    e2e_wait_window Veldis 30 >/dev/null
    [ -z "$(e2e_boxes)" ] || fail "$version: unexpected boxes: $(e2e_boxes)"
    status="$(e2e_close)"
    [ "$status" = 0 ] || fail "$version: exit code $status, expected 0"
    echo "ok: $version opens the main window quietly and Alt+F4 ends it"
done

# A rectangle saved while minimized, or on a screen that is gone, opens on
# the screen at its size; the next save keeps that place.
e2e_windows_version ""
e2e_install_copy "$E2E_LOG/program"
for saved in "-32000 28 -32000 160" "3000 600 5000 800"; do
    read -r top height left width <<< "$saved"
    printf '[OPTION]\r\nTOP=%s\r\nBOTTOM=%s\r\nLEFT=%s\r\nRIGHT=%s\r\n' \
        "$top" "$height" "$left" "$width" > "$E2E_LOG/program/veldis.INI"
    e2e_start
    window="$(e2e_wait_window Veldis 30)"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    screen="$(xdpyinfo | sed -n 's/ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')"
    read -r screen_width screen_height <<< "$screen"
    [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le "$screen_width" ] &&
        [ $((Y + HEIGHT)) -le "$screen_height" ] ||
        fail "saved at $left,$top: opened at $X,$Y, ${WIDTH}x$HEIGHT, off the ${screen} screen"
    [ "$(e2e_close)" = 0 ] || fail "exit code after a start at $left,$top"
    grep -q "^LEFT=-\?[0-9]\{1,4\}\s*$" "$E2E_LOG/program/veldis.INI" ||
        fail "saved again off the screen: $(tr '\r\n' '  ' < "$E2E_LOG/program/veldis.INI")"
    echo "ok: a window saved at $left,$top opens at $X,$Y on the screen"
done
