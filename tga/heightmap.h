// The height-map filter and the DOT3 and du/dv encodings over plain buffers,
// so that their bytes do not depend on what the GL driver accepts.
#ifndef TGA_HEIGHTMAP_H
#define TGA_HEIGHTMAP_H

#include <cstdint>

// Surface slope at one texel of a width x height map of heights (one byte
// each, rows in buffer order), the map tiling in both directions:
// s = left column minus right column, t = next row minus previous row, both
// through a 3 x 3 Sobel kernel on heights scaled to 0..1, and
// n = 1 / sqrt(s*s + t*t + 1).
struct HeightMapSlope {
    float s;
    float t;
    float n;
};

HeightMapSlope HeightMap_Slope(const uint8_t *heights, int width, int height, int x, int y);

// Unsigned R,G,B normal per texel: trunc((s*n + 1) * 127.5),
// trunc((t*n + 1) * 127.5), trunc((n + 1) * 127.5). out holds
// width * height * 3 bytes.
void HeightMap_EncodeDOT3(const uint8_t *heights, int width, int height, uint8_t *out);

// Signed du,dv per texel: trunc(s*n * 127), trunc(t*n * 127) as two's
// complement bytes. out holds width * height * 2 bytes.
void HeightMap_EncodeDUDV(const uint8_t *heights, int width, int height, int8_t *out);

#endif
