#include "heightmap_paths.h"

#include <cmath>
#include <cstddef>

#include "cpu_features.h"
#include "heightmap_simd.h"

// The square root and the division in double precision, the result rounded
// to float once.
static inline float inverse_sqrt(float value) {
    return float(1.0 / std::sqrt(double(value)));
}

// The slope from the three rows around the texel and its neighbour columns.
// Every texel is computed by this one expression, in this order, so that
// the edge texels and the fast interior loop give the same bits; the vector
// paths repeat it term for term.
static inline HeightMapSlope slope_from_rows(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p,
                                           int x, int xm, int xp) {
    HeightMapSlope slope;
    slope.s = heightmap_corner * row_m[xm] + heightmap_side * row[xm] + heightmap_corner * row_p[xm] -
              heightmap_corner * row_m[xp] - heightmap_side * row[xp] - heightmap_corner * row_p[xp];
    slope.t = heightmap_corner * row_p[xm] + heightmap_side * row_p[x] + heightmap_corner * row_p[xp] -
              heightmap_corner * row_m[xm] - heightmap_side * row_m[x] - heightmap_corner * row_m[xp];
    slope.n = inverse_sqrt(slope.s * slope.s + slope.t * slope.t + 1.0f);
    return slope;
}

HeightMapSlope HeightMap_Slope(const uint8_t *heights, int width, int height, int x, int y) {
    int xm = (x + width - 1) % width;
    int xp = (x + 1) % width;
    int ym = (y + height - 1) % height;
    int yp = (y + 1) % height;
    return slope_from_rows(heights + size_t(ym) * size_t(width), heights + size_t(y) * size_t(width),
                         heights + size_t(yp) * size_t(width), x, xm, xp);
}

// Truncation toward zero, then the low byte.
static inline uint8_t low_byte(float value) {
    return uint8_t(int(value) & 0xFF);
}

static inline void encode_dot3(HeightMapSlope slope, uint8_t *texel) {
    texel[0] = low_byte((slope.s * slope.n + 1.0f) * 127.5f);
    texel[1] = low_byte((slope.t * slope.n + 1.0f) * 127.5f);
    texel[2] = low_byte((slope.n + 1.0f) * 127.5f);
}

static inline void encode_dudv(HeightMapSlope slope, int8_t *texel) {
    texel[0] = int8_t(low_byte(slope.s * slope.n * 127.0f));
    texel[1] = int8_t(low_byte(slope.t * slope.n * 127.0f));
}

// The interior of the map through a vector path (heightmap_simd.h): 1, or
// 0 with nothing written; and the fewest interior columns it takes.
template <typename Texel>
struct InteriorKernel {
    int (*encode)(const uint8_t *heights, int width, int height, Texel *out);
    int step;
};

// Runs the filter over every texel in row order; texel_size bytes a texel.
// The wrap-around is worked out once per row and for the two edge columns;
// the columns in between need none. They go to the vector kernel when the
// map is wide enough for it and the kernel has its buffer, else to the
// scalar expression.
template <typename Texel>
static void filter_map(const uint8_t *heights, int width, int height, Texel *out, int texel_size,
                      InteriorKernel<Texel> kernel, void (*encode)(HeightMapSlope, Texel *)) {
    // A map without texels: nothing to write, and no row for the kernels to
    // wrap around.
    if (width <= 0 || height <= 0)
        return;
    bool interior_done = kernel.encode && width - 2 >= kernel.step && kernel.encode(heights, width, height, out);
    for (int y = 0; y < height; ++y) {
        int ym = (y + height - 1) % height;
        int yp = (y + 1) % height;
        const uint8_t *row_m = heights + size_t(ym) * size_t(width);
        const uint8_t *row = heights + size_t(y) * size_t(width);
        const uint8_t *row_p = heights + size_t(yp) * size_t(width);
        Texel *out_row = out + size_t(y) * size_t(width) * size_t(texel_size);
        encode(slope_from_rows(row_m, row, row_p, 0, width - 1, 1 % width), out_row);
        for (int x = 1; !interior_done && x < width - 1; ++x)
            encode(slope_from_rows(row_m, row, row_p, x, x - 1, x + 1), out_row + size_t(x) * size_t(texel_size));
        if (width > 1)
            encode(slope_from_rows(row_m, row, row_p, width - 1, width - 2, 0),
                   out_row + size_t(width - 1) * size_t(texel_size));
    }
}

// The kernels of one path; null functions for the scalar path.
struct PathKernels {
    InteriorKernel<uint8_t> dot3;
    InteriorKernel<int8_t> dudv;
    void (*inverse_sqrt_all)(const float *in, size_t count, float *out);
};

static PathKernels kernels_of(HeightMapPath path) {
#ifdef TGA_VECTOR_PATHS
    if (path == HEIGHTMAP_SSE2)
        return {{HeightMapSse2_EncodeDOT3Interior, heightmap_sse2_step},
                {HeightMapSse2_EncodeDUDVInterior, heightmap_sse2_step},
                HeightMapSse2_InverseSqrt};
    if (path == HEIGHTMAP_AVX2)
        return {{HeightMapAvx2_EncodeDOT3Interior, heightmap_avx2_step},
                {HeightMapAvx2_EncodeDUDVInterior, heightmap_avx2_step},
                HeightMapAvx2_InverseSqrt};
#else
    (void)path;
#endif
    return {{nullptr, 0}, {nullptr, 0}, nullptr};
}

int HeightMap_PathAvailable(HeightMapPath path) {
    switch (path) {
    case HEIGHTMAP_SCALAR:
        return 1;
#ifdef TGA_VECTOR_PATHS
    case HEIGHTMAP_SSE2:
        return 1;
    case HEIGHTMAP_AVX2:
        return Cpu_HasAvx2();
#endif
    default:
        return 0;
    }
}

HeightMapPath HeightMap_BestPath() {
    if (HeightMap_PathAvailable(HEIGHTMAP_AVX2))
        return HEIGHTMAP_AVX2;
    if (HeightMap_PathAvailable(HEIGHTMAP_SSE2))
        return HEIGHTMAP_SSE2;
    return HEIGHTMAP_SCALAR;
}

const char *HeightMap_PathName(HeightMapPath path) {
    switch (path) {
    case HEIGHTMAP_SCALAR:
        return "scalar";
    case HEIGHTMAP_SSE2:
        return "sse2";
    case HEIGHTMAP_AVX2:
        return "avx2";
    }
    return "unknown";
}

int HeightMap_EncodeDOT3WithPath(HeightMapPath path, const uint8_t *heights, int width, int height, uint8_t *out) {
    if (!HeightMap_PathAvailable(path))
        return 0;
    filter_map(heights, width, height, out, 3, kernels_of(path).dot3, encode_dot3);
    return 1;
}

int HeightMap_EncodeDUDVWithPath(HeightMapPath path, const uint8_t *heights, int width, int height, int8_t *out) {
    if (!HeightMap_PathAvailable(path))
        return 0;
    filter_map(heights, width, height, out, 2, kernels_of(path).dudv, encode_dudv);
    return 1;
}

void HeightMap_EncodeDOT3(const uint8_t *heights, int width, int height, uint8_t *out) {
    HeightMap_EncodeDOT3WithPath(HeightMap_BestPath(), heights, width, height, out);
}

void HeightMap_EncodeDUDV(const uint8_t *heights, int width, int height, int8_t *out) {
    HeightMap_EncodeDUDVWithPath(HeightMap_BestPath(), heights, width, height, out);
}

int HeightMap_InverseSqrtWithPath(HeightMapPath path, const float *in, size_t count, float *out) {
    if (!HeightMap_PathAvailable(path))
        return 0;
    PathKernels kernels = kernels_of(path);
    if (kernels.inverse_sqrt_all) {
        kernels.inverse_sqrt_all(in, count, out);
        return 1;
    }
    for (size_t i = 0; i < count; ++i)
        out[i] = inverse_sqrt(in[i]);
    return 1;
}
