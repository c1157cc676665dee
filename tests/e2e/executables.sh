#!/usr/bin/env bash
# executables.sh WIN64_EXE WIN32_EXE: both builds are GUI programs of their
# architecture that import system DLLs only, and carry the manifest.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }

SYSTEM_DLLS="KERNEL32.dll USER32.dll GDI32.dll COMCTL32.dll COMDLG32.dll ADVAPI32.dll SHELL32.dll OLE32.dll msvcrt.dll"

check() {
    local exe="$1" objdump="$2" format="$3" dll headers
    [ -f "$exe" ] || fail "$exe is missing: build its preset first"
    # Whole outputs first: grep -q on a pipe would cut objdump short.
    headers="$("$objdump" -f -p "$exe")"
    grep -q "file format $format" <<< "$headers" || fail "$exe is not $format"
    grep -q "Subsystem.*(Windows GUI)" <<< "$headers" || fail "$exe is not a GUI program"
    for dll in $(sed -n 's/^\s*DLL Name: //p' <<< "$headers"); do
        case " ${SYSTEM_DLLS,,} " in
            *" ${dll,,} "*) ;;
            *) fail "$exe imports $dll" ;;
        esac
    done
    grep -q 'level="highestAvailable"' "$exe" || fail "$exe lacks the highestAvailable manifest"
    echo "ok: $exe is $format, GUI, system DLLs only"
}

check "$1" x86_64-w64-mingw32-objdump pei-x86-64
check "$2" i686-w64-mingw32-objdump pei-i386
