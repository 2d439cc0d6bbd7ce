#!/bin/sh
# viewer.exe given make_game's test game folder shows testman as the game
# would, told by colours rather than positions (make_game.cpp's table): the
# chest's green stage added over its red one gives yellow, and the crest and
# ears, whose images are missing, show magenta checks; the lines at the top
# name the model. Turned round by a drag, the back shows the fin (cull none,
# seen from behind its faces) in its orange and the hair (alphaFunc GE128)
# in brown stripes without a pixel of its cut-away cyan.
. "$(dirname "$0")/e2e_lib.sh"
[ -f "$MD3V_GAME_SAMPLES/pak0.pk3" ] || fail "no test game folder in $MD3V_GAME_SAMPLES"
e2e_setup
e2e_stage
VIEWER_ARGS=$MD3V_GAME_SAMPLES
e2e_start viewer.exe "testman - default"
e2e_wait_for_text shot
e2e_check_model_at_centre shot

# Pixels of the window near each colour, as "magenta yellow orange brown cyan".
colours() {
    /usr/bin/python3 - "$WORK/$1.ppm" <<'PY'
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
n = {"magenta": 0, "yellow": 0, "orange": 0, "brown": 0, "cyan": 0}
for i in range(0, len(pixels) - 2, 3):
    r, g, b = pixels[i], pixels[i + 1], pixels[i + 2]
    if r > 100 and b > 100 and g < 40 and abs(r - b) < 40:
        n["magenta"] += 1
    if r > 200 and g > 200 and b < 80:
        n["yellow"] += 1
    if r > 200 and 90 < g < 170 and b < 40:
        n["orange"] += 1
    # 139 69 19, lit from the front while seen from behind: darker.
    if 30 < r < 160 and g > 10 and r > 1.6 * g and g > 2 * b:
        n["brown"] += 1
    # 0 255 255, lit or not.
    if r < 30 and g > 50 and b > 50 and abs(g - b) < 20:
        n["cyan"] += 1
print(n["magenta"], n["yellow"], n["orange"], n["brown"], n["cyan"])
PY
}
front=$(colours shot) || fail "cannot count the colours"
set -- $front
[ "$1" -gt 20 ] || fail "no magenta checks for the missing images ($front)"
[ "$2" -gt 20 ] || fail "the chest's added stages show no yellow ($front)"
# The first line at the top names the model and its skin.
e2e_count shot 0 $((WIN_H - 16)) 300 16
[ "$WHITE" -gt 40 ] || fail "no line naming the model at the top ($WHITE white pixels)"

# Half a turn: 360 pixels at half a degree each.
xdotool key --window "$WINDOW" space
e2e_geometry
y=$((WIN_Y + WIN_H / 2))
xdotool mousemove $((WIN_X + 140)) "$y" mousedown 1 mousemove $((WIN_X + 320)) "$y" mousemove $((WIN_X + 500)) "$y" mouseup 1
sleep 1
e2e_shot back
back=$(colours back) || fail "cannot count the colours"
set -- $back
[ "$3" -gt 100 ] || fail "no orange fin seen from behind ($back)"
[ "$4" -gt 100 ] || fail "no brown hair at the back ($back)"
[ "$5" -eq 0 ] || fail "the hair's cut-away cyan shows ($back)"
e2e_quit
echo "PASS (front $front, back $back: magenta yellow orange brown cyan pixels)"
