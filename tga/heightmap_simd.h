// The vector paths of the height-map filter, built for x86-64 and for x86
// with SSE2: heightmap_sse2.cpp (every such processor) and
// heightmap_avx2.cpp (built with AVX2 enabled, called only when
// Cpu_HasAvx2()). heightmap.cpp runs the edge columns and narrow maps, and
// chooses the path. The kernel weights below serve the scalar filter and
// the vector paths alike.
#ifndef TGA_HEIGHTMAP_SIMD_H
#define TGA_HEIGHTMAP_SIMD_H

#include <cstddef>
#include <cstdint>

// The Sobel kernel's weights in single precision, heights scaled to 0..1:
// every path multiplies by these very floats, so its products are the
// scalar filter's.
const float heightmap_corner = 1.0f / 255.0f;
const float heightmap_side = 2.0f / 255.0f;

// Texels in one step of each path: the map's interior must be at least
// this many columns wide.
const int heightmap_sse2_step = 4;
const int heightmap_avx2_step = 8;

// The interior columns 1 .. width - 2 of every row of the map: DOT3 or
// du/dv texels at their places in out (the edge columns are left as they
// are). Needs width - 2 >= the path's step. 1, or 0 with nothing written
// when the path's buffer (32 bytes a column) cannot be allocated.
int HeightMapSse2_EncodeDOT3Interior(const uint8_t *heights, int width, int height, uint8_t *out);
int HeightMapSse2_EncodeDUDVInterior(const uint8_t *heights, int width, int height, int8_t *out);
int HeightMapAvx2_EncodeDOT3Interior(const uint8_t *heights, int width, int height, uint8_t *out);
int HeightMapAvx2_EncodeDUDVInterior(const uint8_t *heights, int width, int height, int8_t *out);

// out[i] = float(1 / sqrt(double(in[i]))) for count values.
void HeightMapSse2_InverseSqrt(const float *in, size_t count, float *out);
void HeightMapAvx2_InverseSqrt(const float *in, size_t count, float *out);

#endif
