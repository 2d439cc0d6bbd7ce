#!/bin/sh
# After the window is resized the model is still at its centre and the two
# text lines follow the client area's lower-left corner.
. "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_stage
e2e_start
e2e_wait_for_text before
# The model's height in pixels: the projection spans the client's height.
e2e_count before 0 32 "$WIN_W" $((WIN_H - 32))
[ "$LIT" -gt 0 ] || fail "no model drawn before resizing"
height_before=$((LIT_BOTTOM - LIT_TOP))
xdotool windowsize "$WINDOW" 800 600 2>/dev/null
i=0
while [ $i -lt 100 ]; do
    e2e_geometry
    [ "$WIN_W" -eq 800 ] && [ "$WIN_H" -eq 600 ] && break
    sleep 0.1
    i=$((i + 1))
done
[ "$WIN_W" -eq 800 ] && [ "$WIN_H" -eq 600 ] || fail "window is ${WIN_W}x${WIN_H} after resizing to 800x600"
sleep 2
e2e_shot after
e2e_check_model_at_centre after
e2e_check_text after
e2e_count after 0 32 "$WIN_W" $((WIN_H - 32))
height_after=$((LIT_BOTTOM - LIT_TOP))
# 600 / 480 = 1.25 times as tall, give or take a few pixels.
[ $((height_after * 100)) -gt $((height_before * 118)) ] && [ $((height_after * 100)) -lt $((height_before * 132)) ] ||
    fail "model height $height_before -> $height_after pixels: the projection did not follow the new size"
# Where the lines stood in the 640 x 480 client, counted from the new top:
# nothing must be left there.
e2e_count after 0 $((600 - 480)) 160 32
[ "$WHITE" -eq 0 ] || fail "text still at the old lower-left position ($WHITE white pixels)"
e2e_check_alive
e2e_quit
echo "PASS (model height $height_before -> $height_after pixels)"
