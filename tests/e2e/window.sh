#!/bin/sh
# One window titled "OpenGL" with a 640 x 480 client area, the model at its
# centre, the two text lines at its lower left; Esc ends the viewer with 0.
. "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_stage
e2e_start
e2e_wait_for_text shot
count=$(e2e_window_count)
[ "$count" -eq 1 ] || fail "$count windows titled OpenGL"
[ "$WIN_W" -eq 640 ] && [ "$WIN_H" -eq 480 ] || fail "client area is ${WIN_W}x${WIN_H}, not 640x480"
e2e_check_model_at_centre shot
e2e_check_text shot
e2e_quit
echo "PASS"
