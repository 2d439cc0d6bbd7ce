#include "heightmap.h"

#include <cmath>
#include <cstddef>

// Kernel weights in single precision: heights are scaled to 0..1.
static const float kCorner = 1.0f / 255.0f;
static const float kSide = 2.0f / 255.0f;

HeightMapSlope HeightMap_Slope(const uint8_t *heights, int width, int height, int x, int y) {
    int xm = (x + width - 1) % width;
    int xp = (x + 1) % width;
    int ym = (y + height - 1) % height;
    int yp = (y + 1) % height;
    size_t row_m = size_t(ym) * size_t(width);
    size_t row = size_t(y) * size_t(width);
    size_t row_p = size_t(yp) * size_t(width);

    HeightMapSlope slope;
    slope.s = kCorner * heights[row_m + xm] + kSide * heights[row + xm] + kCorner * heights[row_p + xm] -
              kCorner * heights[row_m + xp] - kSide * heights[row + xp] - kCorner * heights[row_p + xp];
    slope.t = kCorner * heights[row_p + xm] + kSide * heights[row_p + x] + kCorner * heights[row_p + xp] -
              kCorner * heights[row_m + xm] - kSide * heights[row_m + x] - kCorner * heights[row_m + xp];
    slope.n = float(1.0 / std::sqrt(double(slope.s * slope.s + slope.t * slope.t + 1.0f)));
    return slope;
}

// Truncation toward zero, then the low byte.
static uint8_t LowByte(float value) {
    return uint8_t(int(value) & 0xFF);
}

void HeightMap_EncodeDOT3(const uint8_t *heights, int width, int height, uint8_t *out) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            HeightMapSlope slope = HeightMap_Slope(heights, width, height, x, y);
            uint8_t *texel = out + (size_t(y) * size_t(width) + size_t(x)) * 3;
            texel[0] = LowByte((slope.s * slope.n + 1.0f) * 127.5f);
            texel[1] = LowByte((slope.t * slope.n + 1.0f) * 127.5f);
            texel[2] = LowByte((slope.n + 1.0f) * 127.5f);
        }
    }
}

void HeightMap_EncodeDUDV(const uint8_t *heights, int width, int height, int8_t *out) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            HeightMapSlope slope = HeightMap_Slope(heights, width, height, x, y);
            int8_t *texel = out + (size_t(y) * size_t(width) + size_t(x)) * 2;
            texel[0] = int8_t(LowByte(slope.s * slope.n * 127.0f));
            texel[1] = int8_t(LowByte(slope.t * slope.n * 127.0f));
        }
    }
}
