#!/bin/sh
# Closing the window (Alt+F4, which the default window procedure turns into
# WM_CLOSE) ends the viewer with code 0 and takes the window away.
. "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_stage
e2e_start
e2e_wait_for_text shot
xdotool key --window "$WINDOW" alt+F4 2>/dev/null
e2e_wait_exit 20
[ "$VIEWER_RC" -eq 0 ] || fail "closing ended the viewer with code $VIEWER_RC"
count=$(e2e_window_count)
[ "$count" -eq 0 ] || fail "$count windows titled OpenGL left after closing"
echo "PASS"
