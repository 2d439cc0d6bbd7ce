#!/bin/sh
# tgaconv out of memory: a build whose operator new fails the one allocation
# chosen runs over three files once for each allocation of the run, with -o
# and in place. A failure before the first file ends the run with exit 1, one
# line and nothing written; one inside a job refuses that file with "out of
# memory", leaves its output as it was and converts the others all the same.
# Never an abort, no temporary file left, and, under LeakSanitizer, nothing
# lost on the way.
# Usage: conv_memory.sh TGACONV_FAILING_NEW
tgaconv=$1
. "$(cd "$(dirname "$0")/../support" && pwd)/tga_bytes.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cd "$work" || fail "no $work"
tga_rle_3x2 source.tga
tga_rle_3x2_converted >converted.tga
# Names long enough that their paths are allocated, not kept inside strings.
files="textures/first_texture.tga textures/inner/second_texture.tga textures/third_texture.tga"

for form in "-o out_folder" "--in-place"; do
    n=0 refusals=""
    while :; do
        n=$((n + 1))
        rm -rf textures out_folder
        mkdir -p textures/inner
        for f in $files; do cp source.tga "$f"; done
        # shellcheck disable=SC2086
        TGACONV_FAIL_NEW=$n "$tgaconv" $form textures >said 2>err
        status=$?
        grep -q "^failing allocation$" err || break
        at="$form, allocation $n"
        [ "$status" -eq 1 ] || fail "$at: exit $status: $(cat said err)"
        [ -z "$(find . -name '.tgaconv-*')" ] || fail "$at: temporary files left"
        # Before the first file: one line, and every output as it was.
        if [ ! -s said ]; then
            [ "$(grep -v "^failing allocation$" err)" = "tgaconv: out of memory" ] || fail "$at: $(cat err)"
            [ ! -e out_folder ] || fail "$at: out_folder written before the end"
            for f in $files; do cmp -s source.tga "$f" || fail "$at: $f replaced before the end"; done
            continue
        fi
        refused=$(sed -n 's/: refused: out of memory$//p' said)
        [ -n "$refused" ] && [ "$(wc -l <said)" -eq 2 ] || fail "$at: $(cat said)"
        tail -n 1 said | grep -q "^tgaconv: 2 converted, 0 [a-z]* unchanged, 1 refused$" || fail "$at: $(cat said)"
        for f in $files; do
            out=$f
            [ "$form" = --in-place ] || out=out_folder/${f#textures/}
            if [ "$f" != "$refused" ]; then
                cmp -s converted.tga "$out" || fail "$at: $out not converted after $refused was refused"
            elif [ "$form" = --in-place ]; then
                cmp -s source.tga "$out" || fail "$at: the refused $f changed"
            else
                [ ! -e "$out" ] || fail "$at: the refused $f written"
            fi
        done
        refusals="$refusals $refused "
    done
    [ "$status" -eq 0 ] || fail "$form without a failing allocation: exit $status: $(cat said err)"
    for f in $files; do
        case "$refusals" in *" $f "*) ;; *) fail "$form: no allocation of $f's job failed";; esac
    done
done
echo PASS
