// The height-map filter's entry points for the tests, the benchmarks and
// the fuzzers: one texel's slope, the filter's paths and the encodings
// through a chosen one. Not part of the library's interface; the uploads
// take heightmap.h.
#ifndef TGA_HEIGHTMAP_PATHS_H
#define TGA_HEIGHTMAP_PATHS_H

#include <cstddef>
#include <cstdint>

#include "heightmap.h"

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

// The filter's implementations. The scalar one is the reference; the vector
// ones (x86-64 builds, x86 with SSE2) give the same bytes, every operation
// in the same order and precision. The two encodings of heightmap.h take
// HeightMap_BestPath().
enum HeightMapPath { HEIGHTMAP_SCALAR, HEIGHTMAP_SSE2, HEIGHTMAP_AVX2 };
const int heightmap_path_count = 3;

// 1 when this build has the path and the processor and operating system run
// it; the scalar path always.
int HeightMap_PathAvailable(HeightMapPath path);
// The widest available path, asked on each call (the processor check
// behind it is made once per process).
HeightMapPath HeightMap_BestPath();
// "scalar", "sse2", "avx2".
const char *HeightMap_PathName(HeightMapPath path);

// The encodings through one path: 1, or 0 with nothing written when the path
// is not available.
int HeightMap_EncodeDOT3WithPath(HeightMapPath path, const uint8_t *heights, int width, int height, uint8_t *out);
int HeightMap_EncodeDUDVWithPath(HeightMapPath path, const uint8_t *heights, int width, int height, int8_t *out);

// out[i] = float(1 / sqrt(double(in[i]))), the division and the square root in
// double precision as in the filter: its costliest step alone, for count
// values. 1, or 0 with nothing written when the path is not available.
int HeightMap_InverseSqrtWithPath(HeightMapPath path, const float *in, size_t count, float *out);

#endif
