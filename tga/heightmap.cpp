#include "heightmap.h"

#include <cmath>
#include <cstddef>

// Kernel weights in single precision: heights are scaled to 0..1.
static const float kCorner = 1.0f / 255.0f;
static const float kSide = 2.0f / 255.0f;

// The slope from the three rows around the texel and its neighbour columns.
// Every texel is computed by this one expression, in this order, so that
// the edge texels and the fast interior loop give the same bits.
static inline HeightMapSlope SlopeFromRows(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p,
                                           int x, int xm, int xp) {
    HeightMapSlope slope;
    slope.s = kCorner * row_m[xm] + kSide * row[xm] + kCorner * row_p[xm] -
              kCorner * row_m[xp] - kSide * row[xp] - kCorner * row_p[xp];
    slope.t = kCorner * row_p[xm] + kSide * row_p[x] + kCorner * row_p[xp] -
              kCorner * row_m[xm] - kSide * row_m[x] - kCorner * row_m[xp];
    slope.n = float(1.0 / std::sqrt(double(slope.s * slope.s + slope.t * slope.t + 1.0f)));
    return slope;
}

HeightMapSlope HeightMap_Slope(const uint8_t *heights, int width, int height, int x, int y) {
    int xm = (x + width - 1) % width;
    int xp = (x + 1) % width;
    int ym = (y + height - 1) % height;
    int yp = (y + 1) % height;
    return SlopeFromRows(heights + size_t(ym) * size_t(width), heights + size_t(y) * size_t(width),
                         heights + size_t(yp) * size_t(width), x, xm, xp);
}

// Truncation toward zero, then the low byte.
static inline uint8_t LowByte(float value) {
    return uint8_t(int(value) & 0xFF);
}

static inline void EncodeDOT3(HeightMapSlope slope, uint8_t *texel) {
    texel[0] = LowByte((slope.s * slope.n + 1.0f) * 127.5f);
    texel[1] = LowByte((slope.t * slope.n + 1.0f) * 127.5f);
    texel[2] = LowByte((slope.n + 1.0f) * 127.5f);
}

static inline void EncodeDUDV(HeightMapSlope slope, int8_t *texel) {
    texel[0] = int8_t(LowByte(slope.s * slope.n * 127.0f));
    texel[1] = int8_t(LowByte(slope.t * slope.n * 127.0f));
}

// Runs the filter over every texel in row order and hands each slope to
// encode(slope, texel index). The wrap-around is worked out once per row
// and for the two edge columns; the columns in between need none.
template <typename Encode>
static void FilterMap(const uint8_t *heights, int width, int height, Encode encode) {
    for (int y = 0; y < height; ++y) {
        int ym = (y + height - 1) % height;
        int yp = (y + 1) % height;
        const uint8_t *row_m = heights + size_t(ym) * size_t(width);
        const uint8_t *row = heights + size_t(y) * size_t(width);
        const uint8_t *row_p = heights + size_t(yp) * size_t(width);
        size_t base = size_t(y) * size_t(width);
        if (width == 0)
            continue;
        encode(SlopeFromRows(row_m, row, row_p, 0, width - 1, 1 % width), base);
        for (int x = 1; x < width - 1; ++x)
            encode(SlopeFromRows(row_m, row, row_p, x, x - 1, x + 1), base + size_t(x));
        if (width > 1)
            encode(SlopeFromRows(row_m, row, row_p, width - 1, width - 2, 0), base + size_t(width) - 1);
    }
}

void HeightMap_EncodeDOT3(const uint8_t *heights, int width, int height, uint8_t *out) {
    FilterMap(heights, width, height, [out](HeightMapSlope slope, size_t i) { EncodeDOT3(slope, out + i * 3); });
}

void HeightMap_EncodeDUDV(const uint8_t *heights, int width, int height, int8_t *out) {
    FilterMap(heights, width, height, [out](HeightMapSlope slope, size_t i) { EncodeDUDV(slope, out + i * 2); });
}
