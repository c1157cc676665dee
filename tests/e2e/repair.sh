#!/usr/bin/env bash
# repair.sh PREFIX EXE: a floppy whose boot sector was zeroed opens by its
# device; its saved boot sector, loaded from a sector file and written back,
# makes it a volume fsck.fat and mtools read again.
source "$(dirname "$0")/e2e-lib.sh"
e2e_begin_with_drives "$1" "$2"

images="$FATDRIVE_DIR"
sample_volume "$images/a.img" fat12
e2e_install_copy "$images/program"
printf "$E2E_EDITOR_INI" > "$images/program/veldis.INI"
dd if="$images/a.img" of="$images/program/boot.sct" bs=512 count=1 status=none
dd if=/dev/zero of="$images/a.img" bs=512 count=1 conv=notrunc status=none
cp "$images/a.img" "$images/damaged.img"
fatdrive_map a floppy "$images/a.img"
fatdrive_apply

e2e_start
e2e_wait_title '^Veldis$' 30 >/dev/null
e2e_focus_main
e2e_read_sector 0 a 0
DRIVE=0
xdotool key --delay 200 alt+v s l
e2e_wait_title "$(e2e_title 0 2879)" 30 >/dev/null
e2e_focus_main
echo "ok: the damaged floppy opens; LAST is the device's last sector, 2879"

e2e_read_sector 0 a 0
e2e_load_and_write boot.sct 0
restored() { cmp -s -n 512 "$images/a.img" "$images/program/boot.sct"; }
e2e_until 30 restored || fail "the boot sector was not written back"
cmp -s -i 512 "$images/a.img" "$images/damaged.img" || fail "sectors past the boot sector changed"
fsck.fat -n "$images/a.img" >/dev/null || fail "fsck.fat after the repair"
readme="$(MTOOLS_SKIP_CHECK=1 mtype -i "$images/a.img" ::README.TXT)" || fail "mtools cannot read README.TXT"
[[ "$readme" == "Veldis sample volume (fat12)."* ]] || fail "README.TXT reads: $readme"
echo "ok: the saved boot sector written back: fsck.fat clean, README.TXT reads again"

[ "$(e2e_close)" = 0 ] || fail "exit code"
