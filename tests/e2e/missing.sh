#!/bin/sh
# Missing model files or textures leave out those pieces or skins: the
# viewer keeps running and still draws the overlay and what remains.
. "$(dirname "$0")/e2e_lib.sh"
e2e_setup

# Legs region of the 640 x 480 client: between feet and hips, mid-window.
legs_lit() {
    e2e_count "$1" 240 90 160 90
    echo "$LIT"
}

# No legs: nothing hangs from the root, so no model at all.
e2e_stage lower.md3
e2e_start
e2e_wait_for_text no_legs
sleep 3
e2e_check_alive
e2e_shot no_legs
e2e_check_text no_legs
e2e_count no_legs 0 32 "$WIN_W" $((WIN_H - 32))
[ "$LIT" -eq 0 ] || fail "without lower.md3 $LIT model pixels are drawn"
e2e_quit

# No torso (so no head or weapon either) and no skins: bare legs only.
e2e_stage upper.md3 base.tga base1.tga base2.tga base3.tga
e2e_start
e2e_wait_for_text legs_only
sleep 3
e2e_check_alive
e2e_shot legs_only
e2e_check_text legs_only
[ "$(legs_lit legs_only)" -gt 1000 ] || fail "without upper.md3 the legs are not drawn"
e2e_count legs_only $((WIN_W / 2 - 20)) $((WIN_H / 2 - 20)) 40 40
[ "$LIT" -eq 0 ] || fail "without upper.md3 something is drawn at the torso's place"
e2e_quit

# No head and no weapon: legs and torso remain.
e2e_stage head.md3 rocketl.md3
e2e_start
e2e_wait_for_text no_head
sleep 3
e2e_check_alive
e2e_shot no_head
e2e_check_text no_head
e2e_check_model_at_centre no_head
# The head would stand above the torso, about 290 to 340 rows up.
e2e_count no_head 280 290 80 50
[ "$LIT" -eq 0 ] || fail "without head.md3 something is drawn at the head's place"
e2e_quit
echo "PASS"
