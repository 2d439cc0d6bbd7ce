# Shell helpers for running the Windows programs under Wine on a private
# Xvfb display. Source this file; it defines:
#   wine_prefix_init DIR [win32|win64]
#                          create (once) and select the Wine prefix in DIR,
#                          64-bit unless win32 is given
#   runs_32bit             true when a 32-bit x86 program runs on this machine
#   wine_has_32bit         true when 32-bit Wine is installed and runs here
#   wine_32bit_unavailable prints why 32-bit Windows programs cannot run here
#                          and succeeds; fails, silent, where they can
#   WINE                   the Wine loader to run programs with
#   xvfb_start             start Xvfb on a free display and export DISPLAY
#   xvfb_stop              stop it again (also run on exit)
# WINEDEBUG is silenced; the caller runs `"$WINE" PROGRAM` itself. A prefix
# of width win32 where 32-bit programs cannot run ends the calling script
# with 77, ctest's skip, and the reason.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Whether this machine executes 32-bit x86 programs, found out by running
# one: some kernels are built without 32-bit support, and there every i386
# program, Debian's i386 loaders and 32-bit Wine among them, fails with "Exec
# format error" however much of it is installed. The program is a 96-byte
# static ELF written here, which needs no i386 package: it calls exit(42)
# through int 0x80. The distinct status matters, since sh runs a file that
# the kernel refuses as a shell script. MD3V_PROBE_32BIT names a file to run
# in its place (the tests point it at one that cannot execute).
runs_32bit_elf() {
    # The ELF header: 32-bit, little-endian, an i386 executable entered at
    # 0x08048054, one program header.
    printf '\177\105\114\106\1\1\1\0\0\0\0\0\0\0\0\0'
    printf '\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0'
    printf '\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0'
    # It loads the whole file, 96 bytes, readable and executable at 0x08048000.
    printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0'
    # mov ebx, 42; mov eax, 1 (exit); int 0x80
    printf '\273\52\0\0\0\270\1\0\0\0\315\200'
}

runs_32bit() {
    if [ -n "$MD3V_PROBE_32BIT" ]; then
        "$MD3V_PROBE_32BIT" >/dev/null 2>&1
        [ $? = 42 ]
        return
    fi
    exec32_file=$(mktemp "${TMPDIR:-/tmp}/md3v-32bit.XXXXXX") || return 1
    runs_32bit_elf >"$exec32_file"
    chmod 755 "$exec32_file"
    "$exec32_file" >/dev/null 2>&1
    exec32_status=$?
    rm -f "$exec32_file"
    [ $exec32_status = 42 ]
}

WINE_RUNS_32BIT=no
runs_32bit && WINE_RUNS_32BIT=yes

wine_32bit_unavailable() {
    if [ $WINE_RUNS_32BIT = no ]; then
        echo "this machine cannot run 32-bit programs"
    elif [ ! -d /usr/lib/i386-linux-gnu/wine/i386-windows ]; then
        echo "32-bit Wine is not installed"
    else
        return 1
    fi
}

wine_has_32bit() {
    ! wine_32bit_unavailable >/dev/null
}

# Debian's wine script takes the 32-bit loader whenever it is installed, even
# where it cannot start; the 64-bit one runs 64-bit programs by itself, and
# WINELOADER makes Wine start its own processes with it too.
WINE=wine
if [ $WINE_RUNS_32BIT = no ] && [ -x /usr/lib/wine/wine64 ]; then
    WINE=/usr/lib/wine/wine64
    export WINELOADER=$WINE
fi

wine_prefix_has_wow64() {
    [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]
}

wine_prefix_init() {
    export WINEPREFIX="$1"
    # A prefix holds programs of one width: 32-bit ones get their own.
    case "${2:-win64}" in
    win32)
        if reason=$(wine_32bit_unavailable); then
            echo "skipped: $reason"
            exit 77
        fi
        export WINEARCH=win32 ;;
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
            [ -f "$WINEPREFIX/system.reg" ] || "$WINE" wineboot -i >/dev/null 2>&1
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
    if [ ! -s "$fd_file" ]; then
        rm -f "$fd_file"
        kill "$XVFB_PID" 2>/dev/null
        echo "FAIL: Xvfb gave no display within 10 s"
        exit 1
    fi
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
