#!/bin/sh
# Files no one here made: textures whose headers promise more than GLU's
# mipmap builder can take are refused, so the viewer shows the untextured
# model within seconds; a head whose name field is full and whose last
# surface has ofs_end 0, as exporters write them, is drawn.
. "$(dirname "$0")/e2e_lib.sh"
e2e_setup

# An 18-byte TGA header of width x height at the given depth, no pixels.
huge_tga() {
    printf '\000\000\002\000\000\000\000\000\000\000\000\000' >"$RUN/$1"
    # Little-endian 16-bit width and height, then depth and descriptor.
    printf "\\$(printf %o $(($2 & 255)))\\$(printf %o $(($2 >> 8)))" >>"$RUN/$1"
    printf "\\$(printf %o $(($3 & 255)))\\$(printf %o $(($3 >> 8)))" >>"$RUN/$1"
    printf "\\$(printf %o "$4")\\000" >>"$RUN/$1"
}

int32_at() {
    od -An -t d4 -j "$2" -N 4 "$1" | tr -d ' '
}

put_bytes() {
    printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}

# Fills the model name field and zeroes the last surface's ofs_end.
exporter_md3() {
    put_bytes "$1" 8 "$(printf 'A%.0s' $(seq 64))"
    frames=$(int32_at "$1" 76)
    tags=$(int32_at "$1" 80)
    surfaces=$(int32_at "$1" 84)
    start=$((108 + frames * 56 + frames * tags * 112))
    s=1
    while [ $s -lt "$surfaces" ]; do
        start=$((start + $(int32_at "$1" $((start + 104)))))
        s=$((s + 1))
    done
    put_bytes "$1" $((start + 104)) '\000\000\000\000'
}

# Waits up to $2 s for the model at the centre of the window; shot $1.
wait_for_model() {
    i=0
    while [ $i -lt $(($2 * 2)) ]; do
        e2e_shot "$1"
        e2e_count "$1" $((WIN_W / 2 - 20)) $((WIN_H / 2 - 20)) 40 40
        [ $((LIT * 2)) -gt "$PIX" ] && return 0
        e2e_check_alive
        sleep 0.5
        i=$((i + 1))
    done
    fail "no model at the centre within $2 s"
}

# Every texture, the font image included, claims 32767 x 32767 at 32 bits:
# the untextured model, no text (there is no font image), Esc ends it.
e2e_stage
for name in font.tga base.tga base1.tga base2.tga base3.tga; do
    huge_tga $name 32767 32767 32
done
e2e_start
wait_for_model all_huge 10
sleep 2
e2e_check_alive
e2e_shot all_huge
e2e_check_model_at_centre all_huge
e2e_quit

# Two skins past the limit, one 24-bit and one 32-bit, and the exporter's
# head: the model with its head, and both text lines.
e2e_stage
huge_tga base.tga 32767 32767 24
huge_tga base1.tga 23171 23171 32
exporter_md3 "$RUN/head.md3"
e2e_start
wait_for_model two_huge 10
e2e_wait_for_text two_huge
e2e_check_text two_huge
e2e_check_model_at_centre two_huge
e2e_count two_huge 280 290 80 50
[ "$LIT" -gt 1000 ] || fail "the exporter's head is not drawn"
e2e_quit
echo "PASS"
