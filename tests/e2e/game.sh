#!/bin/sh
# viewer.exe given make_game's test game folder shows testman as the game
# would, told by colours rather than positions (make_game.cpp's table): the
# chest's green stage added over its red one gives yellow, and the crest and
# ears, whose images are missing, show magenta checks; the lines at the top
# name the model. (The hair and the fin hang at the back, out of the fixed
# view's sight.)
. "$(dirname "$0")/e2e_lib.sh"
[ -f "$MD3V_GAME_SAMPLES/pak0.pk3" ] || fail "no test game folder in $MD3V_GAME_SAMPLES"
e2e_setup
e2e_stage
VIEWER_ARGS=$MD3V_GAME_SAMPLES
e2e_start
e2e_wait_for_text shot
e2e_check_model_at_centre shot

# Pixels of the window near each colour, as "magenta yellow".
counts=$(/usr/bin/python3 - "$WORK/shot.ppm" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
fields, at = [], 0
while len(fields) < 4:
    while data[at:at + 1].isspace():
        at += 1
    end = at
    while not data[end:end + 1].isspace():
        end += 1
    fields.append(data[at:end])
    at = end
pixels = data[at + 1:]
n = {"magenta": 0, "yellow": 0}
for i in range(0, len(pixels) - 2, 3):
    r, g, b = pixels[i], pixels[i + 1], pixels[i + 2]
    if r > 100 and b > 100 and g < 40 and abs(r - b) < 40:
        n["magenta"] += 1
    if r > 200 and g > 200 and b < 80:
        n["yellow"] += 1
print(n["magenta"], n["yellow"])
PY
) || fail "cannot count the colours"
set -- $counts
[ "$1" -gt 20 ] || fail "no magenta checks for the missing images ($counts)"
[ "$2" -gt 20 ] || fail "the chest's added stages show no yellow ($counts)"
# The first line at the top names the model and its skin.
e2e_count shot 0 $((WIN_H - 16)) 300 16
[ "$WHITE" -gt 40 ] || fail "no line naming the model at the top ($WHITE white pixels)"
e2e_quit
echo "PASS ($counts: magenta and yellow pixels)"
