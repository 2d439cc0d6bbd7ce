// The height-map filter and its DOT3 and du/dv encodings, on plain buffers.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "tga/heightmap_paths.h"

namespace {

struct Dot3 {
    int r, g, b;
};
struct Dudv {
    int du, dv;
};

std::vector<uint8_t> Map(int width, int height, int (*height_at)(int x, int y)) {
    std::vector<uint8_t> map(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            map[size_t(y) * size_t(width) + size_t(x)] = uint8_t(height_at(x, y));
    return map;
}

std::vector<uint8_t> EncodeDot3(const std::vector<uint8_t> &map, int width, int height) {
    std::vector<uint8_t> out(size_t(width) * size_t(height) * 3, 0xEE);
    HeightMap_EncodeDOT3(map.data(), width, height, out.data());
    return out;
}

std::vector<int8_t> EncodeDudv(const std::vector<uint8_t> &map, int width, int height) {
    std::vector<int8_t> out(size_t(width) * size_t(height) * 2, int8_t(0x55));
    HeightMap_EncodeDUDV(map.data(), width, height, out.data());
    return out;
}

Dot3 Dot3At(const std::vector<uint8_t> &out, int width, int x, int y) {
    const uint8_t *t = &out[(size_t(y) * size_t(width) + size_t(x)) * 3];
    return {t[0], t[1], t[2]};
}

Dudv DudvAt(const std::vector<int8_t> &out, int width, int x, int y) {
    const int8_t *t = &out[(size_t(y) * size_t(width) + size_t(x)) * 2];
    return {t[0], t[1]};
}

void ExpectTexel(const std::vector<uint8_t> &map, int width, int height, int x, int y, Dot3 dot3, Dudv dudv) {
    std::vector<uint8_t> normals = EncodeDot3(map, width, height);
    std::vector<int8_t> offsets = EncodeDudv(map, width, height);
    Dot3 got = Dot3At(normals, width, x, y);
    Dudv got_dudv = DudvAt(offsets, width, x, y);
    EXPECT_EQ(dot3.r, got.r) << "texel " << x << "," << y;
    EXPECT_EQ(dot3.g, got.g) << "texel " << x << "," << y;
    EXPECT_EQ(dot3.b, got.b) << "texel " << x << "," << y;
    EXPECT_EQ(dudv.du, got_dudv.du) << "texel " << x << "," << y;
    EXPECT_EQ(dudv.dv, got_dudv.dv) << "texel " << x << "," << y;
}

int Flat(int, int) { return 100; }
int RisingColumns(int x, int) { return 10 * x; }
int RisingRows(int, int y) { return 10 * y; }
int Bump(int x, int y) { return x == 1 && y == 1 ? 255 : 0; }

TEST(HeightMapWorkedExamples, FlatMapGivesFlatTexels) {
    std::vector<uint8_t> map = Map(4, 4, Flat);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            ExpectTexel(map, 4, 4, x, y, {127, 127, 255}, {0, 0});
}

TEST(HeightMapWorkedExamples, HeightsRisingAlongColumns) {
    std::vector<uint8_t> map = Map(4, 4, RisingColumns);
    for (int y = 0; y < 4; ++y) {
        ExpectTexel(map, 4, 4, 1, y, {89, 127, 249}, {-38, 0});
        ExpectTexel(map, 4, 4, 2, y, {89, 127, 249}, {-38, 0});
        // The edges see the opposite edge as their neighbour.
        ExpectTexel(map, 4, 4, 0, y, {165, 127, 249}, {38, 0});
        ExpectTexel(map, 4, 4, 3, y, {165, 127, 249}, {38, 0});
    }
    HeightMapSlope slope = HeightMap_Slope(map.data(), 4, 4, 1, 2);
    EXPECT_NEAR(-80.0 / 255.0, slope.s, 1e-6);
    EXPECT_FLOAT_EQ(0.0f, slope.t);
}

TEST(HeightMapWorkedExamples, HeightsRisingAlongRows) {
    std::vector<uint8_t> map = Map(4, 4, RisingRows);
    for (int x = 0; x < 4; ++x) {
        ExpectTexel(map, 4, 4, x, 1, {127, 165, 249}, {0, 38});
        ExpectTexel(map, 4, 4, x, 2, {127, 165, 249}, {0, 38});
        ExpectTexel(map, 4, 4, x, 0, {127, 89, 249}, {0, -38});
        ExpectTexel(map, 4, 4, x, 3, {127, 89, 249}, {0, -38});
    }
    HeightMapSlope slope = HeightMap_Slope(map.data(), 4, 4, 3, 1);
    EXPECT_FLOAT_EQ(0.0f, slope.s);
    EXPECT_NEAR(80.0 / 255.0, slope.t, 1e-6);
}

TEST(HeightMapWorkedExamples, SingleRaisedTexel) {
    std::vector<uint8_t> map = Map(4, 4, Bump);
    ExpectTexel(map, 4, 4, 1, 0, {127, 241, 184}, {0, 113});
    ExpectTexel(map, 4, 4, 0, 1, {13, 127, 184}, {-113, 0});
    ExpectTexel(map, 4, 4, 0, 0, {53, 201, 201}, {-73, 73});
    ExpectTexel(map, 4, 4, 1, 1, {127, 127, 255}, {0, 0});
    // Mirror images on the other sides of the bump.
    ExpectTexel(map, 4, 4, 1, 2, {127, 13, 184}, {0, -113});
    ExpectTexel(map, 4, 4, 2, 1, {241, 127, 184}, {113, 0});
    // Far from the bump the map is flat.
    ExpectTexel(map, 4, 4, 3, 3, {127, 127, 255}, {0, 0});

    HeightMapSlope slope = HeightMap_Slope(map.data(), 4, 4, 0, 0);
    EXPECT_FLOAT_EQ(-1.0f, slope.s);
    EXPECT_FLOAT_EQ(1.0f, slope.t);
    EXPECT_NEAR(0.57735027, slope.n, 1e-6);
}

// Maps where the fixed precision decides a byte: single-precision weights
// and sums in the kernel's term order, n through a double square root and
// division, truncation after each float product. Worked out by emulating
// those operations one by one; the byte named first in each comment is the
// one that another reading (double sums, a float square root, rounding)
// gets wrong. The 3 x 3 block sits top-left in a 4 x 4 map of zeros and the
// texel is (1, 1).
TEST(HeightMapEncoding, PrecisionOfTheFilterIsPinned) {
    const struct {
        uint8_t rows[3][3];
        Dot3 dot3;
        Dudv dudv;
    } cases[] = {
        {{{149, 21, 9}, {209, 181, 58}, {112, 141, 36}}, {233, 174, 179}, {105, 46}},    // dv
        {{{43, 159, 134}, {228, 193, 77}, {106, 128, 253}}, {155, 180, 239}, {28, 52}},  // blue
        {{{148, 254, 189}, {28, 90, 125}, {68, 59, 169}}, {61, 30, 177}, {-66, -96}},    // du
        {{{102, 100, 102}, {101, 103, 100}, {100, 102, 101}}, {127, 128, 254}, {0, 0}},  // green
        {{{159, 63, 118}, {246, 82, 89}, {240, 152, 73}}, {235, 171, 180}, {107, 43}},   // red
    };
    for (const auto &c : cases) {
        std::vector<uint8_t> map(16, 0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                map[size_t(y * 4 + x)] = c.rows[y][x];
        SCOPED_TRACE(int(c.rows[0][0]));
        ExpectTexel(map, 4, 4, 1, 1, c.dot3, c.dudv);
    }
}

TEST(HeightMapEncoding, ConversionsTruncateTowardZero) {
    // s = -2, t = 0: s*n*127 = -113.59 and the red value 13.9 both truncate;
    // rounding would give -114 and 14.
    std::vector<uint8_t> map = Map(4, 4, Bump);
    HeightMapSlope slope = HeightMap_Slope(map.data(), 4, 4, 0, 1);
    EXPECT_FLOAT_EQ(-2.0f, slope.s);
    EXPECT_LT(slope.s * slope.n * 127.0f, -113.5f);
    ExpectTexel(map, 4, 4, 0, 1, {13, 127, 184}, {-113, 0});
}

TEST(HeightMapEncoding, SteepestSlopesStayInRange) {
    // Columns 255, 255, 0, 0 give |s| = 4 at every texel: s = +4 where the
    // left neighbour is high (columns 1, 2), -4 elsewhere.
    std::vector<uint8_t> map = Map(4, 4, [](int x, int) { return x < 2 ? 255 : 0; });
    std::vector<uint8_t> normals = EncodeDot3(map, 4, 4);
    std::vector<int8_t> offsets = EncodeDudv(map, 4, 4);
    for (int x = 0; x < 4; ++x) {
        Dot3 texel = Dot3At(normals, 4, x, 0);
        Dudv d = DudvAt(offsets, 4, x, 0);
        bool rising = x == 1 || x == 2;
        EXPECT_EQ(rising ? 251 : 3, texel.r) << x;
        EXPECT_EQ(127, texel.g);
        EXPECT_EQ(158, texel.b);
        EXPECT_EQ(rising ? 123 : -123, d.du) << x;
        EXPECT_EQ(0, d.dv);
    }
}

TEST(HeightMapEdges, OneByOneIsFlat) {
    for (int value : {0, 77, 255}) {
        std::vector<uint8_t> map(1, uint8_t(value));
        ExpectTexel(map, 1, 1, 0, 0, {127, 127, 255}, {0, 0});
    }
}

int Scattered(int x, int y) { return (x * 73 + y * 151 + x * y * 17) & 0xFF; }

TEST(HeightMapEdges, NarrowMapsHaveNoSlopeAcrossTheirShortSide) {
    for (int narrow : {1, 2}) {
        std::vector<uint8_t> tall = Map(narrow, 5, Scattered);
        std::vector<uint8_t> wide = Map(5, narrow, Scattered);
        for (int i = 0; i < 5; ++i) {
            for (int j = 0; j < narrow; ++j) {
                // Summed left to right in single precision the terms cancel
                // only to rounding; the encoded bytes are exact.
                EXPECT_NEAR(0.0f, HeightMap_Slope(tall.data(), narrow, 5, j, i).s, 1e-6) << narrow;
                EXPECT_NEAR(0.0f, HeightMap_Slope(wide.data(), 5, narrow, i, j).t, 1e-6) << narrow;
            }
        }
        std::vector<int8_t> tall_offsets = EncodeDudv(tall, narrow, 5);
        std::vector<uint8_t> tall_normals = EncodeDot3(tall, narrow, 5);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < narrow; ++x) {
                EXPECT_EQ(0, DudvAt(tall_offsets, narrow, x, y).du);
                EXPECT_EQ(127, Dot3At(tall_normals, narrow, x, y).r);
            }
        }
        std::vector<int8_t> wide_offsets = EncodeDudv(wide, 5, narrow);
        std::vector<uint8_t> wide_normals = EncodeDot3(wide, 5, narrow);
        for (int y = 0; y < narrow; ++y) {
            for (int x = 0; x < 5; ++x) {
                EXPECT_EQ(0, DudvAt(wide_offsets, 5, x, y).dv);
                EXPECT_EQ(127, Dot3At(wide_normals, 5, x, y).g);
            }
        }
    }
}

TEST(HeightMapEdges, WrapAroundMakesShiftedMapsGiveShiftedTexels) {
    // Filtering a cyclically shifted map must give the shifted result at
    // every texel, edges included, when the map wraps around.
    const int width = 7, height = 5;
    std::vector<uint8_t> map = Map(width, height, Scattered);
    std::vector<uint8_t> shifted(map.size());
    const int dx = 3, dy = 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            shifted[size_t((y + dy) % height * width + (x + dx) % width)] = map[size_t(y * width + x)];
    std::vector<uint8_t> normals = EncodeDot3(map, width, height);
    std::vector<uint8_t> shifted_normals = EncodeDot3(shifted, width, height);
    std::vector<int8_t> offsets = EncodeDudv(map, width, height);
    std::vector<int8_t> shifted_offsets = EncodeDudv(shifted, width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int sx = (x + dx) % width, sy = (y + dy) % height;
            Dot3 a = Dot3At(normals, width, x, y), b = Dot3At(shifted_normals, width, sx, sy);
            EXPECT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b) << x << "," << y;
            Dudv c = DudvAt(offsets, width, x, y), d = DudvAt(shifted_offsets, width, sx, sy);
            EXPECT_TRUE(c.du == d.du && c.dv == d.dv) << x << "," << y;
        }
    }
}

TEST(HeightMapEdges, CentreHeightTakesNoPart) {
    std::vector<uint8_t> map = Map(3, 3, Scattered);
    HeightMapSlope before = HeightMap_Slope(map.data(), 3, 3, 1, 1);
    map[4] = uint8_t(map[4] + 99);
    HeightMapSlope after = HeightMap_Slope(map.data(), 3, 3, 1, 1);
    EXPECT_EQ(before.s, after.s);
    EXPECT_EQ(before.t, after.t);
}

TEST(HeightMapEncoding, EveryTexelOfTheBufferIsWritten) {
    const int width = 6, height = 3;
    std::vector<uint8_t> map = Map(width, height, Flat);
    std::vector<uint8_t> normals = EncodeDot3(map, width, height);
    for (size_t i = 0; i < normals.size(); i += 3)
        EXPECT_TRUE(normals[i] == 127 && normals[i + 1] == 127 && normals[i + 2] == 255) << i / 3;
    std::vector<int8_t> offsets = EncodeDudv(map, width, height);
    for (int8_t value : offsets)
        EXPECT_EQ(0, value);
}

}  // namespace
