# Shell helpers that write small TGA files byte by byte, for the tests of
# the programs that read them. Source this file; it defines:
#   bytes N...                  the low byte of each argument, on stdout
#   tga_rle_3x2 FILE            a 3 x 2 24-bit run-length encoded file stored
#                               top to bottom: a run of four red pixels that
#                               crosses into the second row, then green and
#                               blue raw
#   tga_rle_3x2_converted       what tgaconv writes for it, on stdout: type 2,
#                               the bottom row (red, green, blue) first

bytes() { for b; do printf "\\$(printf %o $((b & 255)))"; done; }

tga_rle_3x2() { bytes 0 0 10 0 0 0 0 0 0 0 0 0 3 0 2 0 24 32 131 0 0 255 1 0 255 0 255 0 0 >"$1"; }

tga_rle_3x2_converted() {
    bytes 0 0 2 0 0 0 0 0 0 0 0 0 3 0 2 0 24 0 0 0 255 0 255 0 255 0 0 0 0 255 0 0 255 0 0 255
}
