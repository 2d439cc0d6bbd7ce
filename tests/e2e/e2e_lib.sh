# Helpers for the end-to-end runs of viewer.exe under Wine on a private Xvfb
# display. Source it from a test script; the test's environment gives
#   MD3V_WINEPREFIX   the shared Wine prefix
#   MD3V_WIN_BIN      folder with viewer.exe, tga.dll and font.dll
#   MD3V_SAMPLES      folder with the sample data
#   MD3V_MAKE_SAMPLES the sample-data tool
#   MD3V_SHOT_CHECK   the screenshot pixel counter
# Every helper that waits gives up after a bounded time; a failure prints
# FAIL and exits 1, and the exit trap ends this test's viewer and display.

. "$(dirname "$0")/../support/wine_env.sh"

VIEWER_PID=""
WINDOW=""
WORK=""

fail() {
    echo "FAIL: $*"
    exit 1
}

e2e_cleanup() {
    if [ -n "$VIEWER_PID" ] && kill -0 "$VIEWER_PID" 2>/dev/null; then
        kill "$VIEWER_PID" 2>/dev/null
        wait "$VIEWER_PID" 2>/dev/null
    fi
    xvfb_stop
    [ -n "$WORK" ] && rm -rf "$WORK"
}

# Starts the display and a scratch folder for this test.
e2e_setup() {
    for tool in Xvfb xdotool xwininfo import wine; do
        command -v $tool >/dev/null 2>&1 || fail "$tool is not installed"
    done
    [ -f "$MD3V_WIN_BIN/viewer.exe" ] || fail "no viewer.exe in $MD3V_WIN_BIN"
    # WINEARCH=win32 gives 32-bit programs a prefix of their width.
    wine_prefix_init "$MD3V_WINEPREFIX" "${WINEARCH:-win64}"
    xvfb_start
    trap e2e_cleanup EXIT
    WORK=$(mktemp -d)
    RUN="$WORK/run"
    mkdir -p "$RUN"
}

# Fills the run folder with the programs and the sample data (from
# $SAMPLE_DIR when set), leaving out the files named as arguments.
e2e_stage() {
    samples=${SAMPLE_DIR:-$MD3V_SAMPLES}
    rm -f "$RUN"/*
    cp "$MD3V_WIN_BIN/viewer.exe" "$MD3V_WIN_BIN/tga.dll" "$MD3V_WIN_BIN/font.dll" "$RUN/"
    cp "$samples"/*.md3 "$samples"/*.tga "$RUN/"
    for name in "$@"; do
        rm -f "$RUN/$name"
    done
}

# Runs viewer.exe (or the program $1 whose window is titled $2) in the run
# folder, with the arguments in VIEWER_ARGS, and waits up to 60 s for its
# window.
e2e_start() {
    program=${1:-viewer.exe}
    title=${2:-OpenGL}
    # shellcheck disable=SC2086
    (cd "$RUN" && exec "$WINE" "$program" $VIEWER_ARGS >"$WORK/viewer.log" 2>&1) &
    VIEWER_PID=$!
    e2e_start_wait "$title"
}

# Waits up to 60 s for the window titled $1 of the program started as
# VIEWER_PID.
e2e_start_wait() {
    title=$1
    program=${program:-viewer.exe}
    i=0
    while [ $i -lt 600 ]; do
        WINDOW=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1)
        [ -n "$WINDOW" ] && break
        kill -0 "$VIEWER_PID" 2>/dev/null ||
            fail "$program ended before showing a window on $DISPLAY; it said: $(tail -n 5 "$WORK/viewer.log" 2>/dev/null | tr -d '\r' | tr '\n' '|')"
        sleep 0.1
        i=$((i + 1))
    done
    [ -n "$WINDOW" ] || fail "no window titled $title within 60 s"
}

# Number of windows titled exactly "OpenGL".
e2e_window_count() {
    xdotool search --name '^OpenGL$' 2>/dev/null | wc -l
}

# Sets WIN_X, WIN_Y (on the screen), WIN_W and WIN_H of the window.
e2e_geometry() {
    info=$(xwininfo -id "$WINDOW") || fail "xwininfo cannot read window $WINDOW"
    WIN_X=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
    WIN_Y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
    WIN_W=$(echo "$info" | sed -n 's/.*Width: *//p')
    WIN_H=$(echo "$info" | sed -n 's/.*Height: *//p')
}

# Saves the window's area of the screen as $WORK/$1.ppm.
e2e_shot() {
    e2e_geometry
    import -window root -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage -depth 8 "$WORK/$1.ppm" ||
        fail "cannot take a screenshot"
}

# Counts a rectangle of shot $1 given by x, height of its lower edge above
# the window's bottom, width and height; sets PIX, LIT and WHITE, the lit
# pixels' bounding box LIT_LEFT, LIT_TOP, LIT_RIGHT, LIT_BOTTOM (in window
# pixels from the top-left, -1 when nothing is lit), the mean channels
# MEAN_R, MEAN_G, MEAN_B, the brightness's standard deviation SPREAD and the
# mean CHROMA (see shot_check.cpp).
e2e_count() {
    top=$((WIN_H - $3 - $5))
    counts=$("$MD3V_SHOT_CHECK" "$WORK/$1.ppm" "$2" "$top" "$4" "$5") || fail "shot_check failed"
    set -- $counts
    PIX=$1
    LIT=$2
    WHITE=$3
    LIT_LEFT=$4
    LIT_TOP=$5
    LIT_RIGHT=$6
    LIT_BOTTOM=$7
    MEAN_R=$8
    MEAN_G=$9
    MEAN_B=${10}
    SPREAD=${11}
    CHROMA=${12}
}

# Takes shots until the bottom text row holds text (the first frame-rate
# measurement has been drawn), for at most 30 s; the last shot is $1. Until
# the first frame the window shows its white background, which is no text.
e2e_wait_for_text() {
    i=0
    while [ $i -lt 60 ]; do
        e2e_shot "$1"
        e2e_count "$1" 0 0 160 16
        [ "$WHITE" -gt 20 ] && [ $((WHITE * 2)) -lt "$PIX" ] && return 0
        sleep 0.5
        i=$((i + 1))
    done
    fail "no frame-rate text at the lower left within 30 s"
}

# The two text lines: glyph pixels at the lower left in rows 0-15 and
# 16-31, sparse enough to be lettering rather than filled blocks, and no
# text pixel anywhere else along the bottom.
e2e_check_text() {
    e2e_count "$1" 0 0 160 16
    [ "$WHITE" -gt 20 ] || fail "no frame-rate text in the bottom 16 rows ($WHITE white pixels)"
    [ $((WHITE * 2)) -lt "$PIX" ] || fail "the frame-rate line is a filled block, not lettering"
    e2e_count "$1" 0 16 160 16
    [ "$WHITE" -gt 20 ] || fail "no error-line text in rows 16-31 ($WHITE white pixels)"
    [ $((WHITE * 2)) -lt "$PIX" ] || fail "the error line is a filled block, not lettering"
    e2e_count "$1" 200 0 $((WIN_W - 200)) 32
    [ "$WHITE" -eq 0 ] || fail "text pixels at the bottom right ($WHITE)"
    # Glyphs are 16 pixels high: nothing above the two lines.
    e2e_count "$1" 0 32 160 32
    [ "$WHITE" -eq 0 ] || fail "text pixels above row 32 at the left ($WHITE)"
}

# Fails unless the centre of the window shows the model.
e2e_check_model_at_centre() {
    e2e_count "$1" $((WIN_W / 2 - 20)) $((WIN_H / 2 - 20)) 40 40
    [ $((LIT * 2)) -gt "$PIX" ] || fail "the model does not cover the centre ($LIT of $PIX lit)"
}

# Waits up to $1 seconds for the viewer to end; sets VIEWER_RC.
e2e_wait_exit() {
    i=0
    while kill -0 "$VIEWER_PID" 2>/dev/null; do
        [ $i -ge $(($1 * 10)) ] && fail "viewer.exe still running after $1 s"
        sleep 0.1
        i=$((i + 1))
    done
    wait "$VIEWER_PID"
    VIEWER_RC=$?
    VIEWER_PID=""
}

# Ends the viewer with Esc and expects exit code 0.
e2e_quit() {
    xdotool key --window "$WINDOW" Escape 2>/dev/null
    e2e_wait_exit 20
    [ "$VIEWER_RC" -eq 0 ] || fail "Esc ended the viewer with code $VIEWER_RC"
}

e2e_check_alive() {
    kill -0 "$VIEWER_PID" 2>/dev/null || fail "viewer.exe has ended ($(cat "$WORK/viewer.log" 2>/dev/null | tail -n 3))"
}
