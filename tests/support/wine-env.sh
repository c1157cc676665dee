# Sourced by the test wrappers and the run command: the Wine environment every
# Windows program of this project runs in.

VELDIS_WINE=/usr/lib/wine/wine64          # Debian puts no wine64 on the PATH
VELDIS_WINESERVER=/usr/lib/wine/wineserver

# wine_env PREFIX: 64-bit prefix, ANSI code page 932, no Mono/Gecko prompts.
wine_env() {
    export WINEPREFIX="$1" WINEARCH=win64 WINEDEBUG="${WINEDEBUG:--all}"
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
    export WINEDLLOVERRIDES="mscoree,mshtml="
}

# wine_ensure_display: an Xvfb screen when there is no display, shared by
# every run; it outlives the test that started it.
wine_ensure_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local number="${VELDIS_XVFB_DISPLAY:-91}"
    export DISPLAY=":$number"
    (
        flock 8
        if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
            setsid Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null 8>&- &
            for _ in $(seq 50); do
                xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
                sleep 0.1
            done
        fi
    ) 8>"/tmp/.veldis-xvfb-$number.lock"
}

# wine_prepare PREFIX: creates the prefix on first use, with the Japanese
# faces the program asks for mapped onto the IPA fonts, and .htm files handed
# to Wine's browser bridge (the HTML viewer is turned off: no Gecko to offer).
# A prefix made by an older set-up is made again.
VELDIS_PREFIX_READY=.veldis-ready-2
wine_prepare() {
    wine_env "$1"
    mkdir -p "$1"
    (
        flock 9
        [ -f "$1/$VELDIS_PREFIX_READY" ] && exit 0
        # Daemons started here must not inherit the lock.
        "$VELDIS_WINE" wineboot -i >/dev/null 2>&1 9>&-
        local reg="$1/.veldis-setup.reg"
        {
            printf 'Windows Registry Editor Version 5.00\r\n\r\n'
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
            printf '"ＭＳ 明朝"="IPAMincho"\r\n'
            printf '"ＭＳ ゴシック"="IPAGothic"\r\n'
            for face in "ＭＳ Ｐゴシック" "MS Sans Serif" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2"; do
                printf '"%s"="IPAPGothic"\r\n' "$face"
            done
            for extension in .htm .html; do
                printf '\r\n[HKEY_CLASSES_ROOT\\%s]\r\n@="htmlfile"\r\n' "$extension"
            done
        } | iconv -f UTF-8 -t UTF-16 > "$reg"
        "$VELDIS_WINE" regedit /S "$reg" >/dev/null 2>&1 9>&-
        "$VELDIS_WINESERVER" -w 9>&-
        touch "$1/$VELDIS_PREFIX_READY"
    ) 9>"$1.lock"
}

# wine_browser PREFIX COMMAND: the browser Wine's bridge hands pages to.
wine_browser() {
    wine_env "$1"
    "$VELDIS_WINE" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$2" /f >/dev/null 2>&1
}
