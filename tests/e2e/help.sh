#!/usr/bin/env bash
# help.sh PREFIX EXE MANUAL: F1 asks the shell to open the manual beside the
# exe, or calls the old help engine where VELDIS.HLP stands beside it; seen
# from outside in Wine's trace of the shell and help calls.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin "$1" "$2"
folder="$(mktemp -d /tmp/veldis-help-XXXXXX)"
trap 'rm -rf "$folder"; e2e_end' EXIT
e2e_install_copy "$folder"
printf "$E2E_EDITOR_INI" > "$folder/veldis.INI"
cp "$3" "$folder/VELDIS.HTM"
windows="Z:${folder//\//\\}"
E2E_TRACE=trace+exec,trace+win

# press_f1 PATTERN: a start, F1, then PATTERN in the trace.
press_f1() {
    e2e_start
    e2e_wait_title '^Veldis$' 30 >/dev/null
    e2e_focus_main
    xdotool key F1
    e2e_until 20 grep -aqF "$1" "$E2E_LOG/trace" || fail "F1 did not lead to $1"
}

press_f1 "$(printf '%s' "file=L\"$windows\\VELDIS.HTM\"" | sed 's/\\/\\\\/g')"
sleep 2
[ "$(e2e_box_count)" = 0 ] || fail "F1 showed a box: $(e2e_boxes)"
grep -aq 'WinHelpA' "$E2E_LOG/trace" && fail "F1 called the help engine without VELDIS.HLP"
e2e_focus_main
xdotool key alt+F4
[ "$(e2e_wait_exit 20)" = 0 ] || fail "exit code"
echo "ok: without VELDIS.HLP, F1 asks the shell to open VELDIS.HTM beside the exe, and says nothing"

# The help engine (Wine's winhlp32) then complains of the empty file itself.
: > "$folder/VELDIS.HLP"
press_f1 'WinHelpA Sending[27]: cmd=11 data=00000000 fn=VELDIS.HLP'
grep -aqF 'VELDIS.HTM' "$E2E_LOG/trace" && fail "F1 opened the manual beside VELDIS.HLP"
"$VELDIS_WINESERVER" -k 2>/dev/null || true
echo "ok: with VELDIS.HLP beside the exe, F1 calls WinHelpA with HELP_FINDER"
