#!/bin/sh
# A torso with fewer frames than the pose frame still shows (held at its
# last frame), together with what it carries.
. "$(dirname "$0")/e2e_lib.sh"
e2e_setup
SAMPLE_DIR="$WORK/samples"
mkdir -p "$SAMPLE_DIR"
"$MD3V_MAKE_SAMPLES" "$SAMPLE_DIR" --torso-frames 50 || fail "make_samples --torso-frames 50 failed"
e2e_stage
e2e_start
e2e_wait_for_text shot
sleep 3
e2e_check_alive
e2e_shot shot
e2e_check_model_at_centre shot
e2e_check_text shot
e2e_count shot 280 290 80 50
[ "$LIT" -gt 1000 ] || fail "the head is not drawn on the short torso"
e2e_quit
echo "PASS"
