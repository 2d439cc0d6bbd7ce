// The height-map filter's DOT3 and du/dv encodings over plain buffers, as
// the bump-map uploads call them, so that their bytes do not depend on what
// the GL driver accepts. The filter itself, a texel at a time and path by
// path, is in heightmap_paths.h.
#ifndef TGA_HEIGHTMAP_H
#define TGA_HEIGHTMAP_H

#include <cstdint>

// The filter gives each texel of a width x height map of heights (one byte
// each, rows in buffer order, tiling in both directions) a slope s, t and
// n = 1 / sqrt(s*s + t*t + 1); see HeightMap_Slope.

// Unsigned R,G,B normal per texel: trunc((s*n + 1) * 127.5),
// trunc((t*n + 1) * 127.5), trunc((n + 1) * 127.5). out holds
// width * height * 3 bytes.
void HeightMap_EncodeDOT3(const uint8_t *heights, int width, int height, uint8_t *out);

// Signed du,dv per texel: trunc(s*n * 127), trunc(t*n * 127) as two's
// complement bytes. out holds width * height * 2 bytes.
void HeightMap_EncodeDUDV(const uint8_t *heights, int width, int height, int8_t *out);

#endif
