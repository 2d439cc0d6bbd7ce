// A JPEG file judged before stb_image 2.27 (Debian's) decodes it, on the
// faults where that version reads or shifts past what it owns: the
// segments walked from the start-of-image marker to the end-of-image
// marker, the Huffman tables read, and each scan's entropy-coded data
// walked block by block as stb_image consumes its bits, without decoding
// a pixel.
#ifndef GAME_JPEG_CHECK_H
#define GAME_JPEG_CHECK_H

#include <cstddef>
#include <cstdint>

// 1 when stb_image may decode bytes .. bytes + size; else 0 with one short
// line in reason (tga_reason_size bytes; null: not wanted). Refused: no
// start-of-image marker; a file that ends before its end-of-image marker
// or inside a segment; a progressive frame; a Huffman table of over 256
// codes; a scan before a frame header, naming a component or table not
// defined before it, holding a code that is not in its tables, whose data
// ends (at a marker) before its last block, or with data left after it.
int JpegCheck_Judge(const uint8_t *bytes, size_t size, char *reason);

#endif
