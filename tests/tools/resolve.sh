#!/bin/sh
# md3info --resolve on the test game folder that make_game writes, checked
# against the table at the top of tools/make_game.cpp: which archive or
# loose file wins, the image that colours each surface through skins,
# shaders and MD3 shader records, the missing ones with their reasons, the
# legs' rows lowered onto lower.md3's frames, and the frames at a time.
# Usage: resolve.sh MD3INFO GAME_FOLDER
md3info=$1
game=$2
fail() { echo "FAIL: $*"; exit 1; }
resolve() { "$md3info" --resolve "$@" 2>&1 | tr '\t' ' '; }

# LEGS_IDLE (36 8 8 10) at 1.25 s: p = 12.5, past the 8 frames the loop of
# 8 gives 4.5, frame 40 on to 41 halfway. TORSO_STAND (22 6 6 10): p = 12.5,
# 0.5 into its third pass, frame 22 + 0 on to 23.
expected="piece lower models/players/testman/lower.md3 pak0.pk3
piece upper models/players/testman/upper.md3 pak0.pk3
piece head models/players/testman/head.md3 pak0.pk3
piece weapon models/weapons2/machinegun/machinegun.md3 pak0.pk3
piece barrel models/weapons2/machinegun/machinegun_barrel.md3 pak0.pk3
skin default
surface lower l_legs models/players/testman/legs.tga pak1.pk3
surface lower l_fin models/players/testman/fin.tga pak0.pk3
surface upper u_chest models/players/testman/red.tga pak0.pk3
surface upper u_arms models/players/testman/env.tga pak0.pk3
surface upper u_hair models/players/testman/hair.tga pak0.pk3
surface head h_helmet models/players/testman/helmet.jpg pak0.pk3
surface head h_visor models/players/testman/visor.png pak0.pk3
surface head h_crest - head_default.skin line 3 names no image
surface head h_ears - no line in head_default.skin
surface weapon w_machinegun models/weapons2/machinegun/machinegun.tga pak0.pk3
surface barrel w_barrel models/weapons2/machinegun/machinegun_barrel.tga pak0.pk3
ignored models/players/testman/arms_env deformVertexes
animation BOTH_DEATH1 0 2 0 10
animation BOTH_DEAD1 1 1 0 10
animation BOTH_DEATH2 2 2 0 10
animation BOTH_DEAD2 3 1 0 10
animation BOTH_DEATH3 4 2 0 10
animation BOTH_DEAD3 5 1 0 10
animation TORSO_GESTURE 6 6 0 15
animation TORSO_ATTACK 12 3 0 15
animation TORSO_ATTACK2 15 3 0 15
animation TORSO_DROP 18 2 0 10
animation TORSO_RAISE 20 2 0 10
animation TORSO_STAND 22 6 6 10
animation TORSO_STAND2 28 2 2 5
animation LEGS_WALKCR 6 4 4 15
animation LEGS_WALK 10 10 10 20
animation LEGS_RUN 20 4 4 20
animation LEGS_BACK 24 4 4 20
animation LEGS_SWIM 28 2 2 10
animation LEGS_JUMP 30 2 0 10
animation LEGS_LAND 32 1 0 10
animation LEGS_JUMPB 33 2 0 10
animation LEGS_LANDB 35 1 0 10
animation LEGS_IDLE 36 8 8 10
animation LEGS_IDLECR 44 1 1 10
animation LEGS_TURN 45 1 1 10
frame legs 40 41 0.500000
frame torso 22 23 0.500000"
said=$(resolve "$game" --time 1.25)
[ "$said" = "$expected" ] || fail "the default skin resolves as:
$said"

# The loose head_red.skin wins over pak0's, which names stale.tga; the
# model's own folder stands for its game folder; a skin it lacks falls back
# to the first in name order and says so.
said=$(resolve "$game/models/players/testman" --skin red --weapon none | grep -c "^surface head h_[a-z]* models/players/testman/testman_red.tga ")
[ "$said" = 4 ] || fail "the red skin's head: $(resolve "$game" --skin red | grep "^surface head")"
resolve "$game" testman --skin green | grep -qx "skin blue no skin green: showing blue" || fail "no fallback from skin green"
# A line that leaves the image empty hides the surface rather than missing it.
resolve "$game" --skin blue | grep -qx "surface lower l_fin (hidden) lower_blue.skin line 2" ||
    fail "the blue skin's fin: $(resolve "$game" --skin blue | grep l_fin)"
resolve "$game" --weapon none | grep -q "^piece weapon" && fail "--weapon none still has a weapon"

# A member alone, from one .pk3 file: its MD3 shader record names its image.
[ "$(resolve "$game/pak0.pk3" models/weapons2/machinegun/machinegun_barrel.md3)" = "piece model models/weapons2/machinegun/machinegun_barrel.md3 pak0.pk3
surface model w_barrel models/weapons2/machinegun/machinegun_barrel.tga pak0.pk3" ] ||
    fail "the barrel alone: $(resolve "$game/pak0.pk3" models/weapons2/machinegun/machinegun_barrel.md3)"

# Exit status: 1 when a piece is missing, 2 for a usage fault.
"$md3info" --resolve "$game" --weapon rocket >/dev/null 2>&1
[ $? = 1 ] || fail "a missing weapon does not give 1"
"$md3info" --resolve "$game" nobody >/dev/null 2>&1
[ $? = 1 ] || fail "a missing model does not give 1"
"$md3info" --resolve "$game" --legs LEGS_FLY >/dev/null 2>&1
[ $? = 2 ] || fail "an unknown animation is no usage fault"
echo PASS
