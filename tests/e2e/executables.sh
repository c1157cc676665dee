#!/usr/bin/env bash
# executables.sh WIN64_EXE WIN32_EXE IMPORT_LIST: both builds are GUI programs
# of their architecture that import system DLLs only, and carry the manifest;
# the PE32 one still loads on Windows 95/98 and NT 4.
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

# Subsystem 4.0, and only imports those systems export (the allow-list).
check_loads_on_old_windows() {
    local exe="$1" allowed="$2" headers imports extra
    headers="$(i686-w64-mingw32-objdump -p "$exe")"
    for field in MajorSubsystemVersion MajorOSystemVersion; do
        grep -qP "^$field\t4$" <<< "$headers" || fail "$exe: $field is not 4"
    done
    for field in MinorSubsystemVersion MinorOSystemVersion; do
        grep -qP "^$field\t0$" <<< "$headers" || fail "$exe: $field is not 0"
    done
    imports="$(awk '/DLL Name:/ {dll = $3} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ {print dll, $3}' \
        <<< "$headers" | sort)"
    [ -n "$imports" ] || fail "$exe: no imports read"
    extra="$(comm -23 <(echo "$imports") <(grep -v '^#' "$allowed" | sort))"
    [ -z "$extra" ] || fail "$exe imports what Windows 95 or NT 4 may lack (look it up at run time, or add it to $allowed once both export it): $extra"
    echo "ok: $exe is subsystem 4.0 and imports $(wc -l <<< "$imports") allowed functions"
}

check "$1" x86_64-w64-mingw32-objdump pei-x86-64
check "$2" i686-w64-mingw32-objdump pei-i386
check_loads_on_old_windows "$2" "$3"
