#!/bin/sh
# viewer.exe on a copy of make_game's test game folder, worked as a modder
# works it: a drag turns the model and Home brings the first picture back
# pixel for pixel; the wheel zooms; S changes the skin; Space then `.` steps
# one frame, as md3info --resolve --time tells it; F12 saves what the window
# shows and --screenshot draws the same model at the same times; F5 shows an
# image changed on disk; a dropped folder without a model leaves the model,
# a dropped .pk3 loads; --all writes a picture per player model at --size.
. "$(dirname "$0")/e2e_lib.sh"
[ -f "$MD3V_GAME_SAMPLES/pak0.pk3" ] || fail "no test game folder in $MD3V_GAME_SAMPLES"
e2e_setup
e2e_stage
# A folder name with a space, as Explorer passes such paths quoted.
mkdir "$WORK/a game"
cp -r "$MD3V_GAME_SAMPLES" "$WORK/a game/baseq"
ln -s "a game/baseq" "$WORK/game"
cp "$MD3V_WIN_BIN/post_drop.exe" "$RUN/"
GAME_W=$(winepath -w "$WORK/a game/baseq" 2>/dev/null) || fail "winepath cannot name the game folder"
(cd "$RUN" && exec "$WINE" viewer.exe "$GAME_W" >"$WORK/viewer.log" 2>&1) &
VIEWER_PID=$!
e2e_start_wait "testman - default"
e2e_wait_for_text first
e2e_geometry

# Pictures are compared between the lines of text: under the top five
# (model, missing images, what an action said) and over the bottom two.
same_model() {
    for n in 1 2; do
        eval picture=\$$n
        convert "$picture" -auto-orient -crop "${WIN_W}x$((WIN_H - 112))+0+80" +repage -depth 8 "rgb:$WORK/compare$n.rgb" ||
            fail "cannot read $picture"
    done
    cmp -s "$WORK/compare1.rgb" "$WORK/compare2.rgb" || { echo "the pictures differ"; return 1; }
}

# A key, then time for a frame or two to show it.
press() { xdotool key --window "$WINDOW" "$1"; sleep "${2:-1}"; }
# Space pauses; the log then says where the animation stands.
said_time() { grep -a "at [0-9.e+-]* s:" "$WORK/viewer.log" | tail -n 1 | tr -d '\r'; }
press space
e2e_shot paused

# A horizontal drag turns the model; Home brings the first view back.
e2e_geometry
cx=$((WIN_X + WIN_W / 2)); cy=$((WIN_Y + WIN_H / 2))
xdotool mousemove "$cx" "$cy" mousedown 1 mousemove $((cx + 60)) "$cy" mousemove $((cx + 120)) "$cy" mouseup 1
sleep 1
e2e_shot turned
same_model "$WORK/paused.ppm" "$WORK/turned.ppm" >/dev/null && fail "a drag did not turn the model"
press Home
e2e_shot home
why=$(same_model "$WORK/paused.ppm" "$WORK/home.ppm") || fail "Home does not give the first picture back: $why"

# The wheel: the model's height on screen grows, then shrinks.
model_height() { e2e_count "$1" 0 32 "$WIN_W" $((WIN_H - 112)); echo $((LIT_BOTTOM - LIT_TOP)); }
h0=$(model_height home)
xdotool click 5 click 5
sleep 1
e2e_shot farther
h1=$(model_height farther)
xdotool click 4 click 4 click 4 click 4
sleep 1
e2e_shot nearer
h2=$(model_height nearer)
[ "$h1" -lt "$h0" ] && [ "$h2" -gt "$h0" ] || fail "the wheel gave heights $h0 -> $h1 -> $h2"
xdotool key --window "$WINDOW" Home

# `.` steps one frame while paused, where md3info puts that time.
before=$(said_time)
press period
after=$(said_time)
t1=$(echo "$after" | sed 's/.* at \([^ ]*\) s:.*/\1/')
frames=$("$MD3V_MD3INFO" --resolve "$WORK/game" --time "$t1" | grep '^frame' | tr '\t' ' ' |
         sed 's/^frame legs \(.*\)$/legs \1,/; s/^frame torso/torso/' | tr '\n' ' ' | sed 's/ *$//')
case "$after" in
*": $frames") ;;
*) fail "after '.', the viewer says '$after'; md3info at $t1 says '$frames'" ;;
esac
legs() { echo "$1" | sed 's/.*legs \([0-9]*\).*/\1/'; }
[ "$(legs "$after")" -eq $(($(legs "$before") + 1)) ] || [ "$(legs "$after")" -eq 36 ] || fail "'.' went: $before; $after"

# F12 saves the window; --screenshot at that time draws the same model.
press F12
e2e_shot saved
[ -f "$RUN/md3view-0001.tga" ] || fail "F12 wrote no md3view-0001.tga ($(tail -n 2 "$WORK/viewer.log"))"
why=$(same_model "$RUN/md3view-0001.tga" "$WORK/saved.ppm") || fail "F12's file is not the window: $why"
press period
t2=$(said_time | sed 's/.* at \([^ ]*\) s:.*/\1/')
press F12
[ -f "$RUN/md3view-0002.tga" ] || fail "a second F12 wrote no md3view-0002.tga"
for n in 1 2; do
    eval t=\$t$n
    (cd "$RUN" && "$WINE" viewer.exe "$GAME_W" --time "$t" --screenshot "at$n.tga" >"$WORK/shot$n.log" 2>&1) ||
        fail "--screenshot at $t failed: $(cat "$WORK/shot$n.log")"
    why=$(same_model "$RUN/md3view-000$n.tga" "$RUN/at$n.tga") || fail "--screenshot at $t differs from F12: $why"
done
same_model "$RUN/at1.tga" "$RUN/at2.tga" >/dev/null && fail "the frames at $t1 and $t2 look the same"

# S: the next skins, red then blue, each the legs' dominant colour.
dominant() {
    e2e_count "$1" $((WIN_W / 2 - 40)) 40 80 $((WIN_H / 2 - 60))
    if [ "$MEAN_R" -gt $((MEAN_G + MEAN_B)) ]; then echo red
    elif [ "$MEAN_B" -gt $((MEAN_R + MEAN_G)) ]; then echo blue
    else echo other; fi
}
press s
e2e_shot red
press s
e2e_shot blue
skins="$(dominant first) $(dominant red) $(dominant blue)"
[ "$skins" = "other red blue" ] || fail "S gave the colours: $skins"

# F5 after an image changes on disk: a loose testman_blue.png, green, now
# comes before pak0.pk3's.
convert -size 8x8 xc:'#00ff00' "PNG24:$WORK/game/models/players/testman/testman_blue.png" ||
    fail "cannot write the changed image"
press F5 2
e2e_shot reloaded
e2e_count reloaded $((WIN_W / 2 - 40)) 40 80 $((WIN_H / 2 - 60))
[ "$MEAN_G" -gt $((MEAN_R + MEAN_B)) ] || fail "after F5 the blue skin is not green ($MEAN_R $MEAN_G $MEAN_B)"

# Drops: a folder without a model leaves testman; the .pk3 loads.
mkdir "$WORK/empty"
(cd "$RUN" && "$WINE" post_drop.exe "testman - blue" "$(winepath -w "$WORK/empty")") || fail "post_drop failed"
sleep 2
grep -aq "still showing testman" "$WORK/viewer.log" || fail "no reason for the empty folder ($(tail -n 2 "$WORK/viewer.log"))"
(cd "$RUN" && "$WINE" post_drop.exe "testman - blue" "$(winepath -w "$WORK/game/pak0.pk3")") || fail "post_drop failed"
i=0
until xdotool search --name '^testman - default$' >/dev/null 2>&1; do
    [ $i -ge 50 ] && fail "the dropped pak0.pk3 did not load ($(tail -n 2 "$WORK/viewer.log"))"
    sleep 0.2
    i=$((i + 1))
done
e2e_check_alive
e2e_quit

# --all with --size: one picture per player model, at that size.
(cd "$RUN" && "$WINE" viewer.exe "$GAME_W" --screenshot icons --all --size 160x200 >"$WORK/all.log" 2>&1) ||
    fail "--all failed: $(cat "$WORK/all.log")"
[ "$(ls "$RUN/icons")" = testman.tga ] || fail "--all wrote: $(ls "$RUN/icons")"
[ "$(od -An -tu2 -j12 -N4 "$RUN/icons/testman.tga" | tr -s ' ')" = " 160 200" ] || fail "the icon is not 160 x 200"
echo "PASS (heights $h0 $h1 $h2, frames at $t1 and $t2, skins $skins)"
