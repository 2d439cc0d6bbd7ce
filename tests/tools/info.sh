#!/bin/sh
# md3info and tgainfo as a person runs them: "FILE: ok" and exit 0 for the
# sample files; "FILE: refused: REASON", a different reason for each kind of
# damage, and exit 1 for damaged copies; exit 2 without arguments. tgainfo
# names missing pixel data and rows stored top to bottom, and tgaconv for
# refused and top-to-bottom files whose header tgaconv takes.
# Usage: info.sh MD3INFO TGAINFO SAMPLES
md3info=$1 tgainfo=$2 samples=$3
. "$(cd "$(dirname "$0")/../support" && pwd)/tga_bytes.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

int32_at() { od -An -t d4 -j "$2" -N 4 "$1" | tr -d ' '; }
# Writes the 32-bit little-endian value $3 at byte $2 of file $1.
put_int32() { bytes $3 $(($3 >> 8)) $(($3 >> 16)) $(($3 >> 24)) | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null; }
# A copy of the sample piece $1 named $2, for damage.
copy() { cp "$samples/$1" "$work/$2"; echo "$work/$2"; }

# Exit status $1 and, for each file, a first line of the form "FILE: $2".
expect() {
    want_status=$1 want_form=$2 program=$3
    shift 3
    "$program" "$@" >"$work/out" 2>&1
    status=$?
    [ $status -eq "$want_status" ] || fail "$(basename "$program") $*: exit $status, not $want_status"
    for file in "$@"; do
        grep -Eq "^$file: $want_form\$" "$work/out" || fail "no line '$file: $want_form' in: $(cat "$work/out")"
    done
}

expect 0 ok "$md3info" "$samples/lower.md3" "$samples/upper.md3" "$samples/head.md3" "$samples/rocketl.md3"
grep -q '^  120 frames, 2 tags: tag_head, tag_weapon$' "$work/out" || fail "upper.md3's tags: $(cat "$work/out")"

# lower.md3: 120 frames, one tag, one surface whose triangles come first.
lower_surface=$((108 + 120 * 56 + 120 * 112))
head -c 100 "$samples/lower.md3" >"$work/short.md3"
put_int32 "$(copy lower.md3 negative.md3)" 84 -1
head -c 20000 "$samples/lower.md3" >"$work/outside.md3"
corner=$(copy lower.md3 corner.md3)
put_int32 "$corner" $((lower_surface + $(int32_at "$corner" $((lower_surface + 88))))) 490
put_int32 "$(copy lower.md3 surface_frames.md3)" $((lower_surface + 72)) 7
put_int32 "$(copy lower.md3 frameless.md3)" 76 0
# Three copies of the one surface, each nearly the file's length.
copies=$(copy lower.md3 copies.md3)
put_int32 "$copies" 84 3
put_int32 "$copies" $((lower_surface + 104)) 0
hostile="short negative outside corner surface_frames frameless copies"
set --
for name in $hostile; do set -- "$@" "$work/$name.md3"; done
expect 1 "refused: .+" "$md3info" "$@" "$work/missing.md3"
[ "$(sed 's/^[^:]*: refused: //' "$work/out" | sort -u | wc -l)" -eq 8 ] || fail "reasons repeat: $(cat "$work/out")"
grep -q "^$work/missing.md3: refused: file cannot be opened: No such file or directory\$" "$work/out" || fail "$(cat "$work/out")"

expect 2 "" "$md3info"

# An 18-byte header: name, colour-map type, image type, width, height, depth
# and descriptor (0 when not given).
tga_header() { bytes 0 $2 $3 0 0 0 0 0 0 0 0 0 $4 $(($4 >> 8)) $5 $(($5 >> 8)) $6 ${7:-0} >"$work/$1"; }
# Whole files stored bottom to top, one with 8 alpha bits (descriptor bit 3).
tga_header alpha.tga 0 2 2 2 32 8
head -c 16 /dev/zero >>"$work/alpha.tga"
expect 0 ok "$tgainfo" "$samples/base.tga" "$samples/font.tga" "$work/alpha.tga"
! grep -Eq '^  (pixel data|rows stored)' "$work/out" || fail "whole, bottom to top: $(cat "$work/out")"
# Still ok, with what the user will see after the type line: 64 x 64 x 4
# bytes of which 1000 are stored, rows top to bottom (bit 5, beside 8 alpha
# bits); then the same rows stored whole.
rows_line="  rows stored top to bottom: the texture shows them upside down"
conv_line="  tgaconv writes a copy that tga.dll reads, the right way up"
tga_header cut.tga 0 2 64 64 32 40
head -c 1000 /dev/zero >>"$work/cut.tga"
expect 0 ok "$tgainfo" "$work/cut.tga"
[ "$(sed -n 3,5p "$work/out")" = "  pixel data: 1000 of 16384 bytes; the rest reads as zero
$rows_line
  TGA_UploadImage: yes" ] || fail "cut.tga (which tgaconv refuses): $(cat "$work/out")"
tga_header top.tga 0 2 2 2 24 32
head -c 12 /dev/zero >>"$work/top.tga"
expect 0 ok "$tgainfo" "$work/top.tga"
[ "$(sed -n 3,5p "$work/out")" = "$rows_line
$conv_line
  TGA_UploadImage: yes" ] || fail "top.tga: $(cat "$work/out")"
# Whole 16-bit and run-length encoded (one run of four) images, which
# tgaconv converts; the others it refuses too.
tga_header sixteen.tga 0 2 2 2 16
head -c 8 /dev/zero >>"$work/sixteen.tga"
tga_header rle.tga 0 10 2 2 24
bytes 131 1 2 3 >>"$work/rle.tga"
tga_header mapped.tga 1 1 2 2 8
tga_header oversized.tga 0 2 32767 32767 32
head -c 10 "$samples/base.tga" >"$work/short.tga"
set --
for name in sixteen rle mapped oversized short missing; do set -- "$@" "$work/$name.tga"; done
expect 1 "refused: .+" "$tgainfo" "$@"
[ "$(grep ': refused: ' "$work/out" | sed 's/^[^:]*: refused: //' | sort -u | wc -l)" -eq 6 ] ||
    fail "reasons repeat: $(cat "$work/out")"
[ "$(grep -A 1 -E '/(sixteen|rle).tga: refused' "$work/out" | grep -c "^$conv_line\$")" -eq 2 ] &&
    [ "$(grep -c "^$conv_line\$" "$work/out")" -eq 2 ] || fail "tgaconv named for other files: $(cat "$work/out")"
grep -q "^$work/missing.tga: refused: file cannot be opened: No such file or directory\$" "$work/out" || fail "$(cat "$work/out")"
echo "PASS"
