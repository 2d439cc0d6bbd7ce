# Shell helpers for running the Windows programs under Wine on a private
# Xvfb display. Source this file; it defines:
#   wine_prefix_init DIR [win32|win64]
#                          create (once) and select the Wine prefix in DIR,
#                          64-bit unless win32 is given
#   wine_has_32bit         true when 32-bit Wine is installed
#   xvfb_start             start Xvfb on a free display and export DISPLAY
#   xvfb_stop              stop it again (also run on exit)
# WINEDEBUG is silenced; the caller runs `wine PROGRAM` itself.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

wine_has_32bit() {
    [ -d /usr/lib/i386-linux-gnu/wine/i386-windows ]
}

wine_prefix_has_wow64() {
    [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]
}

wine_prefix_init() {
    export WINEPREFIX="$1"
    # A prefix holds programs of one width: 32-bit ones get their own.
    case "${2:-win64}" in
    win32) export WINEARCH=win32 ;;
    *) unset WINEARCH ;;
    esac
    # A 64-bit prefix made before 32-bit Wine was installed lacks the 32-bit
    # system (64-bit-only Wine makes syswow64 but leaves it empty), and with
    # 32-bit Wine present no 64-bit program starts in it any more ("could not
    # load kernel32.dll"): make it again.
    if [ "${2:-win64}" = win64 ] && wine_has_32bit &&
        [ -f "$WINEPREFIX/system.reg" ] && ! wine_prefix_has_wow64; then
        (
            flock 9
            if ! wine_prefix_has_wow64; then
                wineserver -k 2>/dev/null || true
                rm -rf "$WINEPREFIX"
            fi
        ) 9>"$WINEPREFIX.lock"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        # One prefix is shared by the tests; the first one in creates it.
        (
            flock 9
            [ -f "$WINEPREFIX/system.reg" ] || wine wineboot -i >/dev/null 2>&1
            wineserver -w
        ) 9>"$WINEPREFIX.lock"
    fi
}

XVFB_PID=""
xvfb_start() {
    fd_file=$(mktemp)
    Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$fd_file" 2>/dev/null &
    XVFB_PID=$!
    i=0
    while [ ! -s "$fd_file" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    DISPLAY=":$(head -n1 "$fd_file")"
    export DISPLAY
    rm -f "$fd_file"
    trap xvfb_stop EXIT
}

xvfb_stop() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}
