#!/bin/sh
# tga_example.exe seen from outside: on the sphere each cube face's colour
# sits where the reflection puts that face (+Z in the middle, +X right, -X
# left, +Y up, -Y down, -Z around the rim), the stone wall beside it is
# lit unevenly in grey as the DOT3 combine makes it, and Esc ends the
# program with 0.
. "$(dirname "$0")/e2e_lib.sh"
e2e_setup
cp "$MD3V_WIN_BIN/tga_example.exe" "$MD3V_WIN_BIN/tga.dll" "$MD3V_WIN_BIN/font.dll" \
   "$MD3V_SAMPLES/font.tga" "$MD3V_EXAMPLE_DATA"/*.tga "$RUN/" || fail "cannot stage the example"
e2e_start tga_example.exe "tga example"
e2e_wait_for_text shot

# Counts a rectangle of the shot given by its top-left corner and size.
box() {
    e2e_count shot "$1" $((WIN_H - $2 - $4)) "$3" "$4"
}

# The face whose colour a rectangle shows, from the channels above half the
# strongest: +X red, -X cyan, +Y green, -Y magenta, +Z blue, -Z yellow.
face_at() {
    box "$@"
    top=$MEAN_R
    [ "$MEAN_G" -gt "$top" ] && top=$MEAN_G
    [ "$MEAN_B" -gt "$top" ] && top=$MEAN_B
    mix=""
    [ $((MEAN_R * 2)) -gt "$top" ] && mix="${mix}r"
    [ $((MEAN_G * 2)) -gt "$top" ] && mix="${mix}g"
    [ $((MEAN_B * 2)) -gt "$top" ] && mix="${mix}b"
    [ "$top" -gt 60 ] || mix=dark
    case $mix in
    r) echo +X ;; gb) echo -X ;; g) echo +Y ;; rb) echo -Y ;; b) echo +Z ;; rg) echo -Z ;;
    *) echo "rgb($MEAN_R,$MEAN_G,$MEAN_B)" ;;
    esac
}

expect_face() {
    face=$1
    shift
    found=$(face_at "$@")
    [ "$found" = "$face" ] || fail "$face expected in the ${3}x$4 rectangle at ($1,$2), found $found"
}

# The sphere: the lit pixels of the left half above the three text lines.
e2e_count shot 0 48 $((WIN_W / 2)) $((WIN_H - 48))
[ "$LIT" -gt 0 ] || fail "nothing drawn on the left"
left=$LIT_LEFT
top=$LIT_TOP
right=$LIT_RIGHT
bottom=$LIT_BOTTOM
r=$(((right - left) / 2))
cx=$(((left + right) / 2))
cy=$(((top + bottom) / 2))
[ "$r" -gt 60 ] || fail "the sphere is only $((right - left)) pixels wide"
[ $((bottom - top - right + left)) -le 4 ] && [ $((right - left - bottom + top)) -le 4 ] ||
    fail "the sphere is not round: ${left},${top} to ${right},${bottom}"
# The side faces half way out (clear of the faces' borders and names), +Z
# a quarter up from the middle (clear of its name), -Z 3 pixels deep along
# the rim.
d=$((r * 52 / 100))
q=$((r / 4))
expect_face +Z $((cx - 4)) $((cy - q - 4)) 8 8
expect_face +X $((cx + d - 4)) $((cy - 4)) 8 8
expect_face -X $((cx - d - 4)) $((cy - 4)) 8 8
expect_face +Y $((cx - 4)) $((cy - d - 4)) 8 8
expect_face -Y $((cx - 4)) $((cy + d - 4)) 8 8
expect_face -Z $((right - 2)) $((cy - 6)) 3 12
expect_face -Z "$left" $((cy - 6)) 3 12
expect_face -Z $((cx - 6)) "$top" 12 3
expect_face -Z $((cx - 6)) $((bottom - 2)) 12 3

# The wall: grey (a normal map that reached the screen as colour would tint
# it) and far from even (a flat surface under one light would be).
e2e_count shot $((WIN_W / 2)) 48 $((WIN_W / 2)) $((WIN_H - 48))
[ $((LIT_RIGHT - LIT_LEFT)) -gt 150 ] || fail "no wall on the right ($LIT lit pixels)"
box $((LIT_LEFT + 4)) $((LIT_TOP + 4)) $((LIT_RIGHT - LIT_LEFT - 8)) $((LIT_BOTTOM - LIT_TOP - 8))
[ "$CHROMA" -le 6 ] || fail "the wall is tinted (chroma $CHROMA, mean $MEAN_R,$MEAN_G,$MEAN_B)"
[ "$SPREAD" -ge 20 ] || fail "the wall is lit evenly (brightness spread $SPREAD)"

e2e_check_alive
e2e_quit
echo "PASS (sphere radius $r, wall brightness spread $SPREAD)"
