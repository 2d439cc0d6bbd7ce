// The vector paths of the height-map filter, built for x86-64 only:
// heightmap_sse2.cpp (every x86-64 processor) and heightmap_avx2.cpp (built
// with AVX2 enabled, called only when Cpu_HasAvx2()). heightmap.cpp runs the
// edge columns and chooses the path.
#ifndef TGA_HEIGHTMAP_SIMD_H
#define TGA_HEIGHTMAP_SIMD_H

#include <cstddef>
#include <cstdint>

// Texels in one step of each path: a row kernel needs an interior of at
// least this many columns.
const int heightmap_sse2_step = 4;
const int heightmap_avx2_step = 8;

// The interior columns 1 .. width - 2 of one row, from the row above (row_m),
// the row itself and the row below (row_p), width bytes each; texels are
// written from out_row, the row's first texel. Needs width - 2 >= the step.
void HeightMapSse2_EncodeDOT3Row(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int width,
                                 uint8_t *out_row);
void HeightMapSse2_EncodeDUDVRow(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int width,
                                 int8_t *out_row);
void HeightMapAvx2_EncodeDOT3Row(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int width,
                                 uint8_t *out_row);
void HeightMapAvx2_EncodeDUDVRow(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int width,
                                 int8_t *out_row);

// out[i] = float(1 / sqrt(double(in[i]))) for count values.
void HeightMapSse2_InverseSqrt(const float *in, size_t count, float *out);
void HeightMapAvx2_InverseSqrt(const float *in, size_t count, float *out);

#endif
